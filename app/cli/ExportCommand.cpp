#include "app/cli/ExportCommand.h"

#include "app/cli/Output.h"
#include "measurement/ExcelSheet.h"
#include "measurement/GridLayout.h"
#include "measurement/MeasurementReader.h"
#include "measurement/ReadingsFile.h"
#include "measurement/uRokuma.h"
#include "platform/Errors.h"
#include "platform/GridData.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"

#include <algorithm>

namespace tv::cli {

namespace {

// Reads "--work CODE --type NAME [--xlsx FILE]" (also "--work=CODE"); an error text when they
// are not usable.
QString ReadOptions(const QStringList& args, QString& work, QString& type, QString& xlsx) {
    bool haveWork = false, haveType = false, haveXlsx = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        QString* target = nullptr;
        bool* have = nullptr;
        QString option;
        if (arg == QLatin1String("--work") || arg.startsWith(QLatin1String("--work="))) {
            target = &work;
            have = &haveWork;
            option = QStringLiteral("--work");
        } else if (arg == QLatin1String("--type") || arg.startsWith(QLatin1String("--type="))) {
            target = &type;
            have = &haveType;
            option = QStringLiteral("--type");
        } else if (arg == QLatin1String("--xlsx") || arg.startsWith(QLatin1String("--xlsx="))) {
            target = &xlsx;
            have = &haveXlsx;
            option = QStringLiteral("--xlsx");
        } else {
            return QStringLiteral("不明な引数です: %1").arg(arg);
        }
        if (arg.contains(QLatin1Char('='))) {
            *target = arg.mid(arg.indexOf(QLatin1Char('=')) + 1);
        } else {
            if (i + 1 >= args.size())
                return QStringLiteral("%1 に値がありません").arg(option);
            *target = args[++i];
        }
        *have = true;
    }
    if (!haveWork)
        return QStringLiteral("--work で工事コードを指定してください");
    if (!haveType)
        return QStringLiteral("--type で工種名を指定してください");
    if (haveXlsx && xlsx.isEmpty())
        return QStringLiteral("--xlsx に書き出す Excel ファイルを指定してください");
    return QString();
}

} // namespace

int RunExport(const QStringList& args) {
    QString work, type, xlsx;
    const QString optionError = ReadOptions(args, work, type, xlsx);
    if (!optionError.isEmpty()) {
        PrintError(optionError);
        return 2;
    }
    try {
        // The export creates no table and changes nothing.
        const std::vector<int> ids = StoredMeasurementIds(work, type);
        if (ids.empty()) {
            PrintError(
                QStringLiteral("工事 %1 の工種 %2 の測定は登録されていません").arg(work, type));
            return 2;
        }
        const int id = ids.front();

        TGridData grid;
        LoadMeasurementGrid(id, grid);
        if (!xlsx.isEmpty()) {
            // The header boxes go on the sheet too.
            TRokumaKanri header;
            header.Koji->LoadByCode(work);
            header.Kosyu->FindByName(type);
            header.LoadByWork();
            WriteExcelSheet(xlsx, header, grid);
            return 0;
        }
        // Rows down to the last stored line.
        const std::vector<TStoredLine> lines = ReadStoredMeasurement(id).Lines;
        const int last = std::min(lines.empty() ? 0 : lines.back().LNO, grid.MaxRows());
        const QString out = GridLayoutCsv(grid, last);
        PrintOut(out);
        return 0;
    } catch (const TError& e) {
        PrintError(e.Message().replace(QLatin1Char('\n'), QLatin1Char(' ')));
        return 2;
    }
}

} // namespace tv::cli
