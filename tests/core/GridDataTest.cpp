// The in-memory grid: column formats, number-cell validation, addressing and block clearing.
#include "platform/GridData.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace tv {
namespace {

TEST(GridData, NumberCellsShowAndGiveBackTheirColumnFormat) {
    TGridData grid;
    grid.SetCellText(2, 1, QStringLiteral("1.25"));
    EXPECT_EQ(grid.GetCellText(2, 1), QStringLiteral("1.3"));
    grid.SetCellText(13, 1, QStringLiteral("6.5"));
    EXPECT_EQ(grid.GetCellText(13, 1), QStringLiteral("6.50"));
    grid.SetCellText(16, 1, QStringLiteral("0.800000011920929"));
    EXPECT_EQ(grid.GetCellText(16, 1), QStringLiteral("0.8"));
    grid.SetCellText(12, 1, QStringLiteral(" -0.04 "));
    EXPECT_EQ(grid.GetCellText(12, 1), QStringLiteral("0.0"));
    grid.SetCellText(14, 1, QStringLiteral("1E-6"));
    EXPECT_EQ(grid.GetCellText(14, 1), QStringLiteral("0.0"));
    // Column 1 is text, kept as given.
    grid.SetCellText(1, 1, QStringLiteral("No.1+20"));
    EXPECT_EQ(grid.GetCellText(1, 1), QStringLiteral("No.1+20"));
}

TEST(GridData, TextThatIsNoNumberOrOutOfRangeEmptiesANumberCell) {
    TGridData grid;
    for (const QString& bad : {QStringLiteral("abc"), QStringLiteral("1.2mm"), QString(),
                               QStringLiteral("100000000"), QStringLiteral("-99999999.5")}) {
        grid.SetCellText(5, 3, QStringLiteral("4"));
        grid.SetCellText(5, 3, bad);
        EXPECT_EQ(grid.GetCellText(5, 3), QString()) << bad.toStdString();
    }
    grid.SetCellText(11, 3, QStringLiteral("-99999999"));
    EXPECT_EQ(grid.GetCellText(11, 3), QStringLiteral("-99999999.0"));
    // Result columns have no reading limit.
    grid.SetCellText(13, 3, QStringLiteral("123456789"));
    EXPECT_EQ(grid.GetCellText(13, 3), QStringLiteral("123456789.00"));
}

TEST(GridData, TypedTextIsCheckedByColumn) {
    EXPECT_TRUE(TGridData::AcceptsText(1, QStringLiteral("0123456789")));
    EXPECT_FALSE(TGridData::AcceptsText(1, QStringLiteral("01234567890")));
    // The measuring position is stored in 10 bytes: five Japanese characters fill it.
    EXPECT_TRUE(TGridData::AcceptsText(1, QStringLiteral("測点１２３")));
    EXPECT_FALSE(TGridData::AcceptsText(1, QStringLiteral("測点１２３４")));
    EXPECT_TRUE(TGridData::AcceptsText(2, QString()));
    EXPECT_TRUE(TGridData::AcceptsText(2, QStringLiteral("99999999")));
    EXPECT_FALSE(TGridData::AcceptsText(2, QStringLiteral("99999999.1")));
    EXPECT_FALSE(TGridData::AcceptsText(11, QStringLiteral("x")));
    EXPECT_TRUE(TGridData::AcceptsText(12, QStringLiteral("123456789")));
    EXPECT_FALSE(TGridData::AcceptsText(16, QStringLiteral("1,5")));
    EXPECT_FALSE(TGridData::AcceptsText(0, QStringLiteral("1")));
    EXPECT_FALSE(TGridData::AcceptsText(17, QStringLiteral("1")));

    TGridData grid;
    EXPECT_TRUE(grid.EnterText(3, 2, QStringLiteral("2.5")));
    EXPECT_FALSE(grid.EnterText(3, 2, QStringLiteral("x")));
    EXPECT_EQ(grid.CellText(3, 2), QStringLiteral("2.5"));
    EXPECT_FALSE(grid.EnterText(1, 2, QStringLiteral("01234567890")));
    EXPECT_EQ(grid.CellText(1, 2), QString());
    EXPECT_FALSE(grid.EnterText(3, 501, QStringLiteral("1")));
}

TEST(GridData, NumberCellsRoundTheTypedDigitsAndReadFullWidthInput) {
    TGridData grid;
    const std::pair<const char*, const char*> typed[] = {
        {"1.45", "1.5"},  {"０．３５", "0.4"}, {"－０．１５", "-0.2"},
        {"2.675", "2.7"}, {"0.449", "0.4"},    {"-0.04", "0.0"}};
    int col = 2;
    for (const auto& [text, shown] : typed) {
        EXPECT_TRUE(grid.EnterText(col, 1, QString::fromUtf8(text))) << text;
        EXPECT_EQ(grid.CellText(col++, 1), QLatin1String(shown)) << text;
    }
    grid.SetCellText(13, 1, QStringLiteral("2.675"));
    EXPECT_EQ(grid.CellText(13, 1), QStringLiteral("2.68"));
    // What rounds beyond the reading limit is refused, as is a comma.
    EXPECT_FALSE(TGridData::AcceptsText(2, QStringLiteral("99999999.96")));
    EXPECT_FALSE(grid.EnterText(2, 2, QStringLiteral("3,5")));
    // Every full-width digit, both minus signs of a Japanese keyboard and the full stop.
    for (int d = 0; d <= 9; ++d) {
        const QChar wide(char16_t(0xFF10 + d));
        const QString minus = d % 2 ? QStringLiteral("－") : QStringLiteral("ー");
        EXPECT_TRUE(grid.EnterText(2, 3 + d, minus + wide + QStringLiteral("．") + wide));
        EXPECT_EQ(grid.CellText(2, 3 + d),
                  d ? QStringLiteral("-%1.%1").arg(d) : QStringLiteral("0.0"))
            << d;
    }
}

TEST(GridData, AddressingAndCellsOutsideTheSheet) {
    TGridData grid;
    EXPECT_EQ(grid.MaxRows(), 500);
    grid.SetCellText(16, 500, QStringLiteral("3"));
    EXPECT_EQ(grid.Col(), 16);
    EXPECT_EQ(grid.Row(), 500);
    EXPECT_EQ(grid.Text(), QStringLiteral("3.0"));
    EXPECT_EQ(grid.CellText(16, 500), QStringLiteral("3.0"));
    // Neighbouring cells are separate.
    EXPECT_EQ(grid.CellText(15, 500), QString());
    EXPECT_EQ(grid.CellText(1, 1), QString());
    // Outside the sheet nothing is stored and nothing is read.
    grid.SetCellText(17, 1, QStringLiteral("1"));
    grid.SetCellText(2, 501, QStringLiteral("1"));
    grid.SetCellText(0, 0, QStringLiteral("1"));
    EXPECT_EQ(grid.GetCellText(17, 1), QString());
    EXPECT_EQ(grid.GetCellText(2, 501), QString());
    EXPECT_EQ(grid.ForeColor(), kColorBlack);

    grid.SetCol(4);
    grid.SetRow(7);
    EXPECT_EQ(grid.ForeColor(), kColorBlack);
    grid.SetForeColor(kColorRed);
    EXPECT_EQ(grid.CellColor(4, 7), kColorRed);
    EXPECT_EQ(grid.CellColor(4, 8), kColorBlack);
}

TEST(GridData, BlockClearEmptiesTextAndResetsColour) {
    TGridData grid;
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 16; ++c)
            grid.SetCellText(c, r, QStringLiteral("1"));
    grid.SetCol(3);
    grid.SetRow(1);
    grid.SetForeColor(kColorRed);

