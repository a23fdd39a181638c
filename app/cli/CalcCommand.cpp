#include "app/cli/CalcCommand.h"

#include "app/cli/Csv.h"
#include "app/cli/Output.h"
#include "measurement/Calc.h"
#include "measurement/ReadingsFile.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/GridData.h"
#include "platform/GridLayout.h"

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
    // The grid layout, read as the window's 読み込み and "tavelon import" read it.
    TGridData grid;
    try {
        ReadReadings(*text, TReadingsLayout::Grid, grid);
    } catch (const EConvertError& e) {
        PrintError(QStringLiteral("%1: %2").arg(name, e.Message()));
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
        out += GridLayoutCsv(grid, LastFilledRow(grid));
    PrintOut(out);
    return 0;
}

} // namespace tv::cli
