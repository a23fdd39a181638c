#include "app/cli/Options.h"

namespace tv::cli {

QString ReadOptions(const QStringList& args, const QStringList& valueOptions,
                    const QStringList& switchOptions, TOptions& options) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const int equals = arg.indexOf(QLatin1Char('='));
        const QString name =
            arg.startsWith(QLatin1String("--")) && equals > 0 ? arg.left(equals) : arg;
        if (valueOptions.contains(name)) {
            if (equals > 0) {
                options.values[name] = arg.mid(equals + 1);
            } else {
                if (i + 1 >= args.size())
                    return QStringLiteral("%1 に値がありません").arg(name);
                options.values[name] = args[++i];
            }
        } else if (switchOptions.contains(arg)) {
            options.switches.insert(arg);
        } else if (switchOptions.contains(name)) {
            return QStringLiteral("%1 に値は指定できません").arg(name);
        } else {
            return QStringLiteral("不明な引数です: %1").arg(arg);
        }
    }
    return QString();
}

} // namespace tv::cli
