#include "platform/table.h"

#include "platform/automation_error.h"
#include "platform/conversions.h"

#include <cassert>
#include <functional>

namespace varnex::platform {

void Table::AppendColumn(QString name, ColumnType type) {
  mColumns.push_back(Column{std::move(name), type, {}, {}, {}});
}

int Table::ColumnIndex(QStringView name) const {
  for (std::size_t i = 0; i < mColumns.size(); ++i) {
    if (mColumns[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

void Table::CheckColumn(int column) const {
  if (mClosed) ThrowError(errors::kNotAllowed);
  if (column < 0 || column >= ColumnCount()) ThrowError(errors::kItemNotFound);
}

void Table::CheckCurrent() const {
  if (mClosed) ThrowError(errors::kNotAllowed);
  if (mAdding) return;
  if (mCursor >= mRecordCount) ThrowError(errors::kNoCurrentRecord);
}

void Table::Reserve(std::size_t records, qsizetype textUnits) {
  if (mClosed) ThrowError(errors::kNotAllowed);
  const std::size_t total = mRecordCount + (mAdding ? 1 : 0) + records;
  for (Column& c : mColumns) {
    c.values.reserve(total);
    if (c.type == ColumnType::Text) c.lengths.reserve(total);
    c.set.reserve(total);
  }
  // A shared store is not reserved: that would copy it.
  if (textUnits > 0) mText.reserve(mText.size() + textUnits);
}

void Table::ShareText(const QString& text) {
  if (mClosed) ThrowError(errors::kNotAllowed);
  assert(mText.isEmpty());
  mText = text;
}

void Table::AddNew() {
  if (mClosed) ThrowError(errors::kNotAllowed);
  if (mAdding) Update();
  for (Column& c : mColumns) {
    c.values.push_back(0);
    if (c.type == ColumnType::Text) c.lengths.push_back(0);
    c.set.push_back(false);
  }
  mAdding = true;
  mCursor = mRecordCount;
}

void Table::SetField(int column, QStringView text) {
  CheckColumn(column);
  if (!mAdding) ThrowError(errors::kNotAllowed);
  Column& c = mColumns[column];
  std::int64_t value = 0;
  switch (c.type) {
    case ColumnType::Text: {
      const std::less<const QChar*> before;
      const QChar* store = mText.constData();
      if (!text.isEmpty() && !before(text.data(), store) &&
          !before(store + mText.size(), text.data() + text.size())) {
        value = text.data() - store;  // already in the store: keep its position
      } else {
        value = mText.size();
        mText.append(text);
      }
      c.lengths.back() = static_cast<std::uint32_t>(text.size());
      break;
    }
    case ColumnType::Date: value = ParseDate(text).seconds; break;
    case ColumnType::Int32: value = ParseInteger(text); break;
  }
  c.values.back() = value;
  c.set.back() = true;
}

void Table::Update() {
  if (mClosed || !mAdding) ThrowError(errors::kNotAllowed);
  mAdding = false;
  ++mRecordCount;
}

void Table::MoveFirst() {
  if (mClosed) ThrowError(errors::kNotAllowed);
  if (mAdding) Update();
  if (mRecordCount == 0) ThrowError(errors::kNoCurrentRecord);
  mCursor = 0;
}

void Table::MoveNext() {
  CheckCurrent();
  if (mAdding) Update();
  ++mCursor;
}

QStringView Table::TextField(int column, bool* isSet) const {
  CheckColumn(column);
  CheckCurrent();
  const Column& c = mColumns[column];
  const bool set = c.set[mCursor];
  if (isSet != nullptr) *isSet = set;
  if (!set || c.type != ColumnType::Text) return {};
  return QStringView(mText).mid(static_cast<qsizetype>(c.values[mCursor]), c.lengths[mCursor]);
}

Variant Table::Field(int column) const {
  CheckColumn(column);
  CheckCurrent();
  const Column& c = mColumns[column];
  if (!c.set[mCursor]) return Variant::Null();
  switch (c.type) {
    case ColumnType::Text: return Variant::Bstr(TextField(column).toString());
    case ColumnType::Date: return Variant::FromDate(Date{c.values[mCursor]});
    case ColumnType::Int32: return Variant::I4(static_cast<std::int32_t>(c.values[mCursor]));
  }
  return Variant::Null();
}

Variant Table::Field(QStringView name) const {
  const int column = ColumnIndex(name);
  if (column < 0) {
    if (mClosed) ThrowError(errors::kNotAllowed);
    ThrowError(errors::kItemNotFound);
  }
  return Field(column);
}

void Table::Close() {
  mColumns.clear();
  mText.clear();
  mRecordCount = 0;
  mCursor = 0;
  mAdding = false;
  mClosed = true;
}

}  // namespace varnex::platform
