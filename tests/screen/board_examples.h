#pragma once

// What the board's Qt Test suites share: the bundled example documents and the board's grid.

#include "control/varnex_widget.h"
#include "grid/schedule_view.h"

#include <QFile>
#include <QString>

namespace varnex::testing {

/// The text of a document in examples/; the suite stops when it cannot be read.
inline QString ReadExample(const char* name) {
  QFile file(QStringLiteral(VARNEX_EXAMPLES_DIR "/") + QString::fromLatin1(name));
  if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read example %s", name);
  return QString::fromUtf8(file.readAll());
}

/// The board's schedule grid, `ctWOSched`.
inline grid::ScheduleView* Grid(const control::VarnexWidget& board) {
  return board.findChild<grid::ScheduleView*>(QStringLiteral("ctWOSched"));
}

}  // namespace varnex::testing
