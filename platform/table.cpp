#include "platform/table.h"

#include "platform/automation_error.h"
#include "platform/conversions.h"

#include <algorithm>
#include <cassert>
#include <functional>

namespace varnex::platform {
namespace {

// A text field's store and its offset there, in one value.
constexpr int kStoreShift = 48;
constexpr std::int64_t kOffsetMask = (std::int64_t{1} << kStoreShift) - 1;

}  // namespace

void Table::AppendColumn(QString name, ColumnType type) {
  const std::size_t records = mRecordCount + (mAdding ? 1 : 0);
  mColumns.push_back(Column{std::move(name), type});
  if (records == 0) return;
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

void Table::Reserve(std::size_t records, qsizetype textUnits) {
  if (mClosed) ThrowError(errors::kNotAllowed);
  const std::size_t fields = (mRecordCount + (mAdding ? 1 : 0) + records) * mColumns.size();
  mValues.reserve(fields);
  mLengths.reserve(fields);
  if (textUnits > 0) mStores[0].reserve(mStores[0].size() + textUnits);
}

void Table::ShareText(const QString& text) {
  if (mClosed) ThrowError(errors::kNotAllowed);
  assert(mStores.size() < 255);
  mStores.push_back(text);
}

void Table::AddNew() {
  if (mClosed) ThrowError(errors::kNotAllowed);
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
    case ColumnType::Text: {
      // Already in a shared store: keep its position; otherwise a copy in the table's own.
      const std::less<const QChar*> before;
      std::size_t store = text.isEmpty() ? 0 : mStores.size() - 1;
      for (; store > 0; --store) {
        const QChar* begin = mStores[store].constData();
        if (!before(text.data(), begin) &&
            !before(begin + mStores[store].size(), text.data() + text.size())) {
          break;
        }
      }
      if (store == 0) {
        value = mStores[0].size();
        mStores[0].append(text);
      } else {
        value = text.data() - mStores[store].constData();
      }
      value |= static_cast<std::int64_t>(store) << kStoreShift;
      length = static_cast<std::uint32_t>(text.size());
      break;
    }
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

QStringView Table::TextField(int column, bool* isSet) const {
  CheckColumn(column);
  CheckCurrent();
  const std::uint32_t length = mLengths[Slot(column)];
  const bool set = length != kUnset;
  if (isSet != nullptr) *isSet = set;
  if (!set || mColumns[column].type != ColumnType::Text) return {};
  const std::int64_t value = mValues[Slot(column)];
  return QStringView(mStores[static_cast<std::size_t>(value >> kStoreShift)])
      .mid(static_cast<qsizetype>(value & kOffsetMask), length);
}

Variant Table::Field(int column) const {
  CheckColumn(column);
  CheckCurrent();
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
  mStores.assign(1, QString());
  mRecordCount = 0;
  mCursor = 0;
  mAdding = false;
  mClosed = true;
}

}  // namespace varnex::platform
