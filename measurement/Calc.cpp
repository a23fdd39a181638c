#include "measurement/Calc.h"

#include "platform/Errors.h"
#include "platform/GridLayout.h"

#include <cmath>

namespace tv {

namespace {

using grid::kColLargest;
using grid::kColRange;
using grid::kColSmallest;
using grid::kColSquares;
using grid::kColSum;
using grid::kFirstReading;
using grid::kLastReading;

// Sums are kept in single precision: every addition is done wide and rounded when stored.
inline void Accumulate(float& total, long double addend) {
    total = static_cast<float>(static_cast<long double>(total) + addend);
}

// True when the text, trimmed of blanks, is empty.
bool IsBlank(const QString& text) {
    for (const QChar ch : text)
        if (!ch.isSpace())
            return false;
    return true;
}

// Empties a cell that holds text; an empty cell is left alone, so a recalculation of a mostly
// empty grid writes little.
void ClearCell(TGrid& grid, int col, int row) {
    if (!grid.GetCellText(col, row).isEmpty())
        grid.SetCellText(col, row, QString());
}

// Empties a cell holding a result of an earlier calculation; what the user typed stays.
void ClearComputed(TGrid& grid, int col, int row) {
    grid.SetCol(col);
    grid.SetRow(row);
    if (grid.IsResultText() && !grid.Text().isEmpty())
        grid.SetText(QString());
}

void SetResult(TGrid& grid, int col, int row, const QString& text) {
    grid.SetCol(col);
    grid.SetRow(row);
    grid.SetResultText(text);
}

// Range factor d2 of the group-range method for group size g; 0 outside the table.
float RangeFactor(int g) {
    switch (g) {
    case 6:
        return 2.53f;
    case 7:
        return 2.70f;
    case 8:
        return 2.85f;
    case 9:
        return 2.97f;
    case 10:
        return 3.08f;
    default:
        return 0.0f;
    }
}

// A whole number as typed: optional sign and digits, nothing else.
bool ParseWholeNumber(const QString& text, int& value) {
    if (text.isEmpty())
        return false;
    int i = 0;
    if (text[0] == QLatin1Char('+') || text[0] == QLatin1Char('-'))
        i = 1;
    if (i == text.size())
        return false;
    for (int j = i; j < text.size(); ++j) {
        const char16_t u = text[j].unicode();
        if (u < '0' || u > '9')
            return false;
    }
    bool ok = false;
    value = text.toInt(&ok);
    return ok;
}

// The results of one line of readings.
struct LineResult {
    bool hasReadings = false; // some reading cell holds text, used or excluded
    int used = 0;
    float sum = 0.0f;
    float squares = 0.0f;
    float largest = 0.0f;
    float smallest = 0.0f;
};

LineResult ReadLine(TGrid& grid, int row) {
    LineResult line;
    for (int c = kFirstReading; c <= kLastReading; ++c) {
        grid.SetCol(c);
        grid.SetRow(row);
        const QString text = grid.Text();
        if (IsBlank(text))
            continue;
        line.hasReadings = true;
        if (grid.ForeColor() != kColorBlack)
            continue;
        const auto v = static_cast<float>(TextToFloat(text));
        Accumulate(line.sum, v);
        Accumulate(line.squares, static_cast<long double>(v) * static_cast<long double>(v));
        if (line.used == 0 || v > line.largest)
            line.largest = v;
        if (line.used == 0 || v < line.smallest)
            line.smallest = v;
        ++line.used;
    }
    return line;
}

// Writes a line's results into columns 12 to 16. A line without readings keeps what was typed
// into 最大, 最小 and Ｒ (a group entered directly) and has no sums; what an earlier calculation
// wrote there goes with the readings it came from.
void WriteLine(TGrid& grid, int row, const LineResult& line) {
    if (!line.hasReadings) {
        ClearCell(grid, kColSum, row);
        ClearCell(grid, kColSquares, row);
        for (int c = kColLargest; c <= kColRange; ++c)
            ClearComputed(grid, c, row);
        return;
    }
    SetResult(grid, kColSum, row, FormatGeneral(line.sum));
    SetResult(grid, kColSquares, row, FormatGeneral(line.squares));
    if (line.used < 2) {
        // One value has no range.
        ClearCell(grid, kColLargest, row);
        ClearCell(grid, kColSmallest, row);
        ClearCell(grid, kColRange, row);
        return;
    }
    SetResult(grid, kColLargest, row, FormatGeneral(line.largest));
    SetResult(grid, kColSmallest, row, FormatGeneral(line.smallest));
    const long double range =
        static_cast<long double>(line.largest) - static_cast<long double>(line.smallest);
    SetResult(grid, kColRange, row, FormatGeneral(static_cast<double>(range)));
}

} // namespace

void CalcReadings(TGrid& grid, TCalcTarget& target) {
    const int rows = grid.MaxRows();
    float total = 0.0f;
    float totalSquares = 0.0f;
    int n = 0;
    for (int r = 1; r <= rows; ++r) {
        const LineResult line = ReadLine(grid, r);
        WriteLine(grid, r, line);
        if (!line.hasReadings)
            continue;
        Accumulate(total, line.sum);
        Accumulate(totalSquares, line.squares);
        n += line.used;
    }
    target.SetBoxText(ResultBox::Edit5, FormatFixed(total, 1));
    target.SetBoxText(ResultBox::Edit6, FormatFixed(totalSquares, 2));
    target.SetBoxText(ResultBox::Edit7, QString::number(n));
    if (n <= 1) {
        // One reading or none has no standard deviation.
        target.SetBoxText(ResultBox::Edit8, QString());
        return;
    }
    const long double sd = total;
    const long double variance = (static_cast<long double>(totalSquares) - sd * sd / n) / (n - 1);
    // Equal readings that are not exact in binary can leave a variance just below zero.
    const float sigma = variance > 0 ? static_cast<float>(std::sqrt(variance)) : 0.0f;
    target.SetBoxText(ResultBox::Edit8, FormatFixed(sigma, 2));
}

void CalcRanges(TGrid& grid, TCalcTarget& target) {
    const int rows = grid.MaxRows();
    float sumRanges = 0.0f;
    int k = 0;
    for (int r = 1; r <= rows; ++r) {
        const QString largest = grid.GetCellText(kColLargest, r);
        const QString smallest = grid.GetCellText(kColSmallest, r);
        if (!largest.isEmpty() && !smallest.isEmpty()) {
            const auto range = static_cast<float>(static_cast<long double>(TextToFloat(largest)) -
                                                  TextToFloat(smallest));
            SetResult(grid, kColRange, r, FormatFixed(range, grid::Decimals(kColRange)));
        }
        const QString range = grid.GetCellText(kColRange, r);
        if (IsBlank(range))
            continue; // a line without a group
        ++k;
        Accumulate(sumRanges, TextToFloat(range));
    }
    target.SetBoxText(ResultBox::Edit9, FormatFixed(sumRanges, 1));
    target.SetBoxText(ResultBox::Edit10, QString::number(k));
    if (k == 0) {
        // No group, no σ of the range method.
        target.SetBoxText(ResultBox::Edit11, QString());
        target.ShowStatus(QString());
        return;
    }
    if (target.BoxText(ResultBox::Edit13).isEmpty())
        target.SetBoxText(ResultBox::Edit13, QStringLiteral("10"));
    const QString gp = target.BoxText(ResultBox::Edit13);
    target.SetGP(gp);
    int g = 0;
    const bool whole = ParseWholeNumber(gp, g);
    const float d2 = whole ? RangeFactor(g) : 0.0f;
    if (d2 == 0.0f) {
        // No range factor for this group size: σ stays empty rather than a value of other
        // readings or of another Ｇ.
        target.SetBoxText(ResultBox::Edit11, QString());
        if (!whole)
            throw EConvertError(QStringLiteral("'%1' は整数ではありません").arg(gp));
        target.ShowStatus(QStringLiteral("Ｇは 6～10 の整数で入力してください"));
        return;
    }
    const auto mean = static_cast<float>(static_cast<long double>(sumRanges) / k);
    const auto sigma = static_cast<float>(static_cast<long double>(mean) / d2);
    target.SetBoxText(ResultBox::Edit11, FormatFixed(sigma, 2));
    target.ShowStatus(QString());
}

} // namespace tv
