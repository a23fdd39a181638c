#pragma once
// A private world for one test: configuration and data folders in a temporary directory, the
// engine entry "kestran" pointing at a fresh data folder, messages recorded instead of shown, and
// a fixed clock.
#include "platform/Messages.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <ostream>

// Readable QStrings in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace tv::test {

class TestEnv {
public:
    TestEnv();
    ~TestEnv();

    QString Root() const { return dir_.path(); }
    // Writes a file of these bytes (and its folders) into the test's folder; returns its path.
    QString WriteFile(const QString& name, const QByteArray& bytes) const;
    // The data folder, ending in '/'.
    QString DataFolder() const { return dataFolder_; }
    QString ConfigHome() const;
    // True when the tables live in a schema of the test server (TV_TEST_SERVER names its socket
    // folder) instead of the data folder.
    bool OnServer() const { return !server_.isEmpty(); }
    // A fresh, empty schema of the test server as a server address (only when OnServer).
    QString NewServer() const;
    // Removes a table of "kestran" (its file in the folder).
    void DropTable(const QString& table) const;
    // The engine's "Server" of this test, empty on the folder.
    QString Server() const { return server_; }

    // Messages shown through tv::ShowMessage, in order.
    QStringList messages;
    // Answer given to tv::AskOkCancel; the questions asked are recorded in `questions`.
    bool answerOk = true;
    QStringList questions;
    // Answers to tv::AskYesNoCancel (default: いいえ, drop the changes) and tv::AskYesNo
    // (default: はい); these questions are recorded in `questions` as well.
    TAnswer answerYesNoCancel = TAnswer::No;
    bool answerYes = true;

    // What tv::ShowMessage and the questions do here; a window test's dialogs do the same.
    void RecordMessage(const QString& text);
    bool AnswerOkCancel(const QString& text);
    TAnswer AnswerYesNo(const QString& text, bool withCancel);

    // "Today" in this test.
    static QDateTime FixedNow() { return QDateTime(QDate(2026, 12, 9), QTime(10, 30, 0)); }

private:
    QTemporaryDir dir_;
    QString dataFolder_;
    QString server_;
    QByteArray oldConfig_, oldData_;
};

// Google Test fixture owning a TestEnv.
class EnvTest : public ::testing::Test {
protected:
    TestEnv env;
};

} // namespace tv::test
