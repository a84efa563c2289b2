#pragma once

#include <QString>

#include <cstdint>

namespace varnex::platform {

/// What the control does to its own screen besides driving the grid: the hidden text boxes,
/// the grid's tooltip (kept by the container, not by the grid), the legend's markers and
/// swatches, and the modal message box. The screen implements it with real widgets; the
/// scripted host and the tests record each call.
class ControlSite {
 public:
  virtual ~ControlSite() = default;

  /// Writes the text of a hidden text box ("Box1", "Box2").
  virtual void SetBoxText(const QString& box, const QString& text) = 0;
  /// Sets the tooltip text of the schedule grid.
  virtual void SetGridToolTip(const QString& text) = 0;
  /// Sets the caption of a legend marker ("lblCancel", ...).
  virtual void SetMarkerCaption(const QString& marker, const QString& text) = 0;
  /// Sets the fill of a legend swatch ("ctPushSuggested", ...) to a 0x00BBGGRR colour.
  virtual void SetSwatchFill(const QString& swatch, std::int32_t colour) = 0;
  /// Shows a modal message box with an OK button only and returns when it is dismissed. The
  /// host may delete the control while the box is open, and other calls may arrive through
  /// the box's event loop: a caller does nothing more with the control once this returns.
  /// `detail` says what the box is about (the document, row, order number, column and value,
  /// or the limit passed); the box itself shows only `text`.
  virtual void ShowMessage(const QString& title, const QString& text, const QString& detail) = 0;
  /// A note on a document that loaded but may not show what its author meant (references shown
  /// as written, values that split a line's text). Not a box: nothing waits for the planner.
  virtual void ShowNote(const QString& note) { static_cast<void>(note); }
};

}  // namespace varnex::platform
