#include "measurement/Calc.h"

#include "measurement/GridLayout.h"
#include "platform/Errors.h"

#include <cmath>
#include <vector>

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

} // namespace

void CalcReadings(TGrid& grid, TCalcTarget& target) {
    const int rows = grid.MaxRows();

    // Used readings per visited line, counted again by the totals pass; the per-line pass writes
    // only the result columns, so the count stays valid.
    std::vector<int> used;
    used.reserve(static_cast<size_t>(rows));

    // Per line: sum, sum of squares, largest, smallest and range of the used readings.
    for (int r = 1; r <= rows; ++r) {
        float largest = -100.0f;
        float smallest = 100.0f;
        float sum = 0.0f;
        float squares = 0.0f;
        if (IsBlank(grid.GetCellText(kFirstReading, r)))
            break;
        int count = 0;
        for (int c = kFirstReading; c <= kLastReading; ++c) {
            grid.SetCol(c);
            grid.SetRow(r);
            if (grid.ForeColor() != kColorBlack)
                continue;
            const QString text = grid.Text();
            if (IsBlank(text))
                continue;
            ++count;
            const auto v = static_cast<float>(TextToFloat(text));
            Accumulate(sum, v);
            Accumulate(squares, static_cast<long double>(v) * static_cast<long double>(v));
            if (v > largest)
                largest = v;
            if (v < smallest)
                smallest = v;
        }
        grid.SetCellText(kColSum, r, FormatGeneral(sum));
        grid.SetCellText(kColSquares, r, FormatGeneral(squares));
        if (largest > -100.0f && smallest < 100.0f) {
            grid.SetCellText(kColLargest, r, FormatGeneral(largest));
            grid.SetCellText(kColSmallest, r, FormatGeneral(smallest));
            const long double range =
                static_cast<long double>(largest) - static_cast<long double>(smallest);
            grid.SetCellText(kColRange, r, FormatGeneral(static_cast<double>(range)));
        }
        used.push_back(count);
    }

    // Over the measurement, from the lines' shown sums.
    float total = 0.0f;
    float totalSquares = 0.0f;
    int n = 0;
    for (int r = 1; r <= rows; ++r) {
        const QString lineSum = grid.GetCellText(kColSum, r);
        if (IsBlank(lineSum))
            break;
        Accumulate(total, TextToFloat(lineSum));
        Accumulate(totalSquares, TextToFloat(grid.GetCellText(kColSquares, r)));
        if (r <= static_cast<int>(used.size())) {
            n += used[static_cast<size_t>(r - 1)];
            continue;
        }
        // A line below the first without readings that still shows earlier sums.
        for (int c = kFirstReading; c <= kLastReading; ++c) {
            grid.SetCol(c);
            grid.SetRow(r);
            if (!IsBlank(grid.Text()) && grid.ForeColor() == kColorBlack)
                ++n;
        }
    }
    target.SetBoxText(ResultBox::Edit5, FormatFixed(total, 1));
    target.SetBoxText(ResultBox::Edit6, FormatFixed(totalSquares, 2));
    target.SetBoxText(ResultBox::Edit7, QString::number(n));
    if (n > 1) {
        const long double sd = total;
        const long double variance =
            (static_cast<long double>(totalSquares) - sd * sd / n) / (n - 1);
        // Equal readings that are not exact in binary can leave a variance just below zero.
        const float sigma = variance > 0 ? static_cast<float>(std::sqrt(variance)) : 0.0f;
        target.SetBoxText(ResultBox::Edit8, FormatFixed(sigma, 2));
    }
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
            grid.SetCellText(kColRange, r, FormatFixed(range, grid::Decimals(kColRange)));
        }
        const QString range = grid.GetCellText(kColRange, r);
        if (IsBlank(range))
            break;
        ++k;
        Accumulate(sumRanges, TextToFloat(range));
    }

    float sigma = 0.0f;
    if (k > 0) {
        if (target.BoxText(ResultBox::Edit13).isEmpty())
            target.SetBoxText(ResultBox::Edit13, QStringLiteral("10"));
        const QString gp = target.BoxText(ResultBox::Edit13);
        target.SetGP(gp);
        int g = 0;
        if (!ParseWholeNumber(gp, g))
            throw EConvertError(QStringLiteral("'%1' は整数ではありません").arg(gp));
        const float d2 = RangeFactor(g);
        if (d2 == 0.0f) {
            // No range factor for this group size: show what can be known and say why σ is
            // missing, without interrupting the typing.
            target.SetBoxText(ResultBox::Edit9, FormatFixed(sumRanges, 1));
            target.SetBoxText(ResultBox::Edit10, QString::number(k));
            target.SetBoxText(ResultBox::Edit11, QString());
            target.ShowStatus(QStringLiteral("Ｇは 6～10 の整数で入力してください"));
            return;
        }
        const auto mean = static_cast<float>(static_cast<long double>(sumRanges) / k);
        sigma = static_cast<float>(static_cast<long double>(mean) / d2);
    }
    target.SetBoxText(ResultBox::Edit9, FormatFixed(sumRanges, 1));
    target.SetBoxText(ResultBox::Edit10, QString::number(k));
    target.SetBoxText(ResultBox::Edit11, FormatFixed(sigma, 2));
    target.ShowStatus(QString());
}

} // namespace tv
