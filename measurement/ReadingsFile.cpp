#include "measurement/ReadingsFile.h"

#include "platform/Csv.h"
#include "platform/Errors.h"
#include "platform/GridBlock.h"
#include "platform/GridLayout.h"
#include "platform/NumberText.h"

#include <QFile>

namespace tv {

namespace {

// The fields of a record without the empty fields at its end (spreadsheets pad short rows).
QStringList Trimmed(const QStringList& record) {
    QStringList fields = record;
    while (!fields.isEmpty() && fields.back().trimmed().isEmpty())
        fields.removeLast();
    return fields;
}

[[noreturn]] void Refuse(int record, const QString& message) {
    throw EConvertError(QStringLiteral("%1 行目%2").arg(record).arg(message));
}

[[noreturn]] void RefuseField(int record, int col, const QString& field, const QString& why) {
    throw EConvertError(
        QStringLiteral("%1 行目 %2 列目 '%3' %4").arg(record).arg(col).arg(field, why));
}

// A field that is a number as a cell of the column would take it.
bool IsNumberField(int col, const QString& field) {
    return !field.trimmed().isEmpty() && CellInput(col, field).has_value();
}

// A first record of the grid layout is a header when its reading fields hold text and no
// number, or are exactly the ten column numbers 1 to 10 (ASCII or full-width, as the grid's own
// column headers and the Excel sheet of the program write them; readings 1, 2, 3 are readings).
// Any other record is data, and a field in it that is no number is an error. A first line
// without readings (a blank line, a position alone) is a line of the grid.
bool IsGridHeader(const QStringList& fields) {
    int texts = 0, numbers = 0, columnNumbers = 0;
    for (int j = 1; j < fields.size() && j <= grid::kReadingsPerLine; ++j) {
        const QString field = fields[j].trimmed();
        if (field.isEmpty())
            continue;
        if (!IsNumberField(grid::kFirstReading, field))
            ++texts;
        else if (NarrowNumberText(field).trimmed() == QString::number(j))
            ++columnNumbers;
        else
            ++numbers;
    }
    if (columnNumbers == grid::kReadingsPerLine)
        return true;
    return texts > 0 && numbers == 0 && columnNumbers == 0;
}

void ReadGridLayout(const std::vector<QStringList>& records, TGridData& grid) {
    std::vector<TBlockCell> cells;
    int row = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        const int record = static_cast<int>(i) + 1;
        const QStringList fields = Trimmed(records[i]);
        if (i == 0 && IsGridHeader(fields))
            continue;
        // A blank line is an empty line of the grid; the lines after it follow on.
        ++row;
        if (fields.size() > TGridData::kColumns)
            Refuse(record, QStringLiteral("の項目数が %1 を超えています（%2 項目）")
                               .arg(TGridData::kColumns)
                               .arg(fields.size()));
        if (fields.isEmpty())
            continue;
        if (row > TGridData::kRows)
            Refuse(record, QStringLiteral("は %1 行の表に入りません").arg(TGridData::kRows));
        for (int j = 0; j < fields.size(); ++j) {
            QString why;
            const std::optional<TCellInput> input = CellInput(j + 1, fields[j], &why);
            if (!input)
                RefuseField(record, j + 1, fields[j], why);
            cells.push_back({j + 1, row, *input});
        }
    }
    WriteBlock(grid, cells);
}

// A logger record: its position (empty when it has none) and its reading.
struct LoggerRecord {
    int record = 0;
    QString position;
    QString reading;
};

// The records of a logger file, blank lines and a header left out.
std::vector<LoggerRecord> LoggerRecords(const std::vector<QStringList>& records) {
    std::vector<LoggerRecord> out;
    out.reserve(records.size());
    bool first = true;
    for (size_t i = 0; i < records.size(); ++i) {
        const int record = static_cast<int>(i) + 1;
        const QStringList fields = Trimmed(records[i]);
        if (fields.isEmpty())
            continue; // a blank line
        if (fields.size() > 2)
            Refuse(record, QStringLiteral("の項目数が 2 を超えています（ロガー形式は 測定位置 と "
                                          "測定値、または測定値だけです）"));
        const bool header = first && !IsNumberField(grid::kFirstReading, fields.back());
        first = false;
        if (header)
            continue;
        out.push_back({record, fields.size() == 2 ? fields.front() : QString(), fields.back()});
    }
    return out;
}

// True when a logger stamps every reading with a position of its own (its distance): no two
// consecutive records share a position, and every record has one.
bool EveryReadingStamped(const std::vector<LoggerRecord>& records) {
    if (records.size() < 2)
        return false;
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].position.trimmed().isEmpty())
            return false;
        if (i > 0 && records[i].position == records[i - 1].position)
            return false;
    }
    return true;
}

