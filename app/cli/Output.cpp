#include "app/cli/Output.h"

#include "platform/Errors.h"

#include <cstdio>

namespace tv::cli {

void PrintOut(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

void PrintError(const QString& message) {
    const QByteArray bytes = (QStringLiteral("tavelon: ") + message + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

int PrintResult(const std::function<QString()>& work) {
    try {
        PrintOut(work());
        return 0;
    } catch (const TError& e) {
        QString message = e.Message();
        message.replace(QLatin1Char('\n'), QLatin1Char(' '));
        PrintError(message);
        return 2;
    }
}

} // namespace tv::cli
