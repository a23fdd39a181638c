#include "app/cli/CopyDataCommand.h"

#include "app/cli/Output.h"
#include "measurement/CopyData.h"

namespace tv::cli {

int RunCopyData(const QStringList& args) {
    QString from, to;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        QString* target = arg == QLatin1String("--from") ? &from
                          : arg == QLatin1String("--to") ? &to
                                                         : nullptr;
        if (!target) {
            PrintError(QStringLiteral("不明な引数です: %1").arg(arg));
            return 2;
        }
        if (i + 1 >= args.size()) {
            PrintError(QStringLiteral("%1 に値がありません").arg(arg));
            return 2;
        }
        *target = args[++i];
    }
    if (from.isEmpty() || to.isEmpty()) {
        PrintError(QStringLiteral("--from でコピー元、--to でコピー先を指定してください"));
        return 2;
    }
    return PrintResult([&]() -> QString {
        return CopyData(from, to).join(QLatin1Char('\n')) + QLatin1Char('\n');
    });
}

} // namespace tv::cli
