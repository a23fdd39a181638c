#include "app/cli/ImportParadoxCommand.h"

#include "app/cli/Output.h"
#include "measurement/ParadoxImport.h"

namespace tv::cli {

int RunImportParadox(const QStringList& args) {
    QString source, destination;
    bool haveSource = false, haveDestination = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--into")) {
            if (i + 1 >= args.size()) {
                PrintError(QStringLiteral("--into に値がありません"));
                return 2;
            }
            destination = args[++i];
            haveDestination = true;
        } else if (arg.startsWith(QLatin1String("--into="))) {
            destination = arg.mid(7);
            haveDestination = true;
        } else if (arg.startsWith(QLatin1String("--")) || haveSource) {
            PrintError(QStringLiteral("不明な引数です: %1").arg(arg));
            return 2;
        } else {
            source = arg;
            haveSource = true;
        }
    }
    if (!haveSource || source.isEmpty()) {
        PrintError(QStringLiteral("旧データのフォルダを指定してください"));
        return 2;
    }
    if (!haveDestination || destination.isEmpty()) {
        PrintError(QStringLiteral("--into で取り込み先のフォルダを指定してください"));
        return 2;
    }
    return PrintResult([&] {
        const TParadoxImport import(source);
        import.ImportInto(destination);
        QString out;
        for (const TImportTable& t : import.Tables()) {
            if (t.Status == TImportTable::State::Ready)
                out += QStringLiteral("%1: %2\n").arg(t.Name).arg(t.Rows);
            else
                out += QStringLiteral("%1: なし（%2）\n").arg(t.Name, t.Message);
        }
        return out;
    });
}

} // namespace tv::cli
