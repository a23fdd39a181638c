#include "app/cli/ImportCommand.h"

#include "app/cli/CalcCommand.h"
#include "app/cli/Output.h"
#include "measurement/Calc.h"
#include "measurement/ReadingsFile.h"
#include "measurement/uRokuma.h"
#include "platform/Errors.h"
#include "platform/GridData.h"
#include "registers/Codes.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"

#include <map>
#include <utility>

namespace tv::cli {

namespace {

struct ImportOptions {
    std::map<QString, QString> values; // option name without "--" -> value
    bool replace = false;
    QString file;
    bool Has(const char* name) const { return values.count(QLatin1String(name)) > 0; }
    QString Value(const char* name) const {
        const auto it = values.find(QLatin1String(name));
        return it == values.end() ? QString() : it->second;
    }
};

const char* const kValueOptions[] = {"work",   "type",       "layout",    "date",
                                     "start",  "end",        "distance",  "instrument",
                                     "person", "group-size", "spec-range"};

QString ReadOptions(const QStringList& args, ImportOptions& options) {
    bool optionsEnded = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (optionsEnded || !arg.startsWith(QLatin1String("--")) || arg == QLatin1String("-")) {
            if (!options.file.isEmpty())
                return QStringLiteral("ファイルは一つだけ指定してください: %1").arg(arg);
            options.file = arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (arg == QLatin1String("--replace")) {
            options.replace = true;
            continue;
        }
        const int equals = arg.indexOf(QLatin1Char('='));
        const QString name = arg.mid(2, equals < 0 ? -1 : equals - 2);
        bool known = false;
        for (const char* option : kValueOptions)
            known = known || name == QLatin1String(option);
        if (!known)
            return QStringLiteral("不明なオプションです: %1").arg(arg);
        if (equals >= 0) {
            options.values[name] = arg.mid(equals + 1);
        } else {
            if (i + 1 >= args.size())
                return QStringLiteral("--%1 に値がありません").arg(name);
            options.values[name] = args[++i];
        }
    }
    if (!options.Has("work"))
        return QStringLiteral("--work で工事コードを指定してください");
    if (!options.Has("type") || options.Value("type").trimmed().isEmpty())
        return QStringLiteral("--type で工種名を指定してください");
    if (options.Has("layout") && options.Value("layout") != QLatin1String("grid") &&
        options.Value("layout") != QLatin1String("logger"))
        return QStringLiteral("--layout は grid か logger です: %1").arg(options.Value("layout"));
    if (options.file.isEmpty())
        return QStringLiteral("読み込むファイルを指定してください");
    return QString();
}

bool IsRegisteredWork(const QString& code) {
    TKoji works;
    QStringList lines;
    works.ListWorks(lines);
    for (const QString& line : std::as_const(lines))
        if (CodePart(line).trimmed() == code.trimmed())
            return true;
    return false;
}

} // namespace

int RunImport(const QStringList& args) {
    ImportOptions options;
    const QString optionError = ReadOptions(args, options);
    if (!optionError.isEmpty()) {
        PrintError(optionError);
        return 2;
    }
    const QString work = options.Value("work");
    const QString type = options.Value("type");
    try {
        // The tables the window makes sure of when it starts.
        CheckMeasurementTables();
        if (work.trimmed().isEmpty() || !IsRegisteredWork(work)) {
            PrintError(QStringLiteral("工事コード %1 は登録されていません").arg(work));
            return 2;
        }

        // The readings first: a bad file changes nothing.
        TReadingsLayout layout = TReadingsLayout::Detect;
        if (options.Value("layout") == QLatin1String("grid"))
            layout = TReadingsLayout::Grid;
        else if (options.Value("layout") == QLatin1String("logger"))
            layout = TReadingsLayout::Logger;
        TGridData grid;
        try {
            ReadReadings(ReadTextFile(options.file), layout, grid);
        } catch (const EConvertError& e) {
            PrintError(QStringLiteral("%1: %2").arg(options.file, e.Message()));
            return 2;
        }

        // Choosing the work and the work type in the window.
        TRokumaKanri header;
        header.Koji->LoadByCode(work);
        header.Kosyu->FindByName(type);
        header.LoadByWork();
        if (header.ID != 0 && !options.replace) {
            PrintError(QStringLiteral("工事 %1 の工種 %2 の測定は既に登録されています"
                                      "（置き換えるには --replace）")
                           .arg(work, type));
            return 2;
        }
        if (header.GP.isEmpty())
            header.GP = QStringLiteral("10");

        // The boxes as the window shows the header, then what the options give.
        const std::pair<const char*, QString*> texts[] = {
            {"start", &header.STARTP},      {"end", &header.ENDP},
            {"distance", &header.KYORI},    {"instrument", &header.SOKUTEIKI},
            {"person", &header.SOKUTEISYA}, {"spec-range", &header.SIYOUSYO},
            {"group-size", &header.GP}};
        for (const auto& [option, field] : texts)
            if (options.Has(option))
                *field = options.Value(option);
        if (options.Has("date"))
            header.SOKUTEIBI = QDateTime(ParseShortDate(options.Value("date")), QTime(0, 0));
        else
            header.SOKUTEIBI = QDateTime(header.SOKUTEIBI.date(), QTime(0, 0));

        TMemoryCalcTarget boxes;
        struct Box {
            ResultBox box;
            QString* field;
        };
        const Box fields[] = {
            {ResultBox::Edit5, &header.SD},        {ResultBox::Edit6, &header.SD2},
            {ResultBox::Edit7, &header.DATACOUNT}, {ResultBox::Edit8, &header.HENSA},
            {ResultBox::Edit9, &header.HOSR},      {ResultBox::Edit10, &header.HODATACOUNT},
            {ResultBox::Edit11, &header.HOHENSA},  {ResultBox::Edit13, &header.GP}};
        for (const Box& f : fields)
            boxes.SetBoxText(f.box, *f.field);
        CalcReadings(grid, boxes);
        CalcRanges(grid, boxes);
        if (!boxes.Status().isEmpty())
            PrintError(boxes.Status());
        for (const Box& f : fields)
            *f.field = boxes.BoxText(f.box);

        try {
            SaveMeasurement(header, grid, options.replace);
        } catch (const ESaveConflict&) {
            // Stored by someone else since it was looked up above.
            PrintError(QStringLiteral("工事 %1 の工種 %2 の測定は既に登録されています"
                                      "（置き換えるには --replace）")
                           .arg(work, type));
            return 2;
        }
        // The results of what was stored: the stored grid read back and calculated as
        // "tavelon calc" calculates it.
        TGridData stored;
        LoadMeasurementGrid(header.ID, stored);
        TMemoryCalcTarget storedBoxes;
        storedBoxes.SetBoxText(ResultBox::Edit13, header.GP);
        CalcReadings(stored, storedBoxes);
        CalcRanges(stored, storedBoxes);
        PrintError(ReadCountsText(CountRead(stored)));
        PrintOut(ResultLines(storedBoxes));
        return 0;
    } catch (const TError& e) {
        PrintError(e.Message().replace(QLatin1Char('\n'), QLatin1Char(' ')));
        return 2;
    }
}

} // namespace tv::cli