void ReadLoggerLayout(const std::vector<QStringList>& text, TGridData& grid) {
    const std::vector<LoggerRecord> records = LoggerRecords(text);
    // Readings each stamped with its own distance fill lines of ten in order, each line at the
    // position of its first reading; otherwise a position labels the line of its readings.
    const bool stamped = EveryReadingStamped(records);
    std::vector<TBlockCell> cells;
    cells.reserve(records.size() + records.size() / grid::kReadingsPerLine + 1);
    int row = 0;
    int inLine = grid::kReadingsPerLine; // a full line: the first reading starts line 1
    QString position;
    bool havePosition = false;
    for (const LoggerRecord& r : records) {
        const QString& place = r.position;
        const bool newLabel =
            !stamped && !place.trimmed().isEmpty() && (!havePosition || place != position);
        if (newLabel || inLine == grid::kReadingsPerLine) {
            ++row;
            inLine = 0;
            if (row > TGridData::kRows)
                Refuse(r.record,
                       QStringLiteral("の測定値は %1 行の表に入りません").arg(TGridData::kRows));
            if (!place.trimmed().isEmpty() && (newLabel || stamped)) {
                QString why;
                if (!CellInput(grid::kPositionCol, place, &why))
                    RefuseField(r.record, grid::kPositionCol, place, why);
                cells.push_back({grid::kPositionCol, row, TCellInput{place, kColorBlack}});
            }
        }
        if (!place.trimmed().isEmpty()) {
            position = place;
            havePosition = true;
        }
        if (r.reading.trimmed().isEmpty())
            Refuse(r.record, QStringLiteral("に測定値がありません"));
        QString why;
        const std::optional<TCellInput> input = CellInput(grid::kFirstReading, r.reading, &why);
        if (!input)
            RefuseField(r.record, place.isEmpty() ? 1 : 2, r.reading, why);
        cells.push_back({grid::kFirstReading + inLine, row, *input});
        ++inLine;
    }
    WriteBlock(grid, cells);
}

TReadingsLayout DetectLayout(const std::vector<QStringList>& records) {
    for (const QStringList& record : records)
        if (Trimmed(record).size() > 2)
            return TReadingsLayout::Grid;
    return TReadingsLayout::Logger;
}

} // namespace

QString ReadTextFile(const QString& path) {
    QFile file(path);
    if (!file.exists())
        throw TError(QStringLiteral("%1: ファイルがありません").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        throw TError(QStringLiteral("%1: ファイルを読み込めません").arg(path));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw TError(QStringLiteral("%1: ファイルを読み込めません").arg(path));
    const std::optional<QString> text = DecodeText(bytes);
    if (!text)
        throw TError(
            QStringLiteral("%1: UTF-8 でも Shift-JIS でもない文字が含まれています").arg(path));
    return *text;
}

TReadingsLayout ReadReadings(const QString& text, TReadingsLayout layout, TGridData& grid) {
    const CsvRecords csv = ParseCsv(text, GuessSeparator(text));
    if (csv.openQuoteRecord > 0)
        Refuse(csv.openQuoteRecord, QStringLiteral("の引用符が閉じていません"));
    if (layout == TReadingsLayout::Detect)
        layout = DetectLayout(csv.records);
    if (layout == TReadingsLayout::Grid)
        ReadGridLayout(csv.records, grid);
    else
        ReadLoggerLayout(csv.records, grid);
    if (!HoldsMeasurement(grid))
        throw EConvertError(QStringLiteral("測定値がありません（読み込むものがありません）"));
    return layout;
}

bool HoldsMeasurement(const TGridData& grid) {
    for (int r = 1; r <= grid.MaxRows(); ++r) {
        for (int c = grid::kFirstReading; c <= grid::kColumns; ++c) {
            if (c == grid::kColSum || c == grid::kColSquares)
                continue;
            if (!grid.CellText(c, r).trimmed().isEmpty())
                return true;
        }
    }
    return false;
}

TReadCounts CountRead(const TGridData& grid) {
    TReadCounts counts;
    for (int r = 1; r <= grid.MaxRows(); ++r) {
        bool line = false;
        for (int c = 1; c <= grid::kColumns; ++c) {
            if (grid.CellText(c, r).trimmed().isEmpty())
                continue;
            if (grid::IsReading(c))
                ++counts.readings;
            if (c != grid::kColSum && c != grid::kColSquares)
                line = true;
        }
        if (line)
            ++counts.lines;
        if (!grid.CellText(grid::kColRange, r).trimmed().isEmpty())
            ++counts.groups;
    }
    return counts;
}

QString ReadCountsText(const TReadCounts& counts) {
    return QStringLiteral("測定値 %1 個（%2 行、%3 群）を読み込みました")
        .arg(counts.readings)
        .arg(counts.lines)
        .arg(counts.groups);
}

int LastFilledRow(const TGridData& grid) {
    for (int r = grid.MaxRows(); r >= 1; --r)
        for (int c = 1; c <= TGridData::kColumns; ++c)
            if (!grid.CellText(c, r).isEmpty())
                return r;
    return 0;
}

bool HasReadings(const TGridData& grid) {
    return LastFilledRow(grid) > 0;
}

QString GridLayoutCsv(const TGridData& grid, int lastRow) {
    QString out;
    for (int r = 1; r <= lastRow && r <= grid.MaxRows(); ++r) {
        for (int c = 1; c <= TGridData::kColumns; ++c) {
            if (c > 1)
                out += QLatin1Char(',');
            out += CsvField(MarkedCellText(grid, c, r));
        }
        out += QLatin1Char('\n');
    }
    return out;
}

} // namespace tv
