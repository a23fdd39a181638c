#include "app/forms/PrintTestReportSheet.h"

#include "measurement/MeasurementReader.h"
#include "measurement/uRokuma.h"
#include "platform/NumberText.h"
#include "printing/PageTarget.h"
#include "printing/Primitives.h"
#include "registers/uKoji.h"

#include <vector>

namespace tv {

namespace {

constexpr int kReadingsPerSheet = 100;
constexpr int kBlocks = 10;
constexpr int kRowsPerBlock = 10;

QString Mincho() {
    return QStringLiteral("ＭＳ 明朝");
}

float BlockX(int block) {
    return float(block / 2) * 3.16f;
}

float BlockY(int block) {
    return float(block % 2) * 6.5f + 5.4f;
}

// One block's frame, headings and row numbers; `first` is the number of its first row.
void DrawBlockForm(TPrintCanvas* c, float x0, float y0, int first) {
    c->SetFontSize(10);
    SetPenWidthMm(c, 0.2f);
    DrawFrame(c, x0, y0, x0 + 3.16f, y0 + 6.5f);
    SetPenWidthMm(c, 0.1f);
    for (int i = 1; i <= 11; ++i)
        DrawStyledLine(c, x0, y0 + 0.5f * float(i), x0 + 3.16f, y0 + 0.5f * float(i));
    for (int i = 1; i <= kRowsPerBlock; ++i) {
        const float y = y0 + 0.5f * float(i);
        DrawValueBox(c, QString::number(first + i - 1), baRight, x0, y, x0 + 1.0f, y + 0.5f);
    }
    DrawFrame(c, x0 + 1.1f, y0, x0 + 2.1f, y0 + 6.5f);
    DrawTextBox(c, QStringLiteral("№"), baCenter, x0, y0, x0 + 1.1f, y0 + 0.5f);
    DrawTextBox(c, QStringLiteral("ｄ"), baCenter, x0 + 1.1f, y0, x0 + 2.1f, y0 + 0.5f);
    // d² heading: "ｄ" ending just before a small raised "２".
    DrawTextBox(c, QStringLiteral("ｄ"), baRight, x0, y0, x0 + 2.68f, y0 + 0.5f);
    c->SetFontSize(5);
    DrawTextBox(c, QStringLiteral("２"), baLeft, x0 + 2.63f, y0, x0 + 3.16f, y0 + 0.25f);
    c->SetFontSize(11);
    DrawTextBox(c, QStringLiteral("計"), baCenter, x0, y0 + 5.5f, x0 + 1.1f, y0 + 6.5f);
    DrawTextBox(c, QStringLiteral("①"), baLeft, x0 + 1.2f, y0 + 5.5f, x0 + 2.0f, y0 + 6.0f);
    DrawTextBox(c, QStringLiteral("②"), baLeft, x0 + 2.1f, y0 + 5.5f, x0 + 3.16f, y0 + 6.0f);
}

// The printed form of a sheet whose first reading is number `first`: sheet `sheet` of `sheets`.
// Rows of the totals area, 0.5 cm high from its top: a number centred, then its name and its unit
// from the left, each between the left and right edges (cm) of its column in `edges`.
template <std::size_t Rows>
void DrawTotalsRows(TPrintCanvas* c, const QString (&rows)[Rows][3], const float (&edges)[6]) {
    for (std::size_t j = 0; j < Rows; ++j) {
        const float y = 18.4f + 0.5f * float(j);
        DrawTextBox(c, rows[j][0], baCenter, edges[0], y, edges[1], y + 0.5f);
        DrawTextBox(c, rows[j][1], baLeft, edges[2], y, edges[3], y + 0.5f);
        DrawTextBox(c, rows[j][2], baLeft, edges[4], y, edges[5], y + 0.5f);
    }
}

void DrawSheetForm(TPrintCanvas* c, const TRokumaKanri& header, int first, int sheet, int sheets) {
    c->SetFontSize(11);
    SetPenWidthMm(c, 0.3f);
    DrawFrame(c, 0, 1.5f, 15.8f, 24.3f);
    SetPenWidthMm(c, 0.1f);
    DrawFrame(c, 2.22f, 1.5f, 13.6f, 2.5f);
    DrawTextBox(c, QStringLiteral("舗装路面の平坦性測定"), baJustify, 5.12f, 1.5f, 10.7f, 2.5f);
    DrawStyledLine(c, 0, 2.5f, 15.8f, 2.5f);
    // "\\" (two backslashes) separates the two lines of the label.
    DrawTextBox(c, QStringLiteral("試験\\\\報告"), baJustifyInset, 13.6f, 1.5f, 14.65f, 2.5f);
    DrawTextBox(c, QStringLiteral("用紙"), baJustifyInset, 14.65f, 1.5f, 15.8f, 2.5f);

    const QString leftRows[5][2] = {
        {QStringLiteral("調査・工事名"), header.Koji->Kojimei},
        {QStringLiteral("測定開始点"), header.STARTP},
        {QStringLiteral("測定終了点"), header.ENDP},
        {QStringLiteral("測定距離"), header.KYORI},
        {QStringLiteral("シート番号"), QString::number(sheets) + QStringLiteral(" 枚中の ") +
                                           QString::number(sheet) + QStringLiteral(" 枚目")},
    };
    for (int j = 0; j < 5; ++j) {
        const float y = 2.7f + 0.5f * float(j);
        DrawTextBox(c, leftRows[j][0], baJustify, 0.5f, y, 3.0f, y + 0.5f);
        DrawValueBox(c, leftRows[j][1], baLeft, 3.5f, y, 15.5f, y + 0.5f);
    }
    const QString rightRows[3][2] = {
        {QStringLiteral("測定日"), FormatEraDate(header.SOKUTEIBI.date())},
        {QStringLiteral("測定器"), header.SOKUTEIKI},
        {QStringLiteral("測定者"), header.SOKUTEISYA},
    };
    for (int j = 0; j < 3; ++j) {
        const float y = 3.2f + 0.5f * float(j);
        DrawTextBox(c, rightRows[j][0], baJustify, 8.5f, y, 9.9f, y + 0.5f);
        DrawValueBox(c, rightRows[j][1], baLeft, 10.4f, y, 15.5f, y + 0.5f);
    }
    DrawStyledLine(c, 0, 5.4f, 15.8f, 5.4f);

    for (int b = 0; b < kBlocks; ++b)
        DrawBlockForm(c, BlockX(b), BlockY(b), first + kRowsPerBlock * b);

    // Totals area: the sheet's sums on the left, the totals over all sheets on the right.
    for (int j = 0; j < 5; ++j)
        DrawStyledLine(c, 0, 18.4f + 0.5f * float(j), 15.8f, 18.4f + 0.5f * float(j));
    DrawStyledLine(c, 1.1f, 18.4f, 1.1f, 20.4f);
    // The blank after "㎜" and after "⑥" leaves room for the raised "２" drawn below.
    const QString sheetRows[4][3] = {
        {QStringLiteral("③"), QStringLiteral("Σ①"), QStringLiteral("(㎜)")},
        {QStringLiteral("④"), QStringLiteral("Σ②"), QStringLiteral("(㎜ )")},
        {QStringLiteral("⑤"), QStringLiteral("データ数"), QString()},
        {QStringLiteral("⑨"), QStringLiteral("標準偏差"),
         QStringLiteral("√（⑦－⑥ ／⑧）／（⑧－１）　(㎜)")},
    };
    DrawTotalsRows(c, sheetRows, {0, 1.1f, 1.2f, 2.9f, 3.0f, 12.64f});
    DrawStyledLine(c, 4.26f, 18.4f, 4.26f, 19.9f);
    DrawFrame(c, 7.42f, 18.4f, 8.32f, 19.9f);
    const QString totalRows[3][3] = {
        {QStringLiteral("⑥"), QStringLiteral("各シートのΣ③"), QStringLiteral("(㎜)")},
        {QStringLiteral("⑦"), QStringLiteral("各シートのΣ④"), QStringLiteral("(㎜ )")},
        {QStringLiteral("⑧"), QStringLiteral("各シートのΣ⑤"), QString()},
    };
    DrawTotalsRows(c, totalRows, {7.45f, 8.35f, 8.45f, 11.5f, 11.5f, 12.5f});
    DrawStyledLine(c, 12.64f, 18.4f, 12.64f, 20.4f);
    c->SetFontSize(5);
    DrawTextBox(c, QStringLiteral("２"), baCenter, 3.55f, 18.9f, 3.75f, 19.2f);
    DrawTextBox(c, QStringLiteral("２"), baCenter, 12.05f, 18.9f, 12.25f, 19.2f);
    DrawTextBox(c, QStringLiteral("２"), baCenter, 4.95f, 19.9f, 5.15f, 20.2f);
    c->SetFontSize(11);
    DrawTextBox(c, QStringLiteral("\"*\"印のデータは計算から除外"), baLeft, 0.5f, 23.8f, 15.8f,
                24.3f);
}

} // namespace

QString FormatEraDate(const QDate& date) {
    if (!date.isValid())
        return QString();
    // First days of the eras of the Japanese calendar, newest first.
    struct TEra {
        int year, month, day;
        const char16_t* name;
    };
    static const TEra kEras[] = {
        {2019, 5, 1, u"令和"},  {1989, 1, 8, u"平成"}, {1926, 12, 25, u"昭和"},
        {1912, 7, 30, u"大正"}, {1868, 1, 1, u"明治"},
    };
    QString era;
    int year = date.year();
    for (const TEra& e : kEras) {
        if (date >= QDate(e.year, e.month, e.day)) {
            era = QString::fromUtf16(e.name);
            year = date.year() - e.year + 1;
            break;
        }
    }
    return era + QString::number(year) + QStringLiteral("年") + QString::number(date.month()) +
           QStringLiteral("月") + QString::number(date.day()) + QStringLiteral("日");
}

int PrintTestReportSheet(TPageTarget& target, TRokumaKanri& header) {
    PageShiftX = -2.6f;
    PageShiftY = -2.7f;
    // The readings in point order.
    const std::vector<TStoredPoint> readings = ReadStoredMeasurement(header.ID).Points;
    const int count = int(readings.size());
    const int sheets = (count + kReadingsPerSheet - 1) / kReadingsPerSheet;

    int k = 1; // number of the next reading, from 1
    while (k <= count) {
        const int first = k;
        const int sheet = (first - 1) / kReadingsPerSheet + 1;
        if (k > 1)
            target.NewPage();
        TPrintCanvas* c = target.Canvas();
        if (!c)
            return 0; // no document is being recorded
        c->SetFontName(Mincho());
        DrawSheetForm(c, header, first, sheet, sheets);

        c->SetFontSize(9);
        // Sums are single-precision accumulators; each square is formed in double precision.
        float sheetSum = 0, sheetSquares = 0;
        int used = 0;
        for (int b = 0; b < kBlocks && k <= count; ++b) {
            const float x0 = BlockX(b);
            const float y0 = BlockY(b);
            float blockSum = 0, blockSquares = 0;
            float y = y0 + 0.5f;
            for (int i = 0; i < kRowsPerBlock && k <= count; ++i) {
                const TStoredPoint& r = readings[std::size_t(k - 1)];
                const double square = r.DATA * r.DATA;
                if (!r.U) {
                    DrawTextBox(c, QStringLiteral("*"), baCenter, x0, y, x0 + 0.25f, y + 0.5f);
                } else {
                    blockSum = float(blockSum + r.DATA);
                    blockSquares = float(blockSquares + square);
                    sheetSum = float(sheetSum + r.DATA);
                    sheetSquares = float(sheetSquares + square);
                    ++used;
                }
                DrawValueBox(c, FormatFixed(r.DATA, 1), baRight, x0 + 1.1f, y, x0 + 2.05f,
                             y + 0.5f);
                DrawValueBox(c, FormatFixed(square, 2), baRight, x0 + 2.1f, y, x0 + 3.11f,
                             y + 0.5f);
                ++k;
                y += 0.5f;
            }
            DrawValueBox(c, FormatFixed(blockSum, 1), baRight, x0 + 1.1f, y0 + 6.0f, x0 + 2.05f,
                         y0 + 6.5f);
            DrawValueBox(c, FormatFixed(blockSquares, 2), baRight, x0 + 2.1f, y0 + 6.0f, x0 + 3.11f,
                         y0 + 6.5f);
        }
        DrawValueBox(c, FormatFixed(sheetSum, 1), baRight, 4.25f, 18.4f, 7.3f, 18.9f);
        DrawValueBox(c, FormatFixed(sheetSquares, 2), baRight, 4.25f, 18.9f, 7.3f, 19.4f);
        DrawValueBox(c, QString::number(used), baRight, 4.25f, 19.4f, 7.3f, 19.9f);
        if (sheet == sheets) {
            DrawValueBox(c, header.SD, baRight, 12.6f, 18.4f, 15.7f, 18.9f);
            DrawValueBox(c, header.SD2, baRight, 12.6f, 18.9f, 15.7f, 19.4f);
            DrawValueBox(c, header.DATACOUNT, baRight, 12.6f, 19.4f, 15.7f, 19.9f);
            DrawValueBox(c, header.HENSA, baRight, 12.6f, 19.9f, 15.7f, 20.4f);
        }
    }
    return sheets;
}

} // namespace tv
