#include "app/cli/CalcCommand.h"

#include "app/cli/Csv.h"
#include "app/cli/Output.h"
#include "measurement/Calc.h"
#include "measurement/GridLayout.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/GridData.h"

#include <QFile>
#include <cstdio>

namespace tv::cli {

namespace {

struct CalcOptions {
    QString groupSize;
    bool grid = false;
    QString file;
};

// Reads the options; an error text when they are not usable.
QString ReadOptions(const QStringList& args, CalcOptions& options) {
    bool haveFile = false;
    bool optionsEnded = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (optionsEnded) {
            if (haveFile)
                return QStringLiteral("ファイルは一つだけ指定してください: %1").arg(arg);
            options.file = arg;
            haveFile = true;
        } else if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("--grid")) {
            options.grid = true;
        } else if (arg == QLatin1String("--group-size")) {
            if (i + 1 >= args.size())
                return QStringLiteral("--group-size にＧの値がありません");
            options.groupSize = args[++i];
        } else if (arg.startsWith(QLatin1String("--group-size="))) {
            options.groupSize = arg.mid(13);
        } else if (arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-")) {
            return QStringLiteral("不明なオプションです: %1").arg(arg);
        } else if (haveFile) {
            return QStringLiteral("ファイルは一つだけ指定してください: %1").arg(arg);
        } else {
            options.file = arg;
            haveFile = true;
        }
    }
    if (!haveFile)
        return QStringLiteral("ファイルを指定してください（標準入力は -）");
    return QString();
}

bool ReadInput(const QString& file, QByteArray& bytes) {
    QFile in;
    if (file == QLatin1String("-")) {
        if (!in.open(stdin, QIODevice::ReadOnly))
            return false;
    } else {
        in.setFileName(file);
        if (!in.open(QIODevice::ReadOnly))
            return false;
    }
    bytes = in.readAll();
    return in.error() == QFileDevice::NoError;
}

// Puts the records into the grid as the user would type them; an error text for a field the
// grid would refuse.
QString FillGrid(const std::vector<QStringList>& records, const QString& name, TGridData& grid) {
    for (size_t i = 0; i < records.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        const QStringList& fields = records[i];
        if (fields.size() > TGridData::kColumns)
            return QStringLiteral("%1: %2 行目の項目数が %3 を超えています（%4 項目）")
                .arg(name, QString::number(row), QString::number(TGridData::kColumns),
                     QString::number(fields.size()));
        for (int j = 0; j < fields.size(); ++j) {
            const int col = j + 1;
            QString text = fields[j];
            bool excluded = false;
            if (grid::IsReading(col) && text.trimmed().startsWith(QLatin1Char('*'))) {
                text = text.trimmed().mid(1);
                excluded = true;
            }
            if (!TGridData::AcceptsText(col, text)) {
                const QString why =
                    col == grid::kPositionCol
                        ? (Cp932Length(text)
                               ? QStringLiteral("%1 バイトを超えています")
                                     .arg(grid::kPositionBytes)
                               : QStringLiteral("Shift-JIS で表せない文字 '%1' を含んでいます")
                                     .arg(Cp932FirstUnencodable(text)))
                    : grid::IsReading(col)
                        ? QStringLiteral("-99999999～99999999 の数値ではありません")
                        : QStringLiteral("数値ではありません");
                return QStringLiteral("%1: %2 行目 %3 列目 '%4' は%5")
                    .arg(name, QString::number(row), QString::number(col), fields[j], why);
            }
            grid.SetCellText(col, row, text);
            grid.SetForeColor(excluded ? kColorRed : kColorBlack);
        }
    }
    return QString();
}

QString GridCsv(const TGridData& grid) {
    int last = 0;
    for (int r = 1; r <= grid.MaxRows(); ++r)
        for (int c = 1; c <= TGridData::kColumns; ++c)
            if (!grid.CellText(c, r).isEmpty())
                last = r;
    QString out;
    for (int r = 1; r <= last; ++r) {
        for (int c = 1; c <= TGridData::kColumns; ++c) {
            QString text = grid.CellText(c, r);
            if (grid::IsReading(c) && !text.isEmpty() && grid.CellColor(c, r) != kColorBlack)
                text.prepend(QLatin1Char('*'));
            if (c > 1)
                out += QLatin1Char(',');
            out += CsvField(text);
        }
        out += QLatin1Char('\n');
    }
    return out;
}

} // namespace

QString ResultLines(const TCalcTarget& boxes) {
    struct Line {
        const char* key;
        ResultBox box;
    };
    static const Line lines[] = {
        {"SD=", ResultBox::Edit5},        {"SD2=", ResultBox::Edit6},
        {"DATACOUNT=", ResultBox::Edit7}, {"HENSA=", ResultBox::Edit8},
        {"HOSR=", ResultBox::Edit9},      {"HODATACOUNT=", ResultBox::Edit10},
        {"HOHENSA=", ResultBox::Edit11},  {"GP=", ResultBox::Edit13},
    };
    QString out;
    for (const Line& line : lines)
        out += QLatin1String(line.key) + boxes.BoxText(line.box) + QLatin1Char('\n');
    return out;
}

int RunCalc(const QStringList& args) {
    CalcOptions options;
    const QString optionError = ReadOptions(args, options);
    if (!optionError.isEmpty()) {
        PrintError(optionError);
        return 2;
    }
    const QString name =
        options.file == QLatin1String("-") ? QStringLiteral("標準入力") : options.file;
    QByteArray bytes;
    if (options.file != QLatin1String("-") && !QFile::exists(options.file)) {
        PrintError(QStringLiteral("%1: ファイルがありません").arg(name));
        return 2;
    }
    if (!ReadInput(options.file, bytes)) {
        PrintError(QStringLiteral("%1: ファイルを読み込めません").arg(name));
        return 2;
    }
    const std::optional<QString> text = DecodeText(bytes);
    if (!text) {
        PrintError(
            QStringLiteral("%1: UTF-8 でも Shift-JIS でもない文字が含まれています").arg(name));
        return 2;
    }
    const CsvRecords csv = ParseCsv(*text);
    if (csv.openQuoteRecord > 0) {
        PrintError(QStringLiteral("%1: %2 行目の引用符が閉じていません")
                       .arg(name, QString::number(csv.openQuoteRecord)));
        return 2;
    }
    TGridData grid;
    if (static_cast<int>(csv.records.size()) > grid.MaxRows()) {
        PrintError(
            QStringLiteral("%1: 行数が %2 を超えています（%3 行）")
                .arg(name, QString::number(grid.MaxRows()), QString::number(csv.records.size())));
        return 2;
    }
    const QString fillError = FillGrid(csv.records, name, grid);
    if (!fillError.isEmpty()) {
        PrintError(fillError);
        return 2;
    }

    TMemoryCalcTarget boxes;
    boxes.SetBoxText(ResultBox::Edit13, options.groupSize);
    try {
        CalcReadings(grid, boxes);
        CalcRanges(grid, boxes);
    } catch (const TError& e) {
        PrintError(e.Message());
        return 2;
    }
    if (!boxes.Status().isEmpty())
        PrintError(boxes.Status());

    QString out = ResultLines(boxes);
    if (options.grid)
        out += GridCsv(grid);
    PrintOut(out);
    return 0;
}

} // namespace tv::cli
