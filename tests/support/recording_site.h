#pragma once

#include "platform/control_site.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace varnex::testing {

/// The one fake screen of the tests, benchmarks and fuzz targets. It keeps the latest text of
/// each box and of the tooltip, the texts of the message boxes shown and the number of swatch
/// fills; and, unless told to drop them, it records every effect as one line ("box Box1 = ...",
/// "tooltip \"...\"", "caption lblCancel = X", "fill ctPushFirm = 16756318",
/// "msgbox Kestrova: 13 Type mismatch"). A box text longer than kLongText is recorded by its
/// length ("box Box2 (52428800 characters)"). Given a shared list, it records there too, so
/// that a test sees the grid's operations and the screen's effects in the one order in which
/// they happened.
class RecordingSite : public platform::ControlSite {
 public:
  enum class Lines { Kept, Dropped };
  static constexpr qsizetype kLongText = 4096;

  explicit RecordingSite(Lines kept = Lines::Kept) : mKeepLines(kept == Lines::Kept) {}
  explicit RecordingSite(QStringList& shared) : mShared(&shared) {}

  void SetBoxText(const QString& box, const QString& text) override;
  void SetGridToolTip(const QString& text) override;
  void SetMarkerCaption(const QString& marker, const QString& text) override;
  void SetSwatchFill(const QString& swatch, std::int32_t colour) override;
  void ShowMessage(const QString& title, const QString& text, const QString& detail) override;
  void ShowNote(const QString& note) override;

  /// The text a box was last given; empty when none.
  [[nodiscard]] QString BoxText(const QString& box) const { return mBoxes.value(box); }

  QStringList lines;
  /// The texts of the message boxes shown, in order, and their details.
  QStringList messages;
  QStringList details;
  /// The notes on loaded documents, in order.
  QStringList notes;
  QString toolTip;
  int swatchFills = 0;

 private:
  void Record(const QString& line);

  bool mKeepLines = true;
  QStringList* mShared = nullptr;
  QHash<QString, QString> mBoxes;
};

}  // namespace varnex::testing
