#pragma once
// The dialogs of a window test, installed for the object's life; nothing opens. Messages and
// questions go to the test's TestEnv and are recorded and answered there. The colour, folder and
// file dialogs take their answers in turn from what the test queued (Cancel when none is left)
// and record what they were asked; the printer set-up records its printer and runs what the test
// gave; help pages are recorded.
#include "platform/gui/Dialogs.h"
#include "tests/support/TestEnv.h"

#include <deque>
#include <functional>
#include <vector>

namespace tv::test {

class TestDialogs final : public TDialogs {
public:
    explicit TestDialogs(TestEnv& env);
    // Gives back the dialogs installed before.
    ~TestDialogs() override;

    std::deque<std::optional<QColor>> colorAnswers;
    std::vector<QColor> colorStarts;
    std::deque<std::optional<QString>> folderAnswers;
    QStringList folderTitles, folderStarts;
    // Open and save alike.
    std::deque<std::optional<TChosenFile>> fileAnswers;
    std::vector<TFileRequest> fileRequests;
    // The printers set up; `printerSetUp`, when given, is the dialog (without: answered false).
    std::vector<QPrinter*> printersSetUp;
    std::function<bool(QWidget* owner, QPrinter* printer)> printerSetUp;
    // The help pages opened; `helpOpens` false makes opening fail.
    QStringList helpPages;
    bool helpOpens = true;
    // Passwords typed, in turn (Cancel when none is left), and the texts they were asked with.
    std::deque<std::optional<QString>> passwordAnswers;
    QStringList passwordQuestions;

    void ShowMessage(const QString& text) override;
    bool AskOkCancel(const QString& text) override;
    TAnswer AskYesNo(const QString& text, TQuestion question) override;
    std::optional<QColor> PickColor(QWidget* owner, const QColor& initial) override;
    std::optional<QString> PickFolder(QWidget* owner, const QString& title,
                                      const QString& start) override;
    std::optional<TChosenFile> OpenFileName(QWidget* owner, const TFileRequest& request) override;
    std::optional<TChosenFile> SaveFileName(QWidget* owner, const TFileRequest& request) override;
    bool SetUpPrinter(QWidget* owner, QPrinter* printer) override;
    bool OpenHelpPage(const QString& file) override;
    std::optional<QString> AskPassword(const QString& text) override;

private:
    TestEnv& env_;
    TDialogs* previous_;
};

} // namespace tv::test
