#include "tests/support/gui/TestDialogs.h"

namespace tv::test {
namespace {

template <class T> std::optional<T> Next(std::deque<std::optional<T>>& answers) {
    std::optional<T> answer;
    if (!answers.empty()) {
        answer.swap(answers.front());
        answers.pop_front();
    }
    return answer;
}

} // namespace

TestDialogs::TestDialogs(TestEnv& env) : env_(env), previous_(SetDialogs(this)) {}

TestDialogs::~TestDialogs() {
    SetDialogs(previous_);
}

void TestDialogs::ShowMessage(const QString& text) {
    env_.RecordMessage(text);
}

bool TestDialogs::AskOkCancel(const QString& text) {
    return env_.AnswerOkCancel(text);
}

TAnswer TestDialogs::AskYesNo(const QString& text, TQuestion question) {
    return env_.AnswerYesNo(text, question != TQuestion::YesNo);
}

std::optional<QColor> TestDialogs::PickColor(QWidget*, const QColor& initial) {
    colorStarts.push_back(initial);
    return Next(colorAnswers);
}

std::optional<QString> TestDialogs::PickFolder(QWidget*, const QString& title,
                                               const QString& start) {
    folderTitles << title;
    folderStarts << start;
    return Next(folderAnswers);
}

std::optional<TChosenFile> TestDialogs::OpenFileName(QWidget*, const TFileRequest& request) {
    fileRequests.push_back(request);
    return Next(fileAnswers);
}

std::optional<TChosenFile> TestDialogs::SaveFileName(QWidget*, const TFileRequest& request) {
    fileRequests.push_back(request);
    return Next(fileAnswers);
}

bool TestDialogs::SetUpPrinter(QWidget* owner, QPrinter* printer) {
    printersSetUp.push_back(printer);
    return printerSetUp ? printerSetUp(owner, printer) : false;
}

bool TestDialogs::OpenHelpPage(const QString& file) {
    helpPages << file;
    return helpOpens;
}

std::optional<QString> TestDialogs::AskPassword(const QString& text) {
    passwordQuestions << text;
    return Next(passwordAnswers);
}

} // namespace tv::test
