#pragma once
// Help pages, opened by topic string ("HID00000002"). The pages are HTML files installed with the
// program (help/<topic>.html, see Installed.h); the topic is a file name only, never shown.
#include <QString>
#include <QStringList>

class QAction;
class QWidget;

namespace tv {

// Every topic the windows open: the main window, the works, client, contractor, person-name,
// standard-values and work-type windows, the settings window, the chart, the import of the
// earlier program's data, the print preview and the pick-list.
QStringList HelpTopics();

// The page of a topic, or an empty text when none is installed.
QString HelpPageFile(const QString& topic);

// Opens the topic's page in the system's browser (Dialogs().OpenHelpPage). When no page is
// installed for the topic, or it cannot be opened, says so in a message box.
void ShowHelpTopic(const QString& topic);

// F1 in a window without a menu bar: an action "Help1" of the window that opens the topic while
// the window (or a control in it) has the focus.
QAction* AddHelpKey(QWidget* window, const QString& topic);

} // namespace tv
