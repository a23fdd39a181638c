#include "tests/support/TestEnv.h"

#include "platform/Clock.h"
#include "platform/EngineConfig.h"
#include "platform/Messages.h"
#include "platform/TableEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace tv::test {
namespace {

// A fresh schema of the test server for one test: its tables are the test's alone.
QString NewServerSchema(const QString& socketFolder) {
    static int count = 0;
    const QString base = QStringLiteral("host=%1 user=tavelon dbname=postgres").arg(socketFolder);
    const QString schema = QStringLiteral("t%1_%2").arg(
        QString::number(QCoreApplication::applicationPid()), QString::number(++count));
    TQuery q(base);
    q.AddSQL(QStringLiteral("create schema ") + schema);
    q.ExecSQL();
    return base + QStringLiteral(" options='-c search_path=%1'").arg(schema);
}

} // namespace

TestEnv::TestEnv() {
    oldConfig_ = qgetenv("XDG_CONFIG_HOME");
    oldData_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_CONFIG_HOME", QDir(dir_.path()).filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", QDir(dir_.path()).filePath(QStringLiteral("share")).toUtf8());
    dataFolder_ = QDir(dir_.path()).filePath(QStringLiteral("data")) + QLatin1Char('/');
    QDir().mkpath(dataFolder_);
    CloseAllConnections();
    SetDatabaseParam(QStringLiteral("kestran"), QStringLiteral("Path"), dataFolder_);
    const QString socketFolder = qEnvironmentVariable("TV_TEST_SERVER");
    if (!socketFolder.isEmpty()) {
        server_ = NewServerSchema(socketFolder);
        SetDatabaseParam(QStringLiteral("kestran"), QStringLiteral("Server"), server_);
    }
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

QString TestEnv::NewServer() const {
    return NewServerSchema(qEnvironmentVariable("TV_TEST_SERVER"));
}

void TestEnv::DropTable(const QString& table) const {
    if (OnServer()) {
        TQuery q(QStringLiteral("kestran"));
        q.AddSQL(QStringLiteral("drop table ") + table);
        q.ExecSQL();
        return;
    }
    CloseAllConnections();
    EXPECT_TRUE(QFile::remove(dataFolder_ + table + QStringLiteral(".DB"))) << table.toStdString();
}

QString TestEnv::ConfigHome() const {
    return QDir(dir_.path()).filePath(QStringLiteral("config"));
}

QString TestEnv::WriteFile(const QString& name, const QByteArray& bytes) const {
    QString path = QDir(dir_.path()).filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        << path.toStdString();
    return path;
}

} // namespace tv::test
