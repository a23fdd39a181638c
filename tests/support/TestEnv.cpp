#include "tests/support/TestEnv.h"

#include "platform/Clock.h"
#include "platform/EngineConfig.h"
#include "platform/Messages.h"
#include "platform/TableEngine.h"

#include <QDir>
#include <QFile>

namespace tv::test {

TestEnv::TestEnv() {
    oldConfig_ = qgetenv("XDG_CONFIG_HOME");
    oldData_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_CONFIG_HOME", QDir(dir_.path()).filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", QDir(dir_.path()).filePath(QStringLiteral("share")).toUtf8());
    dataFolder_ = QDir(dir_.path()).filePath(QStringLiteral("data")) + QLatin1Char('/');
    QDir().mkpath(dataFolder_);
    CloseAllConnections();
    SetDatabaseParam(QStringLiteral("kestran"), QStringLiteral("Path"), dataFolder_);
    SetClock([] { return FixedNow(); });
    TMessageHandlers handlers;
    handlers.show = [this](const QString& text) { RecordMessage(text); };
    handlers.askOkCancel = [this](const QString& text) { return AnswerOkCancel(text); };
    handlers.askYesNo = [this](const QString& text, bool withCancel) {
        return AnswerYesNo(text, withCancel);
    };
    SetMessageHandlers(handlers);
}

void TestEnv::RecordMessage(const QString& text) {
    messages << text;
}

bool TestEnv::AnswerOkCancel(const QString& text) {
    questions << text;
    return answerOk;
}

TAnswer TestEnv::AnswerYesNo(const QString& text, bool withCancel) {
    questions << text;
    if (withCancel)
        return answerYesNoCancel;
    return answerYes ? TAnswer::Yes : TAnswer::No;
}

TestEnv::~TestEnv() {
    CloseAllConnections();
    SetMessageHandlers({});
    SetClock({});
    qputenv("XDG_CONFIG_HOME", oldConfig_);
    qputenv("XDG_DATA_HOME", oldData_);
}

QString TestEnv::ConfigHome() const {
    return QDir(dir_.path()).filePath(QStringLiteral("config"));
}

QString TestEnv::WriteFile(const QString& name, const QByteArray& bytes) const {
    QString path = QDir(dir_.path()).filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        << path.toStdString();
    return path;
}

} // namespace tv::test
