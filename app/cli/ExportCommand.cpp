#include "app/cli/ExportCommand.h"

#include "app/cli/Csv.h"
#include "app/cli/Options.h"
#include "app/cli/Output.h"
#include "measurement/ExcelSheet.h"
#include "measurement/MeasurementReader.h"
#include "measurement/ReadingsFile.h"
#include "measurement/uRokuma.h"
#include "platform/Errors.h"
#include "platform/GridData.h"
#include "platform/GridLayout.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"

#include <algorithm>

namespace tv::cli {

namespace {

// Reads "--work CODE --type NAME [--xlsx FILE]" (also "--work=CODE"); an error text when they are
// not usable.
QString ReadWorkAndType(const QStringList& args, QString& work, QString& type, QString& xlsx) {
    TOptions options;
    QString error = ReadOptions(
        args, {QStringLiteral("--work"), QStringLiteral("--type"), QStringLiteral("--xlsx")},
        QStringList(), options);
    if (!error.isEmpty())
        return error;
    if (!options.Has(QStringLiteral("--work")))
        return QStringLiteral("--work で工事コードを指定してください");
    if (!options.Has(QStringLiteral("--type")))
        return QStringLiteral("--type で工種名を指定してください");
    work = options.Value(QStringLiteral("--work"));
    type = options.Value(QStringLiteral("--type"));
    xlsx = options.Value(QStringLiteral("--xlsx"));
    if (options.Has(QStringLiteral("--xlsx")) && xlsx.isEmpty())
        return QStringLiteral("--xlsx に書き出す Excel ファイルを指定してください");
    return QString();
}

} // namespace

int RunExport(const QStringList& args) {
    QString work, type, xlsx;
    const QString optionError = ReadWorkAndType(args, work, type, xlsx);
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
