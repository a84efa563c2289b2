#include "control/screen_style.h"

#include <QFontDatabase>
#include <QPalette>

#include <cmath>

namespace varnex::control {

QColor ResolveColour(OleColour value, const QPalette& palette) {
  if ((value & 0x80000000u) == 0) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
  }
  switch (value) {
    case system_colours::kWindow: return palette.color(QPalette::Base);
    case system_colours::kWindowText: return palette.color(QPalette::Text);
    case system_colours::kBtnFace: return palette.color(QPalette::Button);
    case system_colours::kBtnText: return palette.color(QPalette::ButtonText);
    case system_colours::kInactiveCaptionText: return QColor(212, 208, 200);
    default: return palette.color(QPalette::Window);
  }
}

QFont ArialFont(double pointSize, bool bold) {
  static const bool substituted = [] {
    const QString arial = QStringLiteral("Arial");
    if (!QFontDatabase::families().contains(arial)) {
      QFont::insertSubstitution(arial, QStringLiteral("Liberation Sans"));
    }
    return true;
  }();
  Q_UNUSED(substituted);
  QFont font(QStringLiteral("Arial"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(int(std::lround(pointSize * 96.0 / 72.0)));
  font.setBold(bold);
  return font;
}

}  // namespace varnex::control
