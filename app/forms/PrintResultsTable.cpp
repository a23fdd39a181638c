#include "app/forms/PrintResultsTable.h"

#include "measurement/MeasurementReader.h"
#include "measurement/uRokuma.h"
#include "platform/GridLayout.h"
#include "platform/NumberText.h"
#include "printing/Primitives.h"

#include <cmath>
#include <utility>
#include <vector>

namespace tv {

namespace {

constexpr int kRowsPerColumn = 20;
constexpr int kColumns = 3;
constexpr int kRowsPerPage = kRowsPerColumn * kColumns;

// The "\\" that separates the lines of a two-line label.
QString LineBreak() {
    return QStringLiteral("\\\\");
}

// The figures of the group-range evaluation printed at the foot of every page.
struct TEvaluation {
    int g = 0;     // group size
    QString cText; // its range factor C, empty outside 6 .. 10
    QString rBar;  // mean range with two decimals; empty when there is no group count
    QString sigma; // R̄ / C with two decimals; empty when either cannot be formed
};

TEvaluation Evaluate(const TRokumaKanri& header) {
    TEvaluation e;
    const double gp = std::trunc(TextToFloat(header.GP));
    // Sizes far outside any group size cannot be converted to int safely; they have no C anyway.
    e.g = std::fabs(gp) < 1e6 ? int(gp) : 0;
    e.cText = RangeFactorText(e.g);
    const double count = TextToFloat(header.HODATACOUNT);
    if (count == 0)
        return e;
    const double rBar = TextToFloat(header.HOSR) / count;
    if (!std::isfinite(rBar))
        return e;
    e.rBar = FormatFixed(rBar, 2);
    const double c = TextToFloat(e.cText);
    if (c != 0)
        e.sigma = FormatFixed(rBar / c, 2);
    return e;
}

void SetMincho(TPrintCanvas* canvas, int size) {
    if (!canvas)
        return;
    canvas->SetFontName(QStringLiteral("ＭＳ 明朝"));
    canvas->SetFontSize(size);
}

void SetSize(TPrintCanvas* canvas, int size) {
    if (canvas)
        canvas->SetFontSize(size);
}

void SetItalic(TPrintCanvas* canvas, bool italic) {
    if (!canvas)
        return;
    TFontStyle style = canvas->FontStyle();
    style.italic = italic;
    canvas->SetFontStyle(style);
}

// The heads and outlines of one of the three group columns, starting at x.
void DrawColumnHead(TPrintCanvas* c, float x) {
    DrawFrame(c, x, 3.5f, x + 1.1f, 18.9f);
    DrawFrame(c, x + 2.8f, 3.5f, x + 4.9f, 18.9f);
    SetSize(c, 7);
    DrawTextBox(c, QStringLiteral("グループ") + LineBreak() + QStringLiteral("の番号"), baJustify,
                x + 0.05f, 3.5f, x + 1.05f, 4.43f);
    SetSize(c, 8);
    DrawTextBox(c, QStringLiteral("（Ｋ）"), baCenter, x + 0.05f, 4.43f, x + 1.05f, 4.9f);
    DrawTextBox(c, QStringLiteral("測定位置"), baJustifyInset, x + 1.1f, 3.5f, x + 2.8f, 4.9f);
    DrawTextBox(c, QStringLiteral("各グループ内") + LineBreak() + QStringLiteral("の範囲（Ｒ）"),
                baJustify, x + 2.9f, 3.5f, x + 4.8f, 4.9f);
}

// A fraction of two values, numerator in the upper and denominator in the lower half of the box,
// each centred on one line.
void DrawValueFraction(TPrintCanvas* c, const QString& numerator, const QString& denominator,
                       float L, float T, float R, float B) {
    const float h = (B - T) / 2;
    DrawValueBox(c, numerator, baCenter, L, T, R, T + h);
    DrawValueBox(c, denominator, baCenter, L, T + h, R, T + 2 * h);
}

// The group-range formulas: R̄ = ΣR / count and σ = R̄ / C with their figures.
// One line of a formula, 0.7 cm high from `top`: the fraction of its symbols, "=", the fraction of
// their values (between `valueLeft` and `valueRight`) and "= result" when there is a result.
void DrawFormulaLine(TPrintCanvas* c, float top, const QString& over, const QString& under,
                     const QString& valueOver, const QString& valueUnder, float valueLeft,
                     float valueRight, const QString& result) {
    const float bottom = top + 0.7f, middle = top + 0.35f;
    DrawTextBox(c, over + LineBreak() + under, baCenter, 6.1f, top, 6.75f, bottom);
    DrawStyledLine(c, 6.1f, middle, 6.8f, middle);
    DrawTextBox(c, QStringLiteral("="), baLeft, 6.85f, top, 7.1f, bottom);
    DrawValueFraction(c, valueOver, valueUnder, valueLeft, top, valueRight, bottom);
    DrawStyledLine(c, 7.15f, middle, 7.85f, middle);
    if (!result.isEmpty())
        DrawValueBox(c, QStringLiteral("= ") + result, baLeft, 7.9f, top, 10.0f, bottom);
}

void DrawFormulas(TPrintCanvas* c, const TRokumaKanri& header, const TEvaluation& e) {
    SetItalic(c, true);
    DrawTextBox(c, QStringLiteral("Ｒ="), baLeft, 5.4f, 20.0f, 15.1f, 20.7f);
    DrawTextBox(c, QStringLiteral("σ="), baLeft, 5.4f, 21.1f, 15.1f, 21.6f);
    SetItalic(c, false);
    DrawStyledLine(c, 5.55f, 20.15f, 5.75f, 20.15f);

    DrawFormulaLine(c, 20.0f, QStringLiteral("ΣＲ"), QStringLiteral("Ｒ"), header.HOSR,
                    header.HODATACOUNT, 7.0f, 8.0f, e.rBar);
    DrawFormulaLine(c, 20.9f, QStringLiteral("Ｒ"), QStringLiteral("Ｃ"), e.rBar, e.cText, 7.15f,
                    7.85f, e.sigma);
    DrawStyledLine(c, 6.3f, 20.9f, 6.55f, 20.9f); // the bar over Ｒ
}

// The table of C values with the group size in use circled.
void DrawFactorTable(TPrintCanvas* c, const TRokumaKanri& header, const TEvaluation& e) {
    DrawTextBox(c, QStringLiteral("Ｃの値"), baLeft, 11.0f, 19.35f, 12.0f, 19.8f);
    DrawFrame(c, 9.92f, 19.8f, 14.1f, 22.3f);
    DrawStyledLine(c, 13.05f, 19.8f, 13.05f, 22.3f);
    DrawValueBox(c, QStringLiteral("σ= ") + SiyousyoRangeText(header.SIYOUSYO), baLeft, 6.1f,
                 21.81f, 15.1f, 22.31f);
    static const QString sizes[] = {QStringLiteral("グループの大きさ"),
                                    QStringLiteral("６"),
                                    QStringLiteral("７"),
                                    QStringLiteral("８"),
                                    QStringLiteral("９"),
                                    QStringLiteral("10")};
    for (int q = 0; q <= 5; ++q) {
        const float y = 19.8f + 0.41f * q;
        DrawStyledLine(c, 9.92f, y, 14.1f, y);
        // Only a size that has a C value is circled; row 0 is the table's head.
        if (q >= 1 && q == e.g - 5)
            DrawCircle(c, 11.485f, y + 0.205f, 0.205f);
        DrawTextBox(c, sizes[q], baCenter, 9.92f, y, 13.05f, y + 0.41f);
        DrawTextBox(c, q == 0 ? QStringLiteral("Ｃ") : RangeFactorText(q + 5), baCenter, 13.05f, y,
                    14.1f, y + 0.41f);
    }
}

// Everything of a page but its group lines.
void DrawPageForm(TPrintCanvas* c, const TRokumaKanri& header, const TEvaluation& e) {
    SetPenWidthMm(c, 0.3f);
    DrawFrame(c, 0, 0, 15.4f, 23.2f);
    SetPenWidthMm(c, 0.2f);
    DrawFrame(c, 0.35f, 3.5f, 15.05f, 22.7f);
    SetSize(c, 16);
    DrawTextBox(c, QStringLiteral("舗装表層の平たん度出来形測定結果一覧表"), baCenter, 2.15f, 1.0f,
                13.3f, 1.5f);

    // Signature line of the measuring person with the seal circle.
    SetSize(c, 10);
    DrawTextBox(c, QStringLiteral("測定者"), baJustify, 8.4f, 2.15f, 9.7f, 2.6f);
    DrawValueBox(c, header.SOKUTEISYA, baJustify, 10.5f, 2.15f, 13.7f, 2.6f);
    DrawStyledLine(c, 8.4f, 2.6f, 14.8f, 2.6f);
    DrawCircle(c, 14.6f, 2.375f, 0.2f);
    SetPenWidthMm(c, 0.1f);
    SetSize(c, 8);
    DrawTextBox(c, QStringLiteral("印"), baCenter, 14.4f, 2.15f, 14.8f, 2.6f);

    SetSize(c, 11);
    for (int n = 0; n < kColumns; ++n)
        DrawColumnHead(c, 0.35f + 4.9f * n);
    for (int r = 0; r <= kRowsPerColumn; ++r)
        DrawStyledLine(c, 0.35f, 4.9f + 0.7f * r, 15.05f, 4.9f + 0.7f * r);

    // The evaluation at the foot.
    DrawStyledLine(c, 1.45f, 18.9f, 1.45f, 22.7f);
    SetSize(c, 9);
    DrawBoxText(c, QStringLiteral("記事"), baJustifyInset, 2.05f, 19.2f, 2.9f, 21.3f, 1);
    const QString rows[] = {QStringLiteral("グループの大きさ　") + header.GP,
                            QStringLiteral("範囲の平均"), QStringLiteral("標準偏差"),
                            QStringLiteral("仕様書の範囲")};
    for (int j = 0; j <= 3; ++j) {
        const float y = 19.01f + 0.9f * j;
        // The first row ends in the stored group size.
        DrawValueBox(c, rows[j], baLeft, 3.4f, y, 15.1f, y + 0.9f);
    }
    DrawFormulas(c, header, e);
    DrawFactorTable(c, header, e);
    SetSize(c, 11);
}

} // namespace

QString SiyousyoRangeText(const QString& text) {
    if (text.startsWith(QLatin1Char('_')))
        return text.mid(1) + QStringLiteral("以下");
    return text;
}

QString RangeFactorText(int g) {
    switch (g) {
    case 6:
        return QStringLiteral("2.53");
    case 7:
        return QStringLiteral("2.70");
    case 8:
        return QStringLiteral("2.85");
    case 9:
        return QStringLiteral("2.97");
    case 10:
        return QStringLiteral("3.08");
    default:
        return QString();
    }
}

int PrintResultsTable(TPageTarget& target, TRokumaKanri& header) {
    PageShiftX = -2.8f;
    PageShiftY = -3.05f;
    // The groups: the stored lines with a range. A line of a position alone, or of one reading,
    // is no group.
    std::vector<TStoredLine> lines;
    for (TStoredLine& line : ReadStoredMeasurement(header.ID).Lines)
        if (!line.K[grid::kColRange - grid::kFirstResult].trimmed().isEmpty())
            lines.push_back(std::move(line));
    const int count = static_cast<int>(lines.size());
    const TEvaluation evaluation = Evaluate(header);
    int k = 1; // number of the next group, by its place in the line order
    SetMincho(target.Canvas(), 11);
    while (k <= count) {
        if (k > 1) {
            target.NewPage();
            SetMincho(target.Canvas(), 11);
        }
        TPrintCanvas* c = target.Canvas();
        const int s = k;
        DrawPageForm(c, header, evaluation);
        for (int n = 0; n < kColumns && k <= count; ++n) {
            const float x = 0.35f + 4.9f * n;
            for (int r = 0; r < kRowsPerColumn && k <= count; ++r) {
                const float y = 4.9f + 0.7f * r;
                const TStoredLine& line = lines[static_cast<size_t>(k - 1)];
                DrawValueBox(c, QString::number(s + kRowsPerColumn * n + r), baCenter, x, y,
                             x + 1.1f, y + 0.7f);
                // The measuring position and the line's range Ｒ.
                DrawValueBox(c, line.SOKUTEN, baCenter, x + 1.1f, y, x + 2.8f, y + 0.7f);
                DrawValueBox(c, line.K[grid::kColRange - grid::kFirstResult], baRight, x + 2.8f, y,
                             x + 4.8f, y + 0.7f);
                ++k;
            }
        }
    }
    return (k - 1 + kRowsPerPage - 1) / kRowsPerPage;
}

} // namespace tv
