// Readings files (grid and logger layouts) and blocks of cells pasted into the grid.
#include "measurement/ReadingsFile.h"
#include "platform/Errors.h"
#include "platform/GridBlock.h"
#include "platform/GridData.h"
#include "tests/support/TestEnv.h"

namespace tv::test {
namespace {

QString Message(const QString& text, TReadingsLayout layout) {
    TGridData grid;
    try {
        ReadReadings(text, layout, grid);
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return QString();
}

TEST(LoggerLayout, FillsLinesOfTenAndStartsALineWhereThePositionChanges) {
    QString text = QStringLiteral("位置,測定値\n");
    for (int i = 0; i < 12; ++i) // twelve readings at No.0: a full line and two more
        text += QStringLiteral("No.0,%1\n").arg(i);
    text += QStringLiteral("No.1,*１．５\n,2.5\nNo.1,3\n");
    TGridData grid;
    EXPECT_EQ(ReadReadings(text, TReadingsLayout::Detect, grid), TReadingsLayout::Logger);
    EXPECT_EQ(grid.CellText(1, 1), QStringLiteral("No.0"));
    EXPECT_EQ(grid.CellText(11, 1), QStringLiteral("9.0"));
    EXPECT_EQ(grid.CellText(1, 2), QString());
    EXPECT_EQ(grid.CellText(2, 2), QStringLiteral("10.0"));
    EXPECT_EQ(grid.CellText(3, 2), QStringLiteral("11.0"));
    EXPECT_EQ(grid.CellText(4, 2), QString());
    // The new position starts line 3; a full-width excluded reading, then the line goes on.
    EXPECT_EQ(grid.CellText(1, 3), QStringLiteral("No.1"));
    EXPECT_EQ(grid.CellText(2, 3), QStringLiteral("1.5"));
    EXPECT_EQ(grid.CellColor(2, 3), kColorRed);
    EXPECT_EQ(grid.CellText(3, 3), QStringLiteral("2.5"));
    EXPECT_EQ(grid.CellText(4, 3), QStringLiteral("3.0"));
    EXPECT_EQ(LastFilledRow(grid), 3);

    // Readings alone, tab-separated file with a position column.
    TGridData plain;
    ReadReadings(QStringLiteral("1\n2\n3\n"), TReadingsLayout::Detect, plain);
    EXPECT_EQ(plain.CellText(4, 1), QStringLiteral("3.0"));
    TGridData tabs;
    ReadReadings(QStringLiteral("A\t1\nA\t2\nB\t3\n"), TReadingsLayout::Logger, tabs);
    EXPECT_EQ(tabs.CellText(1, 2), QStringLiteral("B"));
    EXPECT_EQ(tabs.CellText(2, 2), QStringLiteral("3.0"));
}

TEST(LoggerLayout, ReadingsEachStampedWithTheirDistanceFillLinesOfTen) {
    QString text;
    for (int i = 0; i < 25; ++i) // a reading every 1.5 m, blank lines in between
        text += QStringLiteral("%1,%2\n").arg(i * 1.5, 0, 'f', 1).arg(i % 7) +
                (i % 5 ? QString() : QStringLiteral("\n"));
    TGridData grid;
    ReadReadings(text, TReadingsLayout::Detect, grid);
    EXPECT_EQ(grid.CellText(1, 1), QStringLiteral("0.0"));
    EXPECT_EQ(grid.CellText(11, 1), QStringLiteral("2.0")); // the tenth reading, 9 % 7
    EXPECT_EQ(grid.CellText(1, 2), QStringLiteral("15.0"));
    EXPECT_EQ(grid.CellText(1, 3), QStringLiteral("30.0"));
    EXPECT_EQ(grid.CellText(6, 3), QStringLiteral("3.0")); // the 25th reading, 24 % 7
    EXPECT_EQ(LastFilledRow(grid), 3);
    EXPECT_EQ(CountRead(grid).readings, 25);
    EXPECT_EQ(CountRead(grid).lines, 3);
}

TEST(ReadingsFile, HeadersBlankLinesAndEmptyFilesAreReadOneWay) {
    // Blank lines are empty grid lines, at the start too; they never end the file.
    TGridData grid;
    ReadReadings(QStringLiteral("\nNo.1,1,2\n\nNo.3,3,4\n"), TReadingsLayout::Grid, grid);
    EXPECT_EQ(grid.CellText(1, 2), QStringLiteral("No.1"));
    EXPECT_EQ(grid.CellText(2, 4), QStringLiteral("3.0"));
    // A header is readings without a number, or the column numbers, ASCII or full-width.
    for (const char* header : {"位置,a,b,c", "測定位置,1,2,3,4,5,6,7,8,9,10",
                               "測定位置,１,２,３,４,５,６,７,８,９,１０,Σd,Σ(d2),最大,最小,Ｒ"}) {
        TGridData withHeader;
        ReadReadings(QString::fromUtf8(header) + QStringLiteral("\nNo.1,5\n"),
                     TReadingsLayout::Grid, withHeader);
        EXPECT_EQ(withHeader.CellText(2, 1), QStringLiteral("5.0")) << header;
    }
    // A first line with a typo is data with an error, not a header; readings 1, 2, 3 are data.
    EXPECT_EQ(Message(QStringLiteral("No.1,1.2mm,2,3\n"), TReadingsLayout::Grid),
              QStringLiteral("1 行目 2 列目 '1.2mm' は数値ではありません"));
    TGridData numbers;
    ReadReadings(QStringLiteral("x,1,2,3\n"), TReadingsLayout::Grid, numbers);
    EXPECT_EQ(numbers.CellText(4, 1), QStringLiteral("3.0"));
    // Nothing to read is refused, in either layout.
    for (const char* empty : {"", "\n\n", "測定位置,1,2,3,4,5,6,7,8,9,10\n", "位置,測定値\n"})
        EXPECT_EQ(Message(QString::fromUtf8(empty), TReadingsLayout::Detect),
                  QStringLiteral("測定値がありません（読み込むものがありません）"))
            << empty;
}

TEST(LoggerLayout, ABadRecordStopsTheReadingNamingItsLine) {
    EXPECT_EQ(Message(QStringLiteral("1\n2\nabc\n"), TReadingsLayout::Logger),
              QStringLiteral("3 行目 1 列目 'abc' は数値ではありません"));
    EXPECT_TRUE(Message(QStringLiteral("A,1,2\n"), TReadingsLayout::Logger)
                    .startsWith(QStringLiteral("1 行目の項目数が 2 を超えています")));
    EXPECT_EQ(Message(QStringLiteral("1\n123456789\n"), TReadingsLayout::Logger),
              QStringLiteral("2 行目 1 列目 '123456789' は -99999999～99999999 の範囲外です"));
    // 5,001 readings do not fit 500 lines of ten.
    QString many;
    for (int i = 0; i < 5001; ++i)
        many += QStringLiteral("1\n");
    EXPECT_TRUE(Message(many, TReadingsLayout::Logger).startsWith(QStringLiteral("5001 行目")));
}

TEST(GridLayout, SkipsAHeaderLineAndRefusesABadField) {
    const QString header =
        QStringLiteral("測定位置,１,２,３,４,５,６,７,８,９,１０,Σd,Σ(d2),最大,最小,Ｒ\n");
    TGridData grid;
    EXPECT_EQ(ReadReadings(header + QStringLiteral("No.0,1.25,*2,,,,,,,,,,,,,\n"),
                           TReadingsLayout::Detect, grid),
              TReadingsLayout::Grid);
    EXPECT_EQ(grid.CellText(1, 1), QStringLiteral("No.0"));
    EXPECT_EQ(grid.CellText(2, 1), QStringLiteral("1.3"));
    EXPECT_EQ(grid.CellColor(3, 1), kColorRed);
    EXPECT_EQ(Message(header + QStringLiteral("No.0,1,2\nNo.1,1,x\n"), TReadingsLayout::Grid),
              QStringLiteral("3 行目 3 列目 'x' は数値ではありません"));
}

TEST(PasteBlock, IsCheckedWholeBeforeAnythingIsWritten) {
    std::vector<TBlockCell> cells;
    // A good block of tab-separated fields (a spreadsheet's copy), full-width digits included.
    const std::vector<QStringList> good = SplitBlockText(QStringLiteral("1.5\t*2\t\r\n３\t-4\r\n"));
    ASSERT_EQ(good.size(), 2u);
    EXPECT_EQ(CheckBlock(good, 2, 1, cells), QString());
    ASSERT_EQ(cells.size(), 5u);
    TGridData grid;
    WriteBlock(grid, cells);
    EXPECT_EQ(BlockText(grid, 2, 1, 4, 2), QStringLiteral("1.5\t*2.0\t\n3.0\t-4.0\t\n"));

    // A bad field anywhere refuses the block, naming the cell; nothing is handed out.
    std::vector<TBlockCell> none;
    const std::vector<QStringList> bad = SplitBlockText(QStringLiteral("1,2,3\n4,abc,6\n"));
    EXPECT_EQ(CheckBlock(bad, 4, 2, none),
              QStringLiteral("3 行 5 列目 'abc' は数値ではありません"));
    EXPECT_TRUE(none.empty());
    // Past column 16 or row 500.
    EXPECT_EQ(CheckBlock(SplitBlockText(QStringLiteral("1\t2\t3")), 15, 1, none),
              QStringLiteral("1 行 17 列目 '3' は表の外です（表は 16 列 500 行まで）"));
    EXPECT_TRUE(CheckBlock(SplitBlockText(QStringLiteral("1\n2")), 2, 500, none)
                    .startsWith(QStringLiteral("501 行 2 列目")));
    EXPECT_TRUE(none.empty());
}

TEST(GridLayout, FillsAllFiveHundredRowsAndRefusesTheFiveHundredAndFirst) {
    QString text;
    for (int r = 1; r <= 500; ++r)
        text += QStringLiteral("No.%1,%1\n").arg(r);
    TGridData grid;
    EXPECT_EQ(ReadReadings(text, TReadingsLayout::Grid, grid), TReadingsLayout::Grid);
    EXPECT_EQ(grid.CellText(2, 500), QStringLiteral("500.0"));
    EXPECT_EQ(LastFilledRow(grid), 500);
    const QString refused = Message(text + QStringLiteral("No.501,1\n"), TReadingsLayout::Grid);
    EXPECT_TRUE(refused.contains(QStringLiteral("501"))) << refused.toStdString();
}

TEST(LoggerLayout, ReadsEveryFullWidthDigitMinusSignAndFullStop) {
    QString text = QStringLiteral("1\n"); // an ASCII first record: no header to skip
    for (int d = 0; d <= 9; ++d) {
        const QChar wide(char16_t(0xFF10 + d));
        text += (d % 2 ? QStringLiteral("－") : QStringLiteral("ー")) + wide +
                QStringLiteral("．") + wide + QLatin1Char('\n');
    }
    TGridData grid;
    ReadReadings(text, TReadingsLayout::Logger, grid);
    for (int d = 0; d <= 9; ++d)
        EXPECT_EQ(grid.CellText(2 + (d + 1) % 10, 1 + (d + 1) / 10),
                  d ? QStringLiteral("-%1.%1").arg(d) : QStringLiteral("0.0"));
}

TEST(PasteBlock, ALoneExclusionMarkIsAnEmptyCellNotAnExcludedOne) {
    std::vector<TBlockCell> cells;
    EXPECT_EQ(CheckBlock(SplitBlockText(QStringLiteral("*\t* 2")), 2, 1, cells), QString());
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0].input.color, kColorBlack);
    EXPECT_EQ(cells[1].input.color, kColorRed);
}

} // namespace
} // namespace tv::test
