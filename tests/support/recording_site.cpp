#include "tests/support/recording_site.h"

namespace varnex::testing {

void RecordingSite::Record(const QString& line) {
  if (mKeepLines) lines << line;
  if (mShared != nullptr) *mShared << line;
}

void RecordingSite::SetBoxText(const QString& box, const QString& text) {
  mBoxes.insert(box, text);
  if (!mKeepLines && mShared == nullptr) return;
  Record(text.size() > kLongText
             ? QStringLiteral("box %1 (%2 characters)").arg(box).arg(text.size())
             : QStringLiteral("box %1 = %2").arg(box, text));
}

void RecordingSite::SetGridToolTip(const QString& text) {
  toolTip = text;
  Record(QStringLiteral("tooltip \"%1\"").arg(text));
}

void RecordingSite::SetMarkerCaption(const QString& marker, const QString& text) {
  Record(QStringLiteral("caption %1 = %2").arg(marker, text));
}

void RecordingSite::SetSwatchFill(const QString& swatch, std::int32_t colour) {
  ++swatchFills;
  Record(QStringLiteral("fill %1 = %2").arg(swatch).arg(colour));
}

void RecordingSite::ShowNote(const QString& note) {
  notes << note;
}

void RecordingSite::ShowMessage(const QString& title, const QString& text, const QString& detail) {
  messages << text;
  details << detail;
  Record(QStringLiteral("msgbox %1: %2").arg(title, text));
}

}  // namespace varnex::testing
