#pragma once
// Runs the command-line program built beside the tests (TAVELON_EXE) and keeps what it said.
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace tv::test {

struct TRun {
    int exitCode = -1;
    QString out, err;
};

inline TRun Tavelon(const QStringList& args, const QByteArray& input = QByteArray()) {
    QProcess process;
    process.start(QStringLiteral(TAVELON_EXE), args);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace tv::test
