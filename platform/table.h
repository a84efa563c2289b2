#pragma once

#include "platform/date_time.h"
#include "platform/memory_advice.h"
#include "platform/variant.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace varnex::platform {

enum class ColumnType : std::uint8_t { Text, Date, Int32 };

/// A small in-memory table of named, typed columns, filled row by row and read through a
/// cursor. A text field is stored as given; a date or integer field converts its text when
/// it is set (ParseDate, ParseInteger) and the set fails as the conversion does. A field that
/// was never set reads as null.
///
/// Failures are the table's automation errors: 3265 for a column that does not exist, 3021
/// for a cursor with no current record, 3219 for a set without a record being added.
class Table {
 public:
  /// Appends a column; columns are numbered from 0 in the order they were appended.
  void AppendColumn(QString name, ColumnType type);
  [[nodiscard]] int ColumnCount() const { return static_cast<int>(mColumns.size()); }
  [[nodiscard]] const QString& ColumnName(int column) const { return mColumns[column].name; }
  /// The position of the first column with that name, or -1.
  [[nodiscard]] int ColumnIndex(QStringView name) const;

  /// Makes room for `records` more records and `textUnits` more UTF-16 units of text fields, so
  /// that a large load does not regrow the storage; changes nothing else.
  void Reserve(std::size_t records, qsizetype textUnits);
  /// Takes `text` (shared, not copied) as a store of text fields: a text field set later from
  /// a view into it is kept as its position there instead of a copy. A table takes a few.
  void ShareText(const QString& text);

  /// Starts a new record at the end of the table; it is the current record until Update.
  void AddNew();
  /// Sets a field of the record being added, converting the text to the column's type.
  void SetField(int column, QStringView text);
  /// Commits the record being added.
  void Update();
  [[nodiscard]] std::size_t RecordCount() const { return mRecordCount; }

  /// Cursor: MoveFirst fails on an empty table; MoveNext past the last record reaches EOF.
  void MoveFirst();
  void MoveNext();
  [[nodiscard]] bool IsEof() const { return mCursor >= mRecordCount; }

  /// A field of the current record: text as Bstr, dates as Date, integers as I4, unset as Null.
  [[nodiscard]] Variant Field(int column) const;
  [[nodiscard]] Variant Field(QStringView name) const;
  /// A text field of the current record without a copy; nullopt-like `isNull()` view when the
  /// field is unset. The column must be a text column.
  [[nodiscard]] QStringView TextField(int column, bool* isSet = nullptr) const;

  /// Ends the table's use; every later access fails.
  void Close();

 private:
  struct Column {
    QString name;
    ColumnType type;
  };
  static constexpr std::uint32_t kUnset = 0xFFFFFFFF;

  // The checks of every field access; the rare failures are thrown out of line.
  void CheckColumn(int column) const {
    if (mClosed || column < 0 || column >= ColumnCount()) FailColumn();
  }
  void CheckCurrent() const {
    if (mClosed || (!mAdding && mCursor >= mRecordCount)) FailCurrent();
  }
  [[noreturn]] void FailColumn() const;
  [[noreturn]] void FailCurrent() const;
  [[nodiscard]] std::size_t Slot(int column) const {
    return mCursor * mColumns.size() + static_cast<std::size_t>(column);
  }

  std::vector<Column> mColumns;
  // The fields record by record, so that one record's fields lie together. A text field holds
  // its store and its offset there in mValues and its length in mLengths; a date or integer
  // field its value in mValues and 0 in mLengths; a field never set kUnset in mLengths.
  std::vector<std::int64_t, LargeArrayAllocator<std::int64_t>> mValues;
  std::vector<std::uint32_t, LargeArrayAllocator<std::uint32_t>> mLengths;
  std::vector<QString> mStores{QString()};  // the table's own text, then the shared ones
  std::size_t mRecordCount = 0;
  std::size_t mCursor = 0;
  bool mAdding = false;
  bool mClosed = false;
};

}  // namespace varnex::platform
