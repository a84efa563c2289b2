#include "platform/table.h"

#include "platform/automation_error.h"
#include "platform/conversions.h"
#include "platform/xml_document.h"

#include <algorithm>

namespace varnex::platform {

void Table::AppendColumn(QString name, ColumnType type) {
  const std::size_t records = mRecordCount + (mAdding ? 1 : 0);
  mColumns.push_back(Column{std::move(name), type});
  // An adopted row has no attribute for a column past its last, so the column is unset there.
  if (records == 0 || mDocument) return;
  // Records exist already: each gets the new field, unset.
  const std::size_t width = mColumns.size();
  decltype(mValues) values(records * width, 0);
  decltype(mLengths) lengths(records * width, kUnset);
  for (std::size_t r = 0; r < records; ++r) {
    std::copy_n(mValues.begin() + static_cast<std::ptrdiff_t>(r * (width - 1)), width - 1,
                values.begin() + static_cast<std::ptrdiff_t>(r * width));
    std::copy_n(mLengths.begin() + static_cast<std::ptrdiff_t>(r * (width - 1)), width - 1,
                lengths.begin() + static_cast<std::ptrdiff_t>(r * width));
  }
  mValues.swap(values);
  mLengths.swap(lengths);
}

int Table::ColumnIndex(QStringView name) const {
  for (std::size_t i = 0; i < mColumns.size(); ++i) {
    if (mColumns[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

void Table::FailColumn() const {
  if (mClosed) ThrowError(errors::kNotAllowed);
  ThrowError(errors::kItemNotFound);
}

void Table::FailCurrent() const {
  if (mClosed) ThrowError(errors::kNotAllowed);
  ThrowError(errors::kNoCurrentRecord);
}

void Table::AdoptRows(std::shared_ptr<const XmlDocument> document,
                      std::vector<std::uint32_t> rows) {
  if (mClosed || mAdding || mRecordCount > 0 || !document) ThrowError(errors::kNotAllowed);
  for (const Column& column : mColumns) {
    if (column.type != ColumnType::Text) ThrowError(errors::kNotAllowed);
  }
  mDocument = std::move(document);
  mRows = std::move(rows);
  mAdoptedColumns = ColumnCount();
  mRecordCount = mRows.size();
  mCursor = 0;
}

void Table::AddNew() {
  if (mClosed || mDocument) ThrowError(errors::kNotAllowed);
  if (mAdding) Update();
  mValues.resize(mValues.size() + mColumns.size(), 0);
  mLengths.resize(mLengths.size() + mColumns.size(), kUnset);
  mAdding = true;
  mCursor = mRecordCount;
}

void Table::SetField(int column, QStringView text) {
  CheckColumn(column);
  if (!mAdding) ThrowError(errors::kNotAllowed);
  std::int64_t value = 0;
  std::uint32_t length = 0;
  switch (mColumns[column].type) {
    case ColumnType::Text:
      value = mText.size();
      mText.append(text);
      length = static_cast<std::uint32_t>(text.size());
      break;
    case ColumnType::Date: value = ParseDate(text).seconds; break;
    case ColumnType::Int32: value = ParseInteger(text); break;
  }
  mValues[Slot(column)] = value;
  mLengths[Slot(column)] = length;
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

int Table::AdoptedFields(int row) const {
  return std::min(mDocument->AttributeCount(row), mAdoptedColumns);
}

QStringView Table::TextAt(int column, bool* isSet) const {
  if (mDocument) {
    const int row = static_cast<int>(mRows[mCursor]);
    const bool set = column < AdoptedFields(row);
    if (isSet != nullptr) *isSet = set;
    return set ? mDocument->AttributeValue(row, column) : QStringView();
  }
  const std::uint32_t length = mLengths[Slot(column)];
  const bool set = length != kUnset;
  if (isSet != nullptr) *isSet = set;
  if (!set || mColumns[column].type != ColumnType::Text) return {};
  return QStringView(mText).sliced(static_cast<qsizetype>(mValues[Slot(column)]), length);
}

QStringView Table::TextField(int column, bool* isSet) const {
  CheckColumn(column);
  CheckCurrent();
  return TextAt(column, isSet);
}

void Table::Prefetch(std::size_t ahead, int column) const {
  const std::size_t record = mCursor + ahead;
  if (mClosed || record >= mRecordCount || column < 0 || column >= ColumnCount()) return;
  const QChar* at = nullptr;
  if (mDocument) {
    const int row = static_cast<int>(mRows[record]);
    if (column < AdoptedFields(row)) at = mDocument->AttributeValue(row, column).data();
  } else {
    const std::size_t slot = record * mColumns.size() + static_cast<std::size_t>(column);
    if (mLengths[slot] != kUnset && mColumns[column].type == ColumnType::Text) {
      at = mText.constData() + mValues[slot];
    }
  }
  if (at != nullptr) __builtin_prefetch(at);
}

void Table::TextFields(std::span<const int> columns, std::span<QStringView> fields) const {
  CheckCurrent();
  if (mDocument) {
    const int row = static_cast<int>(mRows[mCursor]);
    const int count = AdoptedFields(row);
    for (std::size_t i = 0; i < columns.size() && i < fields.size(); ++i) {
      CheckColumn(columns[i]);
      fields[i] = columns[i] < count ? mDocument->AttributeValue(row, columns[i]) : QStringView();
    }
    return;
  }
  for (std::size_t i = 0; i < columns.size() && i < fields.size(); ++i) {
    CheckColumn(columns[i]);
    fields[i] = TextAt(columns[i], nullptr);
  }
}

Variant Table::Field(int column) const {
  CheckColumn(column);
  CheckCurrent();
  if (mDocument) {
    bool isSet = false;
    const QStringView text = TextAt(column, &isSet);
    return isSet ? Variant::Bstr(text.toString()) : Variant::Null();
  }
  if (mLengths[Slot(column)] == kUnset) return Variant::Null();
  const std::int64_t value = mValues[Slot(column)];
  switch (mColumns[column].type) {
    case ColumnType::Text: return Variant::Bstr(TextField(column).toString());
    case ColumnType::Date: return Variant::FromDate(Date{value});
    case ColumnType::Int32: return Variant::I4(static_cast<std::int32_t>(value));
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
  mValues.clear();
  mLengths.clear();
  mText.clear();
  mDocument.reset();
  mRows.clear();
  mRecordCount = 0;
  mCursor = 0;
  mAdding = false;
  mClosed = true;
}

}  // namespace varnex::platform
