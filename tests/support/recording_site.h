#pragma once

#include "platform/control_site.h"

#include <QString>
#include <QStringList>

namespace varnex::testing {

/// A fake screen that records every effect as one line ("box Box1 = ...", "tooltip \"...\"",
/// "caption lblCancel = X", "fill ctPushFirm = 16756318", "msgbox Kestrova: 13 Type mismatch").
/// Given a shared list, it records there too, so that a test sees the grid's operations and the
/// screen's effects in the one order in which they happened.
class RecordingSite : public platform::ControlSite {
 public:
  RecordingSite() = default;
  explicit RecordingSite(QStringList& shared) : mShared(&shared) {}

  void SetBoxText(const QString& box, const QString& text) override;
  void SetGridToolTip(const QString& text) override;
  void SetMarkerCaption(const QString& marker, const QString& text) override;
  void SetSwatchFill(const QString& swatch, std::int32_t colour) override;
  void ShowMessage(const QString& title, const QString& text) override;

  QStringList lines;
  /// The texts of the message boxes shown, in order.
  QStringList messages;

 private:
  void Record(const QString& line);

  QStringList* mShared = nullptr;
};

}  // namespace varnex::testing
