#pragma once

#include "platform/dispatch.h"

#include <QString>

namespace varnex::platform {

/// What a font object holds.
struct FontDescription {
  QString name;
  double size = 0;
  bool bold = false;
};

/// A font object as a component hands it out: a dispatch object whose properties Name, Size
/// and Bold (font_ids) change the component's own font.
class FontObject : public Dispatch {
 public:
  [[nodiscard]] virtual FontDescription Describe() const = 0;
};

}  // namespace varnex::platform
