#pragma once

#include "platform/dispatch.h"
#include "platform/font_object.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <optional>

namespace varnex::testing {

/// "I2 230", "BSTR \"Verdana\"", "&I2 1" (by reference): one value as the recordings show it.
QString Describe(const platform::Variant& value);

/// A fake component that records every operation as one line ("put 28 = I2 230",
/// "call 164(&I2 1, I4 0, ...) -> I2 1", "get 10 -> FONT"), keeps put values so that a later
/// get returns them, and can be told to fail an operation or to return a given result.
class RecordingDispatch : public platform::Dispatch {
 public:
  platform::Variant Invoke(platform::DispId id, platform::InvokeKind kind,
                           std::span<platform::Variant> args,
                           const platform::Variant& value) override;

  /// The next operation with this id (of that kind only, when given) fails with that number
  /// and description.
  void FailNext(platform::DispId id, std::int32_t number, QString description = {},
                std::optional<platform::InvokeKind> kind = std::nullopt);
  /// Every call or get of this id returns the result of `fn`; an AutomationError that `fn` throws
  /// is recorded ("!! NUMBER") and thrown on.
  void Answer(platform::DispId id,
              std::function<platform::Variant(std::span<platform::Variant>)> fn);
  /// Every get of this id returns a new RecordingFont that records into `lines`.
  void AnswerFont(platform::DispId id);

  QStringList lines;
  std::map<platform::DispId, platform::Variant> properties;

 private:
  struct Failure {
    std::int32_t number;
    QString description;
    std::optional<platform::InvokeKind> kind;
  };
  std::map<platform::DispId, Failure> mFailures;
  std::map<platform::DispId, std::function<platform::Variant(std::span<platform::Variant>)>>
      mAnswers;
};

/// A font object as a component hands it out; each property put is recorded in the owner's
/// lines as "font Size = I2 10".
class RecordingFont : public platform::FontObject {
 public:
  explicit RecordingFont(QStringList& lines) : mLines(lines) {}

  platform::FontDescription Describe() const override { return mFont; }
  platform::Variant Invoke(platform::DispId id, platform::InvokeKind kind,
                           std::span<platform::Variant> args,
                           const platform::Variant& value) override;

 private:
  QStringList& mLines;
  platform::FontDescription mFont;
};

}  // namespace varnex::testing
