#include "registers/print/PrintKikakuti4List.h"

#include "platform/TableEngine.h"
#include "printing/PageTarget.h"
#include "printing/Primitives.h"
#include "registers/uKikakuti4.h"

namespace tv {
namespace {

constexpr int kRowsPerPage = 25;
constexpr int kFontSize = 10;

void SetListFont(TPageTarget& target) {
    if (TPrintCanvas* canvas = target.Canvas())
        canvas->SetFontSize(kFontSize);
}

// A heading of the list.
void Cell(TPrintCanvas* canvas, const QString& text, float left, float top, float right,
          float bottom) {
    DrawTextBox(canvas, text, baCenter, left, top, right, bottom, 0, 1.0f);
}

// A stored value: condensed onto one line when it is wider than its cell.
void ValueCell(TPrintCanvas* canvas, const QString& text, float left, float top, float right,
               float bottom) {
    DrawValueBox(canvas, text, baCenter, left, top, right, bottom, 1.0f);
}

QString KubunText(int kubun) {
    switch (kubun) {
    case 0:
        return QStringLiteral("開発局");
    case 1:
        return QStringLiteral("土現");
    case 2:
        return QStringLiteral("支庁");
    default:
        return QString();
    }
}

// The frame, the rules and the headings of a page.
void DrawPageFrame(TPrintCanvas* canvas) {
    DrawFrame(canvas, 0, 0, 17, 26, 1.0f);
    for (int y = 1; y <= kRowsPerPage; ++y)
        DrawStyledLine(canvas, 0, float(y), 17, float(y), 1.0f);
    // The short lines halve the two standard-value columns of every entry band.
    for (int y = 1; y <= kRowsPerPage; ++y)
        DrawStyledLine(canvas, 7, float(y) + 0.5f, 11, float(y) + 0.5f, 1.0f);
    // Vertical rules at x = 1, 3, 5, 7, 9, 11, 12 and 14.
    DrawFrame(canvas, 1, 0, 3, 26, 1.0f);
    DrawFrame(canvas, 5, 0, 7, 26, 1.0f);
    DrawFrame(canvas, 9, 0, 11, 26, 1.0f);
    DrawFrame(canvas, 12, 0, 14, 26, 1.0f);
    Cell(canvas, QStringLiteral("ID"), 0, 0, 1, 1);
    Cell(canvas, QStringLiteral("区分"), 1, 0, 3, 1);
    Cell(canvas, QStringLiteral("工種"), 3, 0, 5, 1);
    Cell(canvas, QStringLiteral("項目"), 5, 0, 7, 1);
    Cell(canvas, QStringLiteral("規格値"), 7, 0, 9, 1);
    Cell(canvas, QStringLiteral("規格値2"), 9, 0, 11, 1);
    Cell(canvas, QStringLiteral("判定値"), 11, 0, 12, 1);
    Cell(canvas, QStringLiteral("条件"), 12, 0, 14, 1);
}

void DrawEntry(TPrintCanvas* canvas, const TKikakuti4& entry, int r) {
    const float top = float(r + 1);
    const float middle = top + 0.5f;
    const float bottom = float(r + 2);
    ValueCell(canvas, QString::number(entry.ID), 0, top, 1, bottom);
    ValueCell(canvas, KubunText(entry.Kubun), 1, top, 3, bottom);
    ValueCell(canvas, entry.Kosyu->Kosyumei, 3, top, 5, bottom);
    ValueCell(canvas, entry.Koumokumei, 5, top, 7, bottom);
    ValueCell(canvas, entry.KikakutiU1, 7, top, 9, middle);
    ValueCell(canvas, entry.KikakutiD1, 7, middle, 9, bottom);
    ValueCell(canvas, entry.KikakutiU2, 9, top, 11, middle);
    ValueCell(canvas, entry.KikakutiD2, 9, middle, 11, bottom);
    ValueCell(canvas, entry.GokakuHantei ? QStringLiteral("○") : QString(), 11, top, 12, bottom);
    ValueCell(canvas, entry.Joken, 12, top, 14, bottom);
}

} // namespace

void PrintKikakuti4List(TPageTarget& target) {
    PageShiftX = kKikakuti4ListShiftX;
    PageShiftY = kKikakuti4ListShiftY;
    SetListFont(target);

    TKikakuti4 entry;
    TQuery query(QStringLiteral("kestran"));
    query.AddSQL(QStringLiteral("select * from Kikakuti4 order by Kubun,Kosyumei,Koumokumei"));
    query.Open();
    int r = 0;
    while (!query.Eof()) {
        if (r == kRowsPerPage) {
            target.NewPage();
            SetListFont(target);
            r = 0;
        }
        entry.ReadRecord(query);
        if (r == 0)
            DrawPageFrame(target.Canvas());
        DrawEntry(target.Canvas(), entry, r);
        ++r;
        query.Next();
    }
}

} // namespace tv
