// The handbook test report sheet drawn from a stored measurement onto recording pages at 600 dpi:
// sheets and page breaks, where the readings and sums land, excluded readings, the header texts
// and the totals of the last sheet; and the same document written to a PDF file.
#include "app/forms/PrintTestReportSheet.h"
#include "measurement/Calc.h"
#include "measurement/uRokuma.h"
#include "platform/GridData.h"
#include "printing/PageDocument.h"
#include "printing/PageTarget.h"
#include "printing/Primitives.h"
#include "printing/Printer.h"
#include "printing/RecordingCanvas.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "tests/gui/PdfProbe.h"
#include "tests/support/Measurements.h"
#include "tests/support/RecordingPages.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QPrinter>
#include <cmath>
#include <memory>
#include <vector>

namespace tv {
namespace {

using test::TRecordingPages;

// Printer pixels at 600 dpi of a form position in cm, with the form shifted 2.6 cm right and
// 2.7 cm down on a printer without unprintable margin.
int PxX(double cm) {
    return int(std::trunc(600.0 * cm / 2.54 + 614));
}
int PxY(double cm) {
    return int(std::trunc(600.0 * cm / 2.54 + 637));
}

// Width of a recorded text with the recording canvas's fixed metrics, at width factor `percent`
// (the one it was drawn with when not given).
int Width(const TRecordedText& t, int percent = -1) {
    int w = 0;
    for (QChar c : t.text)
        w += c.unicode() < 0x100 ? t.em / 2 : t.em;
    return w * (percent < 0 ? t.widthPercent : percent) / 100;
}

std::vector<const TRecordedText*> Find(const TRecordingCanvas& page, const QString& text) {
    std::vector<const TRecordedText*> found;
    for (const auto& t : page.texts)
        if (t.text == text)
            found.push_back(&t);
    return found;
}

// True when the text was drawn in the box (cm) with that alignment, its em box centred
// vertically; positions may differ by one pixel of rounding.
bool DrawnAt(const TRecordingCanvas& page, const QString& text, TBoxAlign align, double l, double t,
             double r, double b) {
    for (const TRecordedText* p : Find(page, text)) {
        const int height = int(std::trunc((b - t) * 600 / 2.54));
        const int y = PxY(t) + (height - p->em) / 2;
        int x = PxX(l);
        if (align == baRight)
            x = PxX(r) - Width(*p);
        else if (align == baCenter)
            x = (PxX(l) + PxX(r) - Width(*p)) / 2;
        if (std::abs(p->x - x) <= 1 && std::abs(p->y - y) <= 1)
            return true;
    }
    return false;
}

// Right-aligned number in the d column (column 1) or the d² column (column 2) of a block row
// (1..10; 11 is the block-sum row).
bool InBlock(const TRecordingCanvas& page, const QString& text, int block, int row, int column) {
    const double x0 = (block / 2) * 3.16;
    const double y0 = (block % 2) * 6.5 + 5.4;
    const double top = row <= 10 ? y0 + 0.5 * row : y0 + 6.0;
    return column == 1 ? DrawnAt(page, text, baRight, x0 + 1.1, top, x0 + 2.05, top + 0.5)
                       : DrawnAt(page, text, baRight, x0 + 2.1, top, x0 + 3.11, top + 0.5);
}

class TestReportSheetTest : public test::EnvTest {
protected:
    void SetUp() override {
        oldSource = SetPrinterSource([] { return PdfPrinter(600, 0); });
        header = std::make_unique<TRokumaKanri>();
        test::ChooseMeasurement(*header, QStringLiteral("A001"), QStringLiteral("表層工"));
        header->Koji->Kojimei = QStringLiteral("国道改良工事");
        header->STARTP = QStringLiteral("No.10");
        header->ENDP = QStringLiteral("No.20");
        header->KYORI = QStringLiteral("200m");
        header->SOKUTEIBI = QDateTime(QDate(2003, 6, 19), QTime(0, 0));
        header->SOKUTEIKI = QStringLiteral("3mプロフィル");
        header->SOKUTEISYA = QStringLiteral("山田太郎");
        header->SD = QStringLiteral("49.0");
        header->SD2 = QStringLiteral("29.00");
        header->DATACOUNT = QStringLiteral("100");
        header->HENSA = QStringLiteral("0.37");
    }
    void TearDown() override {
        SetPrinterSource(oldSource);
        PageShiftX = 0;
        PageShiftY = 0;
    }
    // Stores `count` readings of 0.5, ten to a grid line, with reading 3 = -1.5, reading 7 =
    // 2.0 excluded and reading 101 = 1.5.
    void Store(int count) {
        TGridData grid;
        for (int k = 1; k <= count; ++k) {
            const int row = (k - 1) / 10 + 1;
            const int col = (k - 1) % 10 + 2;
            QString value = QStringLiteral("0.5");
            if (k == 3)
                value = QStringLiteral("-1.5");
            else if (k == 7)
                value = QStringLiteral("2.0");
            else if (k == 101)
                value = QStringLiteral("1.5");
            grid.SetCellText(col, row, value);
            if (k == 7)
                grid.SetForeColor(kColorRed);
            grid.SetCellText(16, row, QStringLiteral("1.0"));
        }
        SaveMeasurement(*header, grid);
        ASSERT_GT(header->ID, 0);
    }

