#pragma once

#include <QLoggingCategory>
#include <QString>

namespace varnex::platform {

class ControlSite;

/// The one logging category of the control, "varnex.load": what went wrong with a document or
/// a step (each message box's text with its detail) and notes on documents that load but may
/// not show what their author meant. Its messages are at info level and the category is quiet
/// unless a host enables it (QT_LOGGING_RULES="varnex.load.info=true").
Q_DECLARE_LOGGING_CATEGORY(lcLoad)

/// Tells the host a note about the document just loaded: logged on lcLoad and handed to the
/// site, which may show it beside the board.
void NoteOnLoad(ControlSite& site, const QString& note);

/// Logs a message box's text and detail on lcLoad.
void LogMessage(const QString& text, const QString& detail);

}  // namespace varnex::platform
