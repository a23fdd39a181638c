// The as-built results table drawn from a stored measurement onto recording pages at 600 pixels
// per inch (no unprintable margin, page shift -2.8 / -3.05 cm: x pixels = 600 x / 2.54 + 661,
// y pixels = 600 y / 2.54 + 720), and once through the preview control into a PDF file.
#include "app/forms/PrintResultsTable.h"
#include "measurement/uRokuma.h"
#include "platform/GridData.h"
#include "printing/Primitives.h"
#include "printing/Printer.h"
#include "printing/RecordingCanvas.h"
#include "printing/gui/PrevX.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "tests/gui/PdfProbe.h"
#include "tests/support/Measurements.h"
#include "tests/support/RecordingPages.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QPrinter>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace tv {
namespace {

using test::TRecordingPages;

class ResultsTableTest : public test::EnvTest {
protected:
    void SetUp() override {
        oldSource = SetPrinterSource([] { return PdfPrinter(600, 0); });
        test::ChooseMeasurement(header, QStringLiteral("A001"), QStringLiteral("表層工"));
        header.SOKUTEISYA = QStringLiteral("山田");
        header.HOSR = QStringLiteral("12.3");
        header.HODATACOUNT = QStringLiteral("10");
        header.GP = QStringLiteral("10");
        header.SIYOUSYO = QStringLiteral("_2.4");
    }
    void TearDown() override {
        SetPrinterSource(oldSource);
        PageShiftX = 0;
        PageShiftY = 0;
    }
    // Stores `count` lines: position "No.<row>" (none in row `blankRow`), range "<row>.5".
    void Store(int count, int blankRow = 0) {
        TGridData grid;
        for (int r = 1; r <= count; ++r) {
            if (r != blankRow)
                grid.SetCellText(1, r, QStringLiteral("No.%1").arg(r));
            grid.SetCellText(2, r, QStringLiteral("1"));
            grid.SetCellText(16, r, QStringLiteral("%1.5").arg(r));
        }
        SaveMeasurement(header, grid);
    }
    TRecordingPages Print() {
        TRecordingPages pages;
        PrintResultsTable(pages, header);
        return pages;
    }
    // The one text `text` of a page.
    static const TRecordedText& Only(const TRecordingCanvas& page, const QString& text) {
        const TRecordedText* found = nullptr;
        int n = 0;
        for (const auto& t : page.texts)
            if (t.text == text) {
                found = &t;
                ++n;
            }
        EXPECT_EQ(n, 1) << text.toStdString();
        static const TRecordedText none{-1, -1, {}, {}, 0, 0, 100};
        return found ? *found : none;
    }
    static int Count(const TRecordingCanvas& page, const QString& text) {
        int n = 0;
        for (const auto& t : page.texts)
            n += t.text == text;
        return n;
    }
    static bool HasAt(const TRecordingCanvas& page, const QString& text, const QPoint& at) {
        for (const auto& t : page.texts)
            if (t.text == text && QPoint(t.x, t.y) == at)
                return true;
        return false;
    }
    static QPoint At(const TRecordedText& t) { return QPoint(t.x, t.y); }

