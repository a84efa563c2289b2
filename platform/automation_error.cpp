#include "platform/automation_error.h"

namespace varnex::platform {

QString AutomationError::ReportText() const {
  return QString::number(mNumber) + QLatin1Char(' ') + mDescription;
}

void AutomationError::AddContext(const QString& context) {
  if (context.isEmpty()) return;
  mDetail = mDetail.isEmpty() ? context : context + QStringLiteral(", ") + mDetail;
}

QString StandardDescription(std::int32_t number) {
  switch (number) {
    case errors::kInvalidProcedureCall: return QStringLiteral("Invalid procedure call or argument");
    case errors::kOverflow: return QStringLiteral("Overflow");
    case errors::kOutOfMemory: return QStringLiteral("Out of memory");
    case errors::kSubscriptOutOfRange: return QStringLiteral("Subscript out of range");
    case errors::kTypeMismatch: return QStringLiteral("Type mismatch");
    case errors::kObjectNotSet:
      return QStringLiteral("Object variable or With block variable not set");
    case errors::kObjectRequired: return QStringLiteral("Object required");
    case errors::kInvalidUseOfNull: return QStringLiteral("Invalid use of Null");
    case errors::kInvalidPropertyValue: return QStringLiteral("Invalid property value");
    case errors::kNotSupported:
      return QStringLiteral("Object doesn't support this property or method");
    case errors::kWrongArgumentCount:
      return QStringLiteral("Wrong number of arguments or invalid property assignment");
    case errors::kNoCurrentRecord:
      return QStringLiteral(
          "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
          "requires a current record.");
    case errors::kItemNotFound:
      return QStringLiteral(
          "Item cannot be found in the collection corresponding to the requested name or ordinal.");
    case errors::kNotAllowed: return QStringLiteral("Operation is not allowed in this context.");
    default: return QStringLiteral("Application-defined or object-defined error");
  }
}

void ThrowError(std::int32_t number, const QString& description) {
  throw AutomationError(number, description);
}
void ThrowError(std::int32_t number) {
  ThrowError(number, StandardDescription(number));
}
void ThrowTypeMismatch() {
  ThrowError(errors::kTypeMismatch);
}
void ThrowOverflow() {
  ThrowError(errors::kOverflow);
}
void ThrowInvalidUseOfNull() {
  ThrowError(errors::kInvalidUseOfNull);
}

}  // namespace varnex::platform