    // A block: columns 2..3 of rows 1..2 (bounds may come in any order).
    grid.SetCol(3);
    grid.SetCol2(2);
    grid.SetRow(2);
    grid.SetRow2(1);
    grid.SetAction(kActionClearText);
    EXPECT_EQ(grid.CellText(2, 1), QString());
    EXPECT_EQ(grid.CellText(3, 2), QString());
    EXPECT_EQ(grid.CellColor(3, 1), kColorBlack);
    EXPECT_EQ(grid.CellText(1, 1), QStringLiteral("1"));
    EXPECT_EQ(grid.CellText(4, 1), QStringLiteral("1.0"));
    EXPECT_EQ(grid.CellText(2, 3), QStringLiteral("1.0"));

    // Other actions do nothing.
    grid.SetAction(1);
    EXPECT_EQ(grid.CellText(4, 1), QStringLiteral("1.0"));

    // The whole sheet.
    grid.SetCol(-1);
    grid.SetCol2(-1);
    grid.SetRow(-1);
    grid.SetRow2(-1);
    grid.SetAction(kActionClearText);
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 16; ++c)
            EXPECT_EQ(grid.CellText(c, r), QString()) << c << "," << r;
}

TEST(GridData, ReportsEveryChange) {
    TGridData grid;
    std::vector<std::pair<int, int>> changes;
    grid.onChanged = [&](int col, int row) { changes.emplace_back(col, row); };
    grid.SetCellText(2, 5, QStringLiteral("1"));
    grid.SetForeColor(kColorRed);
    grid.EnterText(1, 6, QStringLiteral("A"));
    grid.EnterText(2, 6, QStringLiteral("bad")); // refused: no change
    grid.SetCol(-1);
    grid.SetCol2(-1);
    grid.SetRow(-1);
    grid.SetRow2(-1);
    grid.SetAction(kActionClearText);
    const std::vector<std::pair<int, int>> expected{{2, 5}, {2, 5}, {1, 6}, {0, 0}};
    EXPECT_EQ(changes, expected);
}

} // namespace
} // namespace tv
