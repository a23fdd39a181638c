#include "measurement/ReadingsFile.h"

#include "measurement/GridLayout.h"
#include "platform/Csv.h"
#include "platform/Errors.h"
#include "platform/GridBlock.h"

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

// A first record that has text where the layout has numbers.
bool IsHeader(const QStringList& fields, int firstNumber) {
    for (int j = firstNumber; j < fields.size(); ++j) {
        if (fields[j].trimmed().isEmpty())
            continue;
        if (!CellInput(j + 1, fields[j]))
            return true;
    }
    return false;
}

void ReadGridLayout(const std::vector<QStringList>& records, TGridData& grid) {
    std::vector<TBlockCell> cells;
    int row = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        const int record = static_cast<int>(i) + 1;
        const QStringList fields = Trimmed(records[i]);
        if (i == 0 && IsHeader(fields, 1))
            continue;
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

void ReadLoggerLayout(const std::vector<QStringList>& records, TGridData& grid) {
    std::vector<TBlockCell> cells;
    cells.reserve(records.size() + records.size() / grid::kReadingsPerLine + 1);
    int row = 0;
    int inLine = grid::kReadingsPerLine; // a full line: the first reading starts line 1
    QString position;
    bool havePosition = false;
    bool first = true;
    for (size_t i = 0; i < records.size(); ++i) {
        const int record = static_cast<int>(i) + 1;
        const QStringList fields = Trimmed(records[i]);
        if (fields.isEmpty())
            continue; // a blank line
        if (fields.size() > 2)
            Refuse(record, QStringLiteral("の項目数が 2 を超えています（ロガー形式は 測定位置 と "
                                          "測定値、または測定値だけです）"));
        const bool header = first && !CellInput(grid::kFirstReading, fields.back());
        first = false;
        if (header)
            continue;
        const QString& reading = fields.back();
        const QString place = fields.size() == 2 ? fields.front() : QString();
        if (!place.trimmed().isEmpty() && (!havePosition || place != position)) {
            QString why;
            if (!CellInput(grid::kPositionCol, place, &why))
                RefuseField(record, grid::kPositionCol, place, why);
            position = place;
            havePosition = true;
            ++row;
            inLine = 0;
            if (row <= TGridData::kRows)
                cells.push_back({grid::kPositionCol, row, TCellInput{place, kColorBlack}});
        } else if (inLine == grid::kReadingsPerLine) {
            ++row;
            inLine = 0;
        }
        if (row > TGridData::kRows)
            Refuse(record,
                   QStringLiteral("の測定値は %1 行の表に入りません").arg(TGridData::kRows));
        if (reading.trimmed().isEmpty())
            Refuse(record, QStringLiteral("に測定値がありません"));
        QString why;
        const std::optional<TCellInput> input = CellInput(grid::kFirstReading, reading, &why);
        if (!input)
            RefuseField(record, fields.size(), reading, why);
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
    return layout;
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
