#pragma once

#include <QString>

#include <cstdint>
#include <exception>

namespace varnex::platform {

/// A failure with the number and description that the automation runtime gives it.
/// Thrown where the failure happens, passed on untouched by private routines and caught
/// only at the control's entry points, which show it as "NUMBER DESCRIPTION".
class AutomationError : public std::exception {
 public:
  AutomationError(std::int32_t number, QString description)
      : mNumber(number), mDescription(std::move(description)) {}

  [[nodiscard]] std::int32_t Number() const noexcept { return mNumber; }
  [[nodiscard]] const QString& Description() const noexcept { return mDescription; }
  /// "13 Type mismatch": the text that the reporting handler shows.
  [[nodiscard]] QString ReportText() const;
  /// What the failure is about, in the planner's words: the document, row, order number,
  /// column and value, or the limit that was passed. Empty until a caller that knows adds it.
  [[nodiscard]] const QString& Detail() const noexcept { return mDetail; }
  /// Puts `context` before the detail known so far ("row 3, " + "column 11 ..."), so that each
  /// level of a routine adds what it knows on the way out.
  void AddContext(const QString& context);
  const char* what() const noexcept override { return "automation error"; }

 private:
  std::int32_t mNumber;
  QString mDescription;
  QString mDetail;
};

/// Runs `fn`; a failure that leaves it gains `context()` before its detail and goes on.
/// `context` is called only on a failure, so building its text costs nothing on the way.
template <typename Fn, typename Context>
decltype(auto) WithContext(Context&& context, Fn&& fn) {
  try {
    return fn();
  } catch (AutomationError& e) {
    e.AddContext(context());
    throw;
  }
}

/// The runtime's standard failures, by number.
namespace errors {
inline constexpr std::int32_t kInvalidProcedureCall = 5;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kObjectNotSet = 91;
inline constexpr std::int32_t kObjectRequired = 424;
inline constexpr std::int32_t kInvalidUseOfNull = 94;
inline constexpr std::int32_t kInvalidPropertyValue = 380;
inline constexpr std::int32_t kNotSupported = 438;
inline constexpr std::int32_t kWrongArgumentCount = 450;
/// The table's "no current record" failure (a read or move past either end).
inline constexpr std::int32_t kNoCurrentRecord = 3021;
/// The table's "item not found in the collection" failure (no such column).
inline constexpr std::int32_t kItemNotFound = 3265;
/// The table's "operation not allowed in this context" (no record open for editing).
inline constexpr std::int32_t kNotAllowed = 3219;
}  // namespace errors

[[noreturn]] void ThrowTypeMismatch();
[[noreturn]] void ThrowOverflow();
[[noreturn]] void ThrowInvalidUseOfNull();
[[noreturn]] void ThrowError(std::int32_t number);
[[noreturn]] void ThrowError(std::int32_t number, const QString& description);

/// The runtime's description of a standard error number ("Type mismatch" for 13).
[[nodiscard]] QString StandardDescription(std::int32_t number);

}  // namespace varnex::platform