    TPrinterSource oldSource;
    std::unique_ptr<TRokumaKanri> header;
};

TEST_F(TestReportSheetTest, ReadingsPastOneHundredGoOnASecondSheet) {
    Store(101);
    TRecordingPages target;
    PrintTestReportSheet(target, *header);
    ASSERT_EQ(target.pages.size(), 2u);
    const TRecordingCanvas& p1 = *target.pages[0];
    const TRecordingCanvas& p2 = *target.pages[1];

    // Both sheets carry the whole form in Mincho, also after the page break.
    for (const auto* page : {&p1, &p2}) {
        for (const auto& t : page->texts)
            EXPECT_EQ(t.fontName, QStringLiteral("ＭＳ 明朝")) << t.text.toStdString();
        const auto title = Find(*page, QStringLiteral("舗"));
        ASSERT_EQ(title.size(), 1u);
        EXPECT_EQ(title[0]->fontSize, 11);
        // Outline at 0.3 mm (8 pixels) with its top at 1.5 cm.
        bool outline = false;
        for (const auto& l : page->lines)
            outline |= l.width == 8 && l.from == QPoint(PxX(0), PxY(1.5)) &&
                       l.to == QPoint(PxX(15.8), PxY(1.5));
        EXPECT_TRUE(outline);
        EXPECT_TRUE(DrawnAt(*page, QStringLiteral("国道改良工事"), baLeft, 3.5, 2.7, 15.5, 3.2));
        EXPECT_TRUE(
            DrawnAt(*page, QStringLiteral("平成15年6月19日"), baLeft, 10.4, 3.2, 15.5, 3.7));
        EXPECT_TRUE(DrawnAt(*page, QStringLiteral("山田太郎"), baLeft, 10.4, 4.2, 15.5, 4.7));
        EXPECT_TRUE(DrawnAt(*page, QStringLiteral("\"*\"印のデータは計算から除外"), baLeft, 0.5,
                            23.8, 15.8, 24.3));
    }
    EXPECT_TRUE(DrawnAt(p1, QStringLiteral("2 枚中の 1 枚目"), baLeft, 3.5, 4.7, 15.5, 5.2));
    EXPECT_TRUE(DrawnAt(p2, QStringLiteral("2 枚中の 2 枚目"), baLeft, 3.5, 4.7, 15.5, 5.2));

    // Sheet 1: row numbers run down the blocks, column by column.
    EXPECT_TRUE(DrawnAt(p1, QStringLiteral("1"), baRight, 0, 5.9, 1.0, 6.4));
    EXPECT_TRUE(DrawnAt(p1, QStringLiteral("11"), baRight, 0, 12.4, 1.0, 12.9));
    EXPECT_TRUE(DrawnAt(p1, QStringLiteral("21"), baRight, 3.16, 5.9, 4.16, 6.4));
    EXPECT_TRUE(DrawnAt(p1, QStringLiteral("100"), baRight, 12.64, 16.9, 13.64, 17.4));
    // Reading 3 and its square at 9 points.
    EXPECT_TRUE(InBlock(p1, QStringLiteral("-1.5"), 0, 3, 1));
    EXPECT_TRUE(InBlock(p1, QStringLiteral("2.25"), 0, 3, 2));
    EXPECT_EQ(Find(p1, QStringLiteral("-1.5"))[0]->fontSize, 9);
    // Reading 7 is excluded: "*" at the left of its row, its values printed, not summed.
    ASSERT_EQ(Find(p1, QStringLiteral("*")).size(), 1u);
    EXPECT_TRUE(DrawnAt(p1, QStringLiteral("*"), baCenter, 0, 8.9, 0.25, 9.4));
    EXPECT_TRUE(InBlock(p1, QStringLiteral("2.0"), 0, 7, 1));
    EXPECT_TRUE(InBlock(p1, QStringLiteral("4.00"), 0, 7, 2));
    // Block sums: block 0 has eight readings of 0.5 and -1.5; the others ten of 0.5.
    EXPECT_TRUE(InBlock(p1, QStringLiteral("2.5"), 0, 11, 1));
    EXPECT_TRUE(InBlock(p1, QStringLiteral("4.25"), 0, 11, 2));
    for (int b = 1; b < 10; ++b) {
        EXPECT_TRUE(InBlock(p1, QStringLiteral("5.0"), b, 11, 1)) << b;
        EXPECT_TRUE(InBlock(p1, QStringLiteral("2.50"), b, 11, 2)) << b;
    }
    // Sheet sums ③ ④ ⑤; the totals of the measurement only on the last sheet.
    EXPECT_TRUE(DrawnAt(p1, QStringLiteral("47.5"), baRight, 4.25, 18.4, 7.3, 18.9));
    EXPECT_TRUE(DrawnAt(p1, QStringLiteral("26.75"), baRight, 4.25, 18.9, 7.3, 19.4));
    EXPECT_TRUE(DrawnAt(p1, QStringLiteral("99"), baRight, 4.25, 19.4, 7.3, 19.9));
    for (const char16_t* total : {u"49.0", u"29.00", u"0.37"})
        EXPECT_TRUE(Find(p1, QString::fromUtf16(total)).empty());

    // Sheet 2 numbers its rows from 101 to 200 and holds reading 101 in block 0, row 1.
    EXPECT_TRUE(DrawnAt(p2, QStringLiteral("101"), baRight, 0, 5.9, 1.0, 6.4));
    EXPECT_TRUE(DrawnAt(p2, QStringLiteral("200"), baRight, 12.64, 16.9, 13.64, 17.4));
    EXPECT_TRUE(InBlock(p2, QStringLiteral("1.5"), 0, 1, 1));
    EXPECT_TRUE(InBlock(p2, QStringLiteral("2.25"), 0, 1, 2));
    // The partly filled block has its sums; the empty blocks have none.
    EXPECT_TRUE(InBlock(p2, QStringLiteral("1.5"), 0, 11, 1));
    EXPECT_TRUE(InBlock(p2, QStringLiteral("2.25"), 0, 11, 2));
    EXPECT_EQ(Find(p2, QStringLiteral("1.5")).size(), 3u); // reading, block and sheet sum
    EXPECT_TRUE(Find(p2, QStringLiteral("0.0")).empty());
    EXPECT_TRUE(Find(p2, QStringLiteral("0.00")).empty());
    EXPECT_TRUE(Find(p2, QStringLiteral("*")).empty());
    EXPECT_TRUE(DrawnAt(p2, QStringLiteral("1.5"), baRight, 4.25, 18.4, 7.3, 18.9));
    EXPECT_TRUE(DrawnAt(p2, QStringLiteral("2.25"), baRight, 4.25, 18.9, 7.3, 19.4));
    EXPECT_TRUE(DrawnAt(p2, QStringLiteral("1"), baRight, 4.25, 19.4, 7.3, 19.9));
    // ⑥ to ⑨: the header's texts as stored, the standard deviation last.
    EXPECT_TRUE(DrawnAt(p2, QStringLiteral("49.0"), baRight, 12.6, 18.4, 15.7, 18.9));
    EXPECT_TRUE(DrawnAt(p2, QStringLiteral("29.00"), baRight, 12.6, 18.9, 15.7, 19.4));
    EXPECT_TRUE(DrawnAt(p2, QStringLiteral("100"), baRight, 12.6, 19.4, 15.7, 19.9));
    EXPECT_TRUE(DrawnAt(p2, QStringLiteral("0.37"), baRight, 12.6, 19.9, 15.7, 20.4));
}

TEST_F(TestReportSheetTest, EachSheetsCountAndTheTotalAgreeWithTheStoredReadings) {
    // 150 readings over 15 lines, with a line without its first reading, a line all excluded,
    // a line of readings of 100 or more and a line of one reading among them.
    TGridData grid;
    for (int row = 1; row <= 15; ++row)
        for (int col = 2; col <= 11; ++col) {
            QString value = QString::number((row * 3 + col) % 7 - 3);
            if (row == 4 && col == 2)
                value.clear();
            if (row == 9)
                value = QString::number(100 + col);
            if (row == 12 && col > 2)
                value.clear();
            grid.SetCellText(col, row, value);
            grid.SetForeColor(row == 6 ? kColorRed : kColorBlack);
        }
    TMemoryCalcTarget boxes;
    boxes.SetBoxText(ResultBox::Edit13, QStringLiteral("10"));
    CalcReadings(grid, boxes);
    CalcRanges(grid, boxes);
    header->DATACOUNT = boxes.BoxText(ResultBox::Edit7);
    header->HENSA = boxes.BoxText(ResultBox::Edit8);
    SaveMeasurement(*header, grid);
    ASSERT_EQ(header->DATACOUNT, QStringLiteral("130")); // 140 stored, 10 of them excluded

    TRecordingPages target;
    ASSERT_EQ(PrintTestReportSheet(target, *header), 2);
    // ⑤ of each sheet: its used readings; ⑧ on the last: their sum, the stored used points.
    EXPECT_TRUE(DrawnAt(*target.pages[0], QStringLiteral("90"), baRight, 4.25, 19.4, 7.3, 19.9));
    EXPECT_TRUE(DrawnAt(*target.pages[1], QStringLiteral("40"), baRight, 4.25, 19.4, 7.3, 19.9));
    EXPECT_TRUE(DrawnAt(*target.pages[1], QStringLiteral("130"), baRight, 12.6, 19.4, 15.7, 19.9));
}

TEST_F(TestReportSheetTest, OneHundredReadingsFitOneSheetAndNoReadingsDrawNothing) {
    TRecordingPages empty;
    PrintTestReportSheet(empty, *header); // not stored: no readings
    ASSERT_EQ(empty.pages.size(), 1u);
    EXPECT_TRUE(empty.pages[0]->texts.empty());
    EXPECT_TRUE(empty.pages[0]->lines.empty());

    header->HENSA.clear();
    Store(100);
    TRecordingPages target;
    PrintTestReportSheet(target, *header);
    ASSERT_EQ(target.pages.size(), 1u);
    const TRecordingCanvas& p = *target.pages[0];
    EXPECT_TRUE(DrawnAt(p, QStringLiteral("1 枚中の 1 枚目"), baLeft, 3.5, 4.7, 15.5, 5.2));
    EXPECT_TRUE(DrawnAt(p, QStringLiteral("99"), baRight, 4.25, 19.4, 7.3, 19.9));
    EXPECT_TRUE(DrawnAt(p, QStringLiteral("49.0"), baRight, 12.6, 18.4, 15.7, 18.9));
    EXPECT_TRUE(DrawnAt(p, QStringLiteral("100"), baRight, 12.6, 19.4, 15.7, 19.9));
    // An empty stored text leaves its box empty.
    const int top = PxY(19.9), bottom = PxY(20.4);
    for (const auto& t : p.texts)
        EXPECT_FALSE(t.x >= PxX(12.6) && t.y > top && t.y < bottom) << t.text.toStdString();
}

TEST_F(TestReportSheetTest, ValuesWiderThanTheirBoxesStayWholeOnOneLine) {
    header->Koji->Kojimei = QString(40, QChar(0x9053)); // 40 full-width characters "道"
    header->SOKUTEIKI = QStringLiteral("３ｍプロフィルメータ型１号機");
    // Readings 32.5, 32.3 and 2.5: d² 1056.25 and block sum ② 2105.79 are wider than the d²
    // column; the rest of the sheet holds zeros.
    TGridData grid;
    const char* readings[] = {"32.5", "32.3", "2.5"};
    for (int i = 0; i < 3; ++i)
        grid.SetCellText(2 + i, 1, QLatin1String(readings[i]));
    grid.SetCellText(16, 1, QStringLiteral("30.0"));
    SaveMeasurement(*header, grid);
    TRecordingPages target;
    PrintTestReportSheet(target, *header);
    ASSERT_EQ(target.pages.size(), 1u);
    const TRecordingCanvas& p = *target.pages[0];

    struct TCase {
        QString text;
        TBoxAlign align;
        double l, t, r, b;
    };
    const TCase cases[] = {
        {header->Koji->Kojimei, baLeft, 3.5, 2.7, 15.5, 3.2},
        {header->SOKUTEIKI, baLeft, 10.4, 3.7, 15.5, 4.2},
        {QStringLiteral("1056.25"), baRight, 2.1, 5.9, 3.11, 6.4},
        {QStringLiteral("2105.79"), baRight, 2.1, 11.4, 3.11, 11.9},
    };
    for (const TCase& c : cases) {
        // The whole value is the one text in its box.
        const TRecordedText* inBox = nullptr;
        int texts = 0;
        for (const auto& t : p.texts)
            if (t.y >= PxY(c.t) && t.y < PxY(c.b) && t.x >= PxX(c.l) - 1 && t.x < PxX(c.r)) {
                inBox = &t;
                ++texts;
            }
        ASSERT_EQ(texts, 1) << c.text.toStdString();
        const TRecordedText& t = *inBox;
        EXPECT_EQ(t.text, c.text);
        const int W = int(std::trunc((c.r - c.l) * 600 / 2.54));
        // Condensed just enough: it fits, one percent wider would not.
        EXPECT_GE(t.widthPercent, 50) << c.text.toStdString();
        EXPECT_LT(t.widthPercent, 100) << c.text.toStdString();
        EXPECT_LE(Width(t), W) << c.text.toStdString();
        EXPECT_GT(Width(t, t.widthPercent + 1), W) << c.text.toStdString();
        EXPECT_TRUE(DrawnAt(p, c.text, c.align, c.l, c.t, c.r, c.b)) << c.text.toStdString();
    }
    // Values that fit and the form's own labels are drawn as they always were.
    EXPECT_EQ(Find(p, QStringLiteral("32.5"))[0]->widthPercent, 100);
    EXPECT_EQ(Find(p, QStringLiteral("6.25"))[0]->widthPercent, 100);
    EXPECT_EQ(Find(p, QStringLiteral("試")).size(), 1u); // "試験" above "報告", spread
    EXPECT_EQ(Find(p, QStringLiteral("報")).size(), 1u);
}

TEST(FormatEraDateTest, EraNameAndYearOfTheEra) {
    EXPECT_EQ(FormatEraDate(QDate(2003, 6, 19)), QStringLiteral("平成15年6月19日"));
    EXPECT_EQ(FormatEraDate(QDate(2019, 4, 30)), QStringLiteral("平成31年4月30日"));
    EXPECT_EQ(FormatEraDate(QDate(2019, 5, 1)), QStringLiteral("令和1年5月1日"));
    EXPECT_EQ(FormatEraDate(QDate(1989, 1, 7)), QStringLiteral("昭和64年1月7日"));
    EXPECT_EQ(FormatEraDate(QDate(1989, 1, 8)), QStringLiteral("平成1年1月8日"));
    EXPECT_EQ(FormatEraDate(QDate(1926, 12, 24)), QStringLiteral("大正15年12月24日"));
    EXPECT_EQ(FormatEraDate(QDate(1912, 7, 29)), QStringLiteral("明治45年7月29日"));
    EXPECT_EQ(FormatEraDate(QDate(1867, 5, 1)), QStringLiteral("1867年5月1日"));
    EXPECT_EQ(FormatEraDate(QDate()), QString());
}

TEST_F(TestReportSheetTest, WrittenToPdfEachSheetIsAPageWithItsTexts) {
    Store(101);
    SetPrinterSource([] { return PdfPrinter(600, 12); });
    TPageDocument doc;
    doc.BeginDoc();
    EXPECT_EQ(PrintTestReportSheet(doc, *header), 2);
    doc.EndDoc();
    const QString file = QDir(env.Root()).filePath(QStringLiteral("sheet.pdf"));
    SavePagesAsPdf(doc.Pages(), 1, 2, 100, 100, *CurrentPrinter(), file, QString());
    ASSERT_EQ(test::PdfPageCount(file), 2);
    EXPECT_TRUE(test::PdfPageText(file, 1).contains(QStringLiteral("2 枚中の 1 枚目")));
    const QString second = test::PdfPageText(file, 2);
    EXPECT_TRUE(second.contains(QStringLiteral("2 枚中の 2 枚目")));
    EXPECT_TRUE(second.contains(QStringLiteral("国道改良工事")));
    EXPECT_TRUE(second.contains(QStringLiteral("0.37")));
}

} // namespace
} // namespace tv
