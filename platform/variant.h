#pragma once

#include "platform/date_time.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace varnex::platform {

class Dispatch;

/// The automation types that cross the control's boundaries. 16-bit and 32-bit integers are
/// distinct types wherever a value crosses to a component.
enum class VarType { Empty, Null, I2, I4, Bool, Bstr, Date, Font };

/// An automation value. A value may be marked as passed by reference: the callee may write
/// through it, and the caller sees the change in its own Variant after the call.
class Variant {
 public:
  /// The empty value.
  Variant() = default;

  [[nodiscard]] static Variant Null();
  [[nodiscard]] static Variant I2(std::int16_t value);
  [[nodiscard]] static Variant I4(std::int32_t value);
  /// An automation boolean: true is -1, false is 0.
  [[nodiscard]] static Variant Bool(bool value);
  [[nodiscard]] static Variant Bstr(QString text);
  [[nodiscard]] static Variant FromDate(platform::Date date);
  /// A font object: a dispatch object with the font properties Name, Size and Bold.
  [[nodiscard]] static Variant Font(std::shared_ptr<Dispatch> font);

  [[nodiscard]] VarType Type() const noexcept { return mType; }
  [[nodiscard]] bool IsEmpty() const noexcept { return mType == VarType::Empty; }
  [[nodiscard]] bool IsNull() const noexcept { return mType == VarType::Null; }

  /// Marks this value as passed by reference (see the class comment).
  Variant& ByRef() noexcept {
    mByRef = true;
    return *this;
  }
  [[nodiscard]] bool IsByRef() const noexcept { return mByRef; }

  /// Raw accessors; each asserts the type. Use the conversions for anything else.
  [[nodiscard]] std::int16_t AsI2() const;
  [[nodiscard]] std::int32_t AsI4() const;
  [[nodiscard]] bool AsBool() const;
  [[nodiscard]] const QString& AsBstr() const;
  [[nodiscard]] platform::Date AsDate() const;
  [[nodiscard]] const std::shared_ptr<Dispatch>& AsFont() const;

  /// Replaces the value but keeps the by-reference mark, as a write through a reference does.
  void Assign(const Variant& other);

  /// Same type and same value (font objects compare by identity); the by-reference mark is
  /// not compared.
  friend bool operator==(const Variant& a, const Variant& b);

 private:
  VarType mType = VarType::Empty;
  bool mByRef = false;
  std::int64_t mNumber = 0;  // I2, I4, Bool (-1/0) and Date seconds
  QString mText;
  std::shared_ptr<Dispatch> mFont;
};

/// The name of a type as the trace prints it: "EMPTY", "NULL", "I2", "I4", "BOOL", "BSTR",
/// "DATE", "FONT".
[[nodiscard]] const char* TypeName(VarType type);

}  // namespace varnex::platform
