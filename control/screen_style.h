#pragma once

#include <QColor>
#include <QFont>
#include <QRect>

#include <cstdint>

class QPalette;

namespace varnex::control {

/// Screen positions and sizes are stored in twips; 15 twips make one logical pixel (96 dpi).
inline constexpr int kTwipsPerPixel = 15;
[[nodiscard]] constexpr int Twips(int twips) {
  return twips / kTwipsPerPixel;
}
[[nodiscard]] constexpr QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

/// A stored colour: 0x00BBGGRR for a fixed colour, 0x800000nn for system colour number nn.
using OleColour = std::uint32_t;

[[nodiscard]] constexpr OleColour Rgb(int r, int g, int b) {
  return OleColour(r) | (OleColour(g) << 8) | (OleColour(b) << 16);
}

/// The system colours the screen refers to.
namespace system_colours {
inline constexpr OleColour kWindow = 0x80000005;
inline constexpr OleColour kWindowText = 0x80000008;
inline constexpr OleColour kBtnFace = 0x8000000F;
inline constexpr OleColour kBtnText = 0x80000012;
inline constexpr OleColour kInactiveCaptionText = 0x80000013;
}  // namespace system_colours

/// The colour a stored value stands for. System colours resolve through the palette (window
/// to Base, window text to Text, button face to Button, button text to ButtonText); the
/// inactive caption text is the classic light grey, so the legend bands stay light in every
/// theme. Other system colour numbers fall back to the window colour.
[[nodiscard]] QColor ResolveColour(OleColour value, const QPalette& palette);

/// Arial at a stored point size, sized in pixels as at 96 dpi so text keeps its place in the
/// twips layout on any screen. Where Arial is missing, Liberation Sans stands in.
[[nodiscard]] QFont ArialFont(double pointSize, bool bold = false);

}  // namespace varnex::control
