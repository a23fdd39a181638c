#pragma once
// Messages to the user. The program installs message boxes; the tests install recorders; without
// either, messages go to standard error and questions are answered with Cancel.
#include <QString>
#include <functional>

namespace tv {

struct TMessageHandlers {
    std::function<void(const QString& text)> show;        // message box with OK
    std::function<bool(const QString& text)> askOkCancel; // warning icon, OK and Cancel
};

void ShowMessage(const QString& text);
bool AskOkCancel(const QString& text);
// Installs handlers and returns the previous ones.
TMessageHandlers SetMessageHandlers(TMessageHandlers handlers);

} // namespace tv
