#pragma once
// Help pages, opened by topic string ("HID00000002"). The pages are HTML files installed beside
// the program: <program folder>/help/<topic>.html.
#include <QString>

namespace tv {

// The page of a topic, or an empty text when none is installed.
QString HelpPageFile(const QString& topic);

// Opens the topic's page in the system's browser. When no page is installed for the topic, or
// it cannot be opened, says so in a message box.
void ShowHelpTopic(const QString& topic);

} // namespace tv
