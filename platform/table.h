#pragma once

#include "platform/date_time.h"
#include "platform/variant.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace varnex::platform {

class XmlDocument;

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

  /// Takes element rows of a parsed document as the table's records, in the order given, without
  /// copying a value: field c of a record is the row's attribute c (by position), unset past
  /// the row's last attribute; attributes past the table's columns are not read, and a column
  /// appended later is unset in every record. The table keeps the document. Only on a table
  /// without records whose columns are all text; records cannot be added to it afterwards
  /// (3219).
  void AdoptRows(std::shared_ptr<const XmlDocument> document, std::vector<std::uint32_t> rows);

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
  /// Asks the processor to fetch a text field of a later record (`ahead` records past the
  /// current one) into its cache, so that a pass over the records does not wait for each one's
  /// memory in turn. Does nothing past the last record or for a column that is not there.
  void Prefetch(std::size_t ahead, int column) const;
  /// The text fields `columns` of the current record at once, into `fields` (an unset field
  /// as an empty view); the columns are checked as TextField checks them.
  void TextFields(std::span<const int> columns, std::span<QStringView> fields) const;

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
  // A text field of the current record, the column and record checked.
  [[nodiscard]] QStringView TextAt(int column, bool* isSet) const;
  // How many fields an adopted row sets: its attributes, up to the columns it was adopted with.
  [[nodiscard]] int AdoptedFields(int row) const;

  std::vector<Column> mColumns;
  // The fields record by record, so that one record's fields lie together. A text field holds
  // its offset in mText in mValues and its length in mLengths; a date or integer field its
  // value in mValues and 0 in mLengths; a field never set kUnset in mLengths.
  std::vector<std::int64_t> mValues;
  std::vector<std::uint32_t> mLengths;
  QString mText;
  // The adopted rows, when the records are a document's: then mValues and mLengths stay empty.
  std::shared_ptr<const XmlDocument> mDocument;
  std::vector<std::uint32_t> mRows;
  int mAdoptedColumns = 0;
  std::size_t mRecordCount = 0;
  std::size_t mCursor = 0;
  bool mAdding = false;
  bool mClosed = false;
};

}  // namespace varnex::platform
