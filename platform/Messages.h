#pragma once
// Messages to the user. In the windows' program the installed dialogs (platform/gui/Dialogs.h)
// take them; the tests install recorders; without either, messages go to standard error and
// questions are answered with Cancel.
#include <QString>
#include <functional>

namespace tv {

// The answer to a question with the buttons はい, いいえ and (where offered) キャンセル.
enum class TAnswer { Yes, No, Cancel };

struct TMessageHandlers {
    std::function<void(const QString& text)> show;        // message box with OK
    std::function<bool(const QString& text)> askOkCancel; // warning icon, OK and Cancel
    // Question with はい and いいえ, and キャンセル when `withCancel`.
    std::function<TAnswer(const QString& text, bool withCancel)> askYesNo;
};

void ShowMessage(const QString& text);
// Cancel is the default button: the action asked about must be chosen.
bool AskOkCancel(const QString& text);
// Yes, No or Cancel; without a handler the answer is Cancel.
TAnswer AskYesNoCancel(const QString& text);
// True for Yes; without a handler the answer is No.
bool AskYesNo(const QString& text);
// Installs handlers and returns the previous ones.
TMessageHandlers SetMessageHandlers(TMessageHandlers handlers);

} // namespace tv
