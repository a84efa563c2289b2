#include "platform/load_log.h"

#include "platform/control_site.h"

namespace varnex::platform {

Q_LOGGING_CATEGORY(lcLoad, "varnex.load", QtWarningMsg)

void NoteOnLoad(ControlSite& site, const QString& note) {
  qCInfo(lcLoad).noquote() << note;
  site.ShowNote(note);
}

void LogMessage(const QString& text, const QString& detail) {
  if (detail.isEmpty()) {
    qCInfo(lcLoad).noquote() << text;
  } else {
    qCInfo(lcLoad).noquote() << text << "--" << detail;
  }
}

}  // namespace varnex::platform
