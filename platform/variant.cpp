#include "platform/variant.h"

#include "platform/dispatch.h"

#include <cassert>

namespace varnex::platform {

Variant Variant::Null() {
  Variant v;
  v.mType = VarType::Null;
  return v;
}

Variant Variant::I2(std::int16_t value) {
  Variant v;
  v.mType = VarType::I2;
  v.mNumber = value;
  return v;
}

Variant Variant::I4(std::int32_t value) {
  Variant v;
  v.mType = VarType::I4;
  v.mNumber = value;
  return v;
}

Variant Variant::Bool(bool value) {
  Variant v;
  v.mType = VarType::Bool;
  v.mNumber = value ? -1 : 0;
  return v;
}

Variant Variant::Bstr(QString text) {
  Variant v;
  v.mType = VarType::Bstr;
  v.mText = std::move(text);
  return v;
}

Variant Variant::FromDate(platform::Date date) {
  Variant v;
  v.mType = VarType::Date;
  v.mNumber = date.seconds;
  return v;
}

Variant Variant::Font(std::shared_ptr<Dispatch> font) {
  Variant v;
  v.mType = VarType::Font;
  v.mFont = std::move(font);
  return v;
}

std::int16_t Variant::AsI2() const {
  assert(mType == VarType::I2);
  return static_cast<std::int16_t>(mNumber);
}

std::int32_t Variant::AsI4() const {
  assert(mType == VarType::I4);
  return static_cast<std::int32_t>(mNumber);
}

bool Variant::AsBool() const {
  assert(mType == VarType::Bool);
  return mNumber != 0;
}

const QString& Variant::AsBstr() const {
  assert(mType == VarType::Bstr);
  return mText;
}

platform::Date Variant::AsDate() const {
  assert(mType == VarType::Date);
  return platform::Date{mNumber};
}

const std::shared_ptr<Dispatch>& Variant::AsFont() const {
  assert(mType == VarType::Font);
  return mFont;
}

void Variant::Assign(const Variant& other) {
  const bool byRef = mByRef;
  *this = other;
  mByRef = byRef;
}

bool operator==(const Variant& a, const Variant& b) {
  if (a.mType != b.mType) return false;
  switch (a.mType) {
    case VarType::Empty:
    case VarType::Null: return true;
    case VarType::Bstr: return a.mText == b.mText;
    case VarType::Font: return a.mFont == b.mFont;
    default: return a.mNumber == b.mNumber;
  }
}

const char* TypeName(VarType type) {
  switch (type) {
    case VarType::Empty: return "EMPTY";
    case VarType::Null: return "NULL";
    case VarType::I2: return "I2";
    case VarType::I4: return "I4";
    case VarType::Bool: return "BOOL";
    case VarType::Bstr: return "BSTR";
    case VarType::Date: return "DATE";
    case VarType::Font: return "FONT";
  }
  return "EMPTY";
}

}  // namespace varnex::platform