    TPrinterSource oldSource;
    TRokumaKanri header;
};

TEST_F(ResultsTableTest, SixtyGroupsFillAPageAndTheSixtyFirstStartsTheNext) {
    Store(61, 30);
    TRecordingPages pages = Print();
    ASSERT_EQ(pages.pages.size(), 2u);
    const TRecordingCanvas& p1 = *pages.pages[0];
    const TRecordingCanvas& p2 = *pages.pages[1];

    // Group numbers centred in their 1.1 cm cells: rows 0.7 cm apart from 4.9 cm, columns 4.9 cm
    // apart from 0.35 cm. Row 0: y = 1877 + (165 - 92) / 2.
    EXPECT_EQ(At(Only(p1, QStringLiteral("1"))), QPoint(850, 1913));
    EXPECT_EQ(At(Only(p1, QStringLiteral("20"))), QPoint(827, 5055));
    EXPECT_EQ(At(Only(p1, QStringLiteral("21"))), QPoint(1984, 1913));
    EXPECT_EQ(At(Only(p1, QStringLiteral("60"))), QPoint(3142, 5055));
    EXPECT_EQ(Count(p1, QStringLiteral("61")), 0);
    // Position centred, range right-aligned in its 2 cm cell (1405 + 472 - 138).
    EXPECT_EQ(At(Only(p1, QStringLiteral("No.1"))), QPoint(1112, 1913));
    EXPECT_EQ(At(Only(p1, QStringLiteral("1.5"))), QPoint(1739, 1913));
    // A line without position keeps its number and range; its cell stays empty.
    EXPECT_EQ(At(Only(p1, QStringLiteral("30"))), QPoint(1984, 3401));
    EXPECT_EQ(At(Only(p1, QStringLiteral("30.5"))), QPoint(2850, 3401));
    EXPECT_EQ(Count(p1, QStringLiteral("No.30")), 0);
    for (const auto& t : p1.texts)
        EXPECT_FALSE(t.y == 3401 && t.x >= 2161 && t.x < 2562) << t.text.toStdString();

    // The 61st line is group 61 in column 0, row 0 of page 2, which again has the whole form.
    EXPECT_EQ(At(Only(p2, QStringLiteral("61"))), QPoint(827, 1913));
    EXPECT_EQ(At(Only(p2, QStringLiteral("No.61"))), QPoint(1089, 1913));
    EXPECT_EQ(At(Only(p2, QStringLiteral("61.5"))), QPoint(1693, 1913));
    EXPECT_EQ(Count(p2, QStringLiteral("1")), 0);
    EXPECT_EQ(Count(p2, QStringLiteral("No.60")), 0);
    for (const TRecordingCanvas* page : {&p1, &p2}) {
        EXPECT_EQ(Count(*page, QStringLiteral("舗装表層の平たん度出来形測定結果一覧表")), 1);
        EXPECT_EQ(Count(*page, QStringLiteral("= 1.23")), 1);
        EXPECT_EQ(page->ellipses.size(), 2u); // seal and group size
        // The page's own canvas was set to Mincho; group lines at 11 points.
        for (const auto& t : page->texts)
            EXPECT_EQ(t.fontName, QStringLiteral("ＭＳ 明朝")) << t.text.toStdString();
        EXPECT_EQ(page->FontSize(), 11);
    }
    EXPECT_EQ(Only(p2, QStringLiteral("61")).fontSize, 11);

    // Exactly sixty lines make one page.
    header.Kosyu->FindByName(QStringLiteral("基層工"));
    header.LoadByWork();
    Store(60);
    TRecordingPages sixty = Print();
    ASSERT_EQ(sixty.pages.size(), 1u);
    EXPECT_EQ(At(Only(*sixty.pages[0], QStringLiteral("60"))), QPoint(3142, 5055));
}

TEST_F(ResultsTableTest, HeaderTextsAndRulingsSitInTheirBoxes) {
    Store(1);
    TRecordingPages pages = Print();
    ASSERT_EQ(pages.pages.size(), 1u);
    const TRecordingCanvas& p = *pages.pages[0];

    // Title centred at 16 points (em 133) in (2.15, 1.0, 13.3, 1.5): 1168.9 + (2633 - 2527) / 2,
    // y = 956 + Trunc((118 - 133) / 2).
    const TRecordedText& title = Only(p, QStringLiteral("舗装表層の平たん度出来形測定結果一覧表"));
    EXPECT_EQ(At(title), QPoint(1221, 949));
    EXPECT_EQ(title.fontSize, 16);
    // 測定者 spread over 1.3 cm at 10 points, the person over 3.2 cm, the seal mark at 8 points.
    EXPECT_EQ(At(Only(p, QStringLiteral("者"))), QPoint(2869, 1238));
    EXPECT_EQ(At(Only(p, QStringLiteral("山"))), QPoint(3141, 1238));
    EXPECT_EQ(At(Only(p, QStringLiteral("田"))), QPoint(3813, 1238));
    EXPECT_EQ(Only(p, QStringLiteral("印")).fontSize, 8);
    ASSERT_EQ(p.ellipses.size(), 2u);
    const TRecordedBox& seal = p.ellipses[0];
    EXPECT_EQ(QRect(QPoint(seal.x1, seal.y1), QPoint(seal.x2, seal.y2)),
              QRect(QPoint(4062, 1233), QPoint(4157, 1328)));
    EXPECT_EQ(seal.brush, TBrushStyle::bsSolid);
    // The three column heads.
    EXPECT_EQ(Count(p, QStringLiteral("（Ｋ）")), 3);
    EXPECT_EQ(Count(p, QStringLiteral("位")), 3);

    // The outer frame at 0.3 mm (8 pixels) from (0, 0) to (15.4, 23.2), the inner at 0.2 mm.
    ASSERT_GE(p.lines.size(), 8u);
    EXPECT_EQ(p.lines[0].from, QPoint(661, 720));
    EXPECT_EQ(p.lines[0].to, QPoint(4298, 720));
    EXPECT_EQ(p.lines[0].width, 8);
    EXPECT_EQ(p.lines[2].to, QPoint(661, 6200));
    EXPECT_EQ(p.lines[4].from, QPoint(743, 1546));
    EXPECT_EQ(p.lines[4].width, 5);
    // The 21 rulings of the group rows span the inner frame at 0.1 mm.
    int rulings = 0;
    for (const auto& l : p.lines)
        if (l.from.x() == 743 && l.to.x() == 4216 && l.from.y() == l.to.y() &&
            l.from.y() > 1546) { // below the inner frame's top
            ++rulings;
            EXPECT_EQ(l.width, 3);
        }
    EXPECT_EQ(rulings, 21);

    // 記事 in a white filled box, written downwards.
    ASSERT_EQ(p.fills.size(), 1u);
    EXPECT_EQ(QRect(QPoint(p.fills[0].x1, p.fills[0].y1), QPoint(p.fills[0].x2, p.fills[0].y2)),
              QRect(QPoint(1145, 5255), QPoint(1346, 5751)));
    EXPECT_EQ(Only(p, QStringLiteral("記")).x, Only(p, QStringLiteral("事")).x);
    EXPECT_LT(Only(p, QStringLiteral("記")).y, Only(p, QStringLiteral("事")).y);
    EXPECT_EQ(Only(p, QStringLiteral("記")).fontSize, 9);
}

TEST_F(ResultsTableTest, EvaluationFollowsTheStoredTexts) {
    Store(3);
    {
        // ΣR 12.3 over 10 groups: R̄ = 1.23; group size 10: σ = 1.23 / 3.08 = 0.40.
        TRecordingPages pages = Print();
        const TRecordingCanvas& p = *pages.pages[0];
        // The fraction 12.3 over 10 centred in the two halves of (7.0, 20.0, 8.0, 20.7) at 9
        // points (em 75, Latin characters 37 wide).
        EXPECT_EQ(At(Only(p, QStringLiteral("12.3"))), QPoint(2358, 5447));
        EXPECT_TRUE(HasAt(p, QStringLiteral("10"), QPoint(2395, 5530)));
        EXPECT_EQ(At(Only(p, QStringLiteral("= 1.23"))), QPoint(2527, 5489));
        EXPECT_EQ(At(Only(p, QStringLiteral("= 0.40"))), QPoint(2527, 5702));
        EXPECT_EQ(At(Only(p, QStringLiteral("σ= 2.4以下"))), QPoint(2101, 5892));
        EXPECT_EQ(Count(p, QStringLiteral("1.23")), 1); // over C in the σ fraction
        EXPECT_EQ(Count(p, QStringLiteral("3.08")), 2); // in the fraction and the C table
        EXPECT_EQ(Count(p, QStringLiteral("グループの大きさ　10")), 1);
        // The row "10" of the C table is circled.
        ASSERT_EQ(p.ellipses.size(), 2u);
        const TRecordedBox& mark = p.ellipses[1];
        EXPECT_EQ(QRect(QPoint(mark.x1, mark.y1), QPoint(mark.x2, mark.y2)),
                  QRect(QPoint(3325, 5881), QPoint(3422, 5978)));
        // Formula symbols in italic do not leak into the rest of the form.
        EXPECT_FALSE(p.FontStyle().italic);
    }
    {
        header.GP = QStringLiteral("8");
        header.SIYOUSYO = QStringLiteral("2.4");
        TRecordingPages pages = Print();
        const TRecordingCanvas& p = *pages.pages[0];
        EXPECT_EQ(Count(p, QStringLiteral("= 0.43")), 1); // 1.23 / 2.85
        EXPECT_EQ(Count(p, QStringLiteral("2.85")), 2);
        EXPECT_EQ(Count(p, QStringLiteral("σ= 2.4")), 1);
        ASSERT_EQ(p.ellipses.size(), 2u);
        EXPECT_EQ(p.ellipses[1].y1, 5687); // the row "８" from 21.03 cm
        EXPECT_EQ(p.ellipses[1].y2, 5784);
    }
    {
        // Group size 5 has no C value: nothing is circled (not the table's head row) and σ is
        // left open; the mean range is still given.
        header.GP = QStringLiteral("5");
        TRecordingPages pages = Print();
        const TRecordingCanvas& p = *pages.pages[0];
        EXPECT_EQ(p.ellipses.size(), 1u);
        EXPECT_EQ(Count(p, QStringLiteral("= 1.23")), 1);
        int results = 0;
        for (const auto& t : p.texts)
            results += t.text.startsWith(QStringLiteral("= "));
        EXPECT_EQ(results, 1);
    }
    {
        // No groups counted: neither result, the rest of the page as always.
        header.GP = QStringLiteral("10");
        header.HODATACOUNT = QStringLiteral("0");
        TRecordingPages pages = Print();
        const TRecordingCanvas& p = *pages.pages[0];
        for (const auto& t : p.texts)
            EXPECT_FALSE(t.text.startsWith(QStringLiteral("= "))) << t.text.toStdString();
        EXPECT_EQ(Count(p, QStringLiteral("3.08")), 2);
        EXPECT_EQ(Count(p, QStringLiteral("3")), 1);
    }
}

TEST_F(ResultsTableTest, AMeasurementWithoutLinesDrawsNothing) {
    Store(0);
    TRecordingPages pages = Print();
    ASSERT_EQ(pages.pages.size(), 1u);
    EXPECT_TRUE(pages.pages[0]->texts.empty());
    EXPECT_TRUE(pages.pages[0]->lines.empty());
}

TEST_F(ResultsTableTest, GroupsAreNumberedByTheirPlaceInTheLineOrder) {
    Store(0);
    ASSERT_GT(header.ID, 0);
    // Lines stored out of order and with gaps in their numbers.
    for (int lno : {9, 4}) {
        TRokumaLine line;
        line.HID = header.ID;
        line.LNO = lno;
        line.SOKUTEN = QStringLiteral("L%1").arg(lno);
        line.K04 = QStringLiteral("%1.0").arg(lno);
        line.Insert();
    }
    TRecordingPages pages = Print();
    ASSERT_EQ(pages.pages.size(), 1u);
    const TRecordingCanvas& p = *pages.pages[0];
    EXPECT_EQ(Only(p, QStringLiteral("1")).y, Only(p, QStringLiteral("L4")).y);
    EXPECT_EQ(Only(p, QStringLiteral("2")).y, Only(p, QStringLiteral("L9")).y);
    EXPECT_EQ(Only(p, QStringLiteral("L9")).y, Only(p, QStringLiteral("9.0")).y);
    EXPECT_EQ(Count(p, QStringLiteral("4")), 0);
}

// True when `t` stands whole on one line in the box (cm), condensed just enough to fit its
// width (one percent wider would not), with the box's alignment and its em box centred.
bool CondensedIn(const TRecordedText& t, TBoxAlign align, double l, double top, double r,
                 double b) {
    const int W = int(std::trunc((r - l) * 600 / 2.54));
    const int H = int(std::trunc((b - top) * 600 / 2.54));
    int normal = 0;
    for (QChar c : t.text)
        normal += c.unicode() < 0x100 ? t.em / 2 : t.em;
    const int w = normal * t.widthPercent / 100;
    const double x0 = 600 * l / 2.54 + 661;
    const int x = int(std::trunc(align == baCenter  ? x0 + (W - w) / 2.0
                                 : align == baRight ? x0 + W - w
                                                    : x0));
    const int y = int(std::trunc(600 * top / 2.54 + 720)) + (H - t.em) / 2;
    return t.widthPercent >= 50 && t.widthPercent < 100 && w <= W &&
           normal * (t.widthPercent + 1) / 100 > W && std::abs(t.x - x) <= 1 &&
           std::abs(t.y - y) <= 1;
}

TEST_F(ResultsTableTest, ValuesWiderThanTheirCellsStayWholeOnOneLine) {
    // Station notation of the measuring position, and R̄ = 192.3 / 10 = 19.23 over C in the σ
    // fraction.
    TGridData grid;
    const char* positions[] = {"No.13+5.0", "No.12+15.0", "No.1"};
    for (int r = 1; r <= 3; ++r) {
        grid.SetCellText(1, r, QLatin1String(positions[r - 1]));
        grid.SetCellText(2, r, QStringLiteral("1"));
        grid.SetCellText(16, r, QStringLiteral("1.0"));
    }
    SaveMeasurement(header, grid);
    header.HOSR = QStringLiteral("192.3");
    TRecordingPages pages = Print();
    const TRecordingCanvas& p = *pages.pages[0];
    EXPECT_TRUE(CondensedIn(Only(p, QStringLiteral("No.13+5.0")), baCenter, 1.45, 4.9, 3.15, 5.6));
    EXPECT_TRUE(CondensedIn(Only(p, QStringLiteral("No.12+15.0")), baCenter, 1.45, 5.6, 3.15, 6.3));
    EXPECT_TRUE(CondensedIn(Only(p, QStringLiteral("19.23")), baCenter, 7.15, 20.9, 7.85, 21.25));
    EXPECT_EQ(Only(p, QStringLiteral("19.23")).fontSize, 9);
    // What fits is drawn as before.
    EXPECT_EQ(Only(p, QStringLiteral("No.1")).widthPercent, 100);
    EXPECT_EQ(Only(p, QStringLiteral("192.3")).widthPercent, 100);
    EXPECT_EQ(Only(p, QStringLiteral("= 19.23")).widthPercent, 100);
}

TEST_F(ResultsTableTest, PrintedThroughThePreviewControlIntoAPdf) {
    Store(61);
    TPrevX prev;
    prev.BeginDoc();
    PrintResultsTable(prev, header);
    prev.EndDoc();
    ASSERT_EQ(prev.PageCount(), 2);
    const QString file = QDir(env.Root()).filePath(QStringLiteral("results.pdf"));
    prev.SaveAsPdf(file);
    ASSERT_EQ(test::PdfPageCount(file), 2);
    const QString text1 = test::PdfPageText(file, 1);
    EXPECT_TRUE(text1.contains(QStringLiteral("舗装表層の平たん度出来形測定結果一覧表")))
        << text1.toStdString();
    EXPECT_TRUE(text1.contains(QStringLiteral("2.4以下"))) << text1.toStdString();
    EXPECT_TRUE(test::PdfPageText(file, 2).contains(QStringLiteral("No.61")));
}

} // namespace
} // namespace tv
