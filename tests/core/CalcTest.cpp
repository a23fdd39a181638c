// The flatness calculations on the in-memory grid.
#include "measurement/Calc.h"

#include "platform/Errors.h"
#include "platform/GridData.h"

#include <gtest/gtest.h>
#include <map>
#include <utility>

namespace tv {
namespace {

// Remembers the texts written into the result columns, before the cells format them.
class RecordingGrid : public TGridData {
public:
    void SetText(const QString& text) override {
        if (Col() >= 12)
            written[{Col(), Row()}] = text;
        TGridData::SetText(text);
    }
    void SetResultText(const QString& text) override {
        written[{Col(), Row()}] = text;
        TGridData::SetResultText(text);
    }
    std::map<std::pair<int, int>, QString> written;
};

class CalcTest : public ::testing::Test {
protected:
    // Fills row `row` from column 2 on; a reading starting with '*' is excluded (red).
    void Line(int row, std::initializer_list<const char*> readings) {
        int col = 2;
        for (const char* reading : readings) {
            QString text = QString::fromUtf8(reading);
            const bool excluded = text.startsWith(QLatin1Char('*'));
            if (excluded)
                text.remove(0, 1);
            grid.SetCellText(col, row, text);
            grid.SetForeColor(excluded ? kColorRed : kColorBlack);
            ++col;
        }
    }
    void Run() {
        CalcReadings(grid, boxes);
        CalcRanges(grid, boxes);
    }
    QString Box(ResultBox box) const { return boxes.BoxText(box); }
    QString Cell(int col, int row) const { return grid.CellText(col, row); }

    RecordingGrid grid;
    TMemoryCalcTarget boxes;
};

TEST_F(CalcTest, OneLineGivesItsSumsExtremesRangeAndTotals) {
    Line(1, {"1.5", "2.0", "-0.5"});
    Run();
    EXPECT_EQ(Cell(12, 1), QStringLiteral("3.0"));
    EXPECT_EQ(Cell(13, 1), QStringLiteral("6.50"));
    EXPECT_EQ(Cell(14, 1), QStringLiteral("2.0"));
    EXPECT_EQ(Cell(15, 1), QStringLiteral("-0.5"));
    EXPECT_EQ(Cell(16, 1), QStringLiteral("2.5"));
    EXPECT_EQ(Box(ResultBox::Edit5), QStringLiteral("3.0"));
    EXPECT_EQ(Box(ResultBox::Edit6), QStringLiteral("6.50"));
    EXPECT_EQ(Box(ResultBox::Edit7), QStringLiteral("3"));
    EXPECT_EQ(Box(ResultBox::Edit8), QStringLiteral("1.32")); // sqrt(1.75)
    // One group: G defaults to 10, σ = 2.5 / 3.08.
    EXPECT_EQ(Box(ResultBox::Edit9), QStringLiteral("2.5"));
    EXPECT_EQ(Box(ResultBox::Edit10), QStringLiteral("1"));
    EXPECT_EQ(Box(ResultBox::Edit11), QStringLiteral("0.81"));
    EXPECT_EQ(Box(ResultBox::Edit13), QStringLiteral("10"));
    EXPECT_EQ(boxes.GP(), QStringLiteral("10"));
    EXPECT_EQ(boxes.Status(), QString());
}

TEST_F(CalcTest, ResultCellsReceiveTheSinglePrecisionValueInGeneralFormat) {
    Line(1, {"0.8", "1.1"});
    CalcReadings(grid, boxes);
    EXPECT_EQ((grid.written[{14, 1}]), QStringLiteral("1.10000002384186"));
    EXPECT_EQ((grid.written[{15, 1}]), QStringLiteral("0.800000011920929"));
    // Rounded to single precision after the addition (in double it would be 1.90000003576279).
    EXPECT_EQ((grid.written[{12, 1}]), QStringLiteral("1.90000009536743"));
    // The range is the exact difference of the two single values.
    EXPECT_EQ((grid.written[{16, 1}]), QStringLiteral("0.300000011920929"));
    EXPECT_EQ(Cell(16, 1), QStringLiteral("0.3"));
}

TEST_F(CalcTest, SumsAccumulateInSinglePrecision) {
    // 16777216 + 1 is not representable in single precision: the 1 is lost, as in the
    // program whose results these must match.
    Line(1, {"16777216", "1"});
    Run();
    EXPECT_EQ(Cell(12, 1), QStringLiteral("16777216.0"));
    EXPECT_EQ(Box(ResultBox::Edit5), QStringLiteral("16777216.0"));
    // The total adds the lines' shown sums into a single-precision total as well.
    grid.SetCellText(3, 1, QString());
    Line(2, {"1"});
    Run();
    EXPECT_EQ(Cell(12, 2), QStringLiteral("1.0"));
    EXPECT_EQ(Box(ResultBox::Edit5), QStringLiteral("16777216.0"));
    EXPECT_EQ(Box(ResultBox::Edit7), QStringLiteral("2"));
}

TEST_F(CalcTest, ExcludedReadingsAreNeitherSummedNorCounted) {
    Line(1, {"1", "*50", "3"});
    Run();
    EXPECT_EQ(Cell(12, 1), QStringLiteral("4.0"));
    EXPECT_EQ(Cell(14, 1), QStringLiteral("3.0"));
    EXPECT_EQ(Box(ResultBox::Edit7), QStringLiteral("2"));

    // A line whose readings are all excluded sums to zero and has no range: no group.
    Line(1, {"*1", "*50", "*3"});
    Run();
    EXPECT_EQ(Cell(12, 1), QStringLiteral("0.0"));
    EXPECT_EQ(Cell(13, 1), QStringLiteral("0.00"));
    EXPECT_EQ(Cell(14, 1), QString());
    EXPECT_EQ(Cell(16, 1), QString());
    EXPECT_EQ(Box(ResultBox::Edit7), QStringLiteral("0"));
    EXPECT_EQ(Box(ResultBox::Edit8), QString());
    EXPECT_EQ(Box(ResultBox::Edit10), QStringLiteral("0"));
    EXPECT_EQ(Box(ResultBox::Edit11), QString());
}

TEST_F(CalcTest, LargeReadingsHaveTheirOwnExtremes) {
    Line(1, {"100", "150"});
    Line(2, {"-100", "-200"});
    grid.SetCellText(14, 2, QStringLiteral("7")); // typed over a line with readings: replaced
    grid.SetCellText(15, 2, QStringLiteral("4"));
    Run();
    EXPECT_EQ(Cell(12, 1), QStringLiteral("250.0"));
    EXPECT_EQ(Cell(14, 1), QStringLiteral("150.0"));
    EXPECT_EQ(Cell(16, 1), QStringLiteral("50.0"));
    EXPECT_EQ(Cell(14, 2), QStringLiteral("-100.0"));
    EXPECT_EQ(Cell(16, 2), QStringLiteral("100.0"));
    EXPECT_EQ(Box(ResultBox::Edit10), QStringLiteral("2"));
}

TEST_F(CalcTest, EveryRowCountsAndNothingOfAnEarlierCalculationStays) {
    Line(1, {"1", "2"});
    Line(2, {"", "5"}); // no first reading: a line all the same, of one reading
    Line(3, {"4", "4"});
    Run();
    EXPECT_EQ(Cell(12, 2), QStringLiteral("5.0"));
    EXPECT_EQ(Cell(16, 2), QString());
    EXPECT_EQ(Cell(12, 3), QStringLiteral("8.0"));
    EXPECT_EQ(Box(ResultBox::Edit5), QStringLiteral("16.0"));
    EXPECT_EQ(Box(ResultBox::Edit7), QStringLiteral("5"));
    EXPECT_EQ(Box(ResultBox::Edit10), QStringLiteral("2"));
    // A sum typed or pasted over a line is recalculated, never counted.
    grid.SetCellText(12, 2, QStringLiteral("9"));
    grid.SetCellText(12, 7, QStringLiteral("9"));
    Run();
    EXPECT_EQ(Cell(12, 2), QStringLiteral("5.0"));
    EXPECT_EQ(Cell(12, 7), QString());
    EXPECT_EQ(Box(ResultBox::Edit5), QStringLiteral("16.0"));
    // Readings cleared take their line's results with them; a group typed as 最大 and 最小 in
    // a line without readings stays.
    grid.SetCellText(14, 9, QStringLiteral("3"));
    grid.SetCellText(15, 9, QStringLiteral("1"));
    Line(3, {"", ""});
    Run();
    EXPECT_EQ(Cell(12, 3), QString());
    EXPECT_EQ(Cell(14, 3), QString());
    EXPECT_EQ(Cell(16, 3), QString());
    EXPECT_EQ(Cell(16, 9), QStringLiteral("2.0"));
    EXPECT_EQ(Box(ResultBox::Edit10), QStringLiteral("2")); // rows 1 and 9
    EXPECT_EQ(Box(ResultBox::Edit9), QStringLiteral("3.0"));
    // Without its smallest value the typed group has no range any more.
    grid.SetCellText(15, 9, QString());
    Run();
    EXPECT_EQ(Cell(14, 9), QStringLiteral("3.0"));
    EXPECT_EQ(Cell(16, 9), QString());
    EXPECT_EQ(Box(ResultBox::Edit10), QStringLiteral("1"));
}

TEST_F(CalcTest, AnEmptyGridGivesZeroSumsAndNoSigma) {
    boxes.SetBoxText(ResultBox::Edit8, QStringLiteral("9.99"));
    boxes.SetBoxText(ResultBox::Edit11, QStringLiteral("9.99"));
    grid.SetCellText(14, 2, QStringLiteral("5")); // a largest value alone is no group
    Run();
    EXPECT_EQ(Box(ResultBox::Edit5), QStringLiteral("0.0"));
    EXPECT_EQ(Box(ResultBox::Edit6), QStringLiteral("0.00"));
    EXPECT_EQ(Box(ResultBox::Edit7), QStringLiteral("0"));
    EXPECT_EQ(Box(ResultBox::Edit8), QString());
    EXPECT_EQ(Box(ResultBox::Edit9), QStringLiteral("0.0"));
    EXPECT_EQ(Box(ResultBox::Edit10), QStringLiteral("0"));
    EXPECT_EQ(Box(ResultBox::Edit11), QString());
    EXPECT_EQ(Box(ResultBox::Edit13), QString());
    EXPECT_EQ(boxes.GP(), QString());
    EXPECT_EQ(Cell(14, 2), QStringLiteral("5.0"));
}

TEST_F(CalcTest, SigmaNeedsTwoReadingsAndNeverGoesNegative) {
    boxes.SetBoxText(ResultBox::Edit8, QStringLiteral("9.99"));
    Line(1, {"2.5"});
    Run();
    EXPECT_EQ(Box(ResultBox::Edit7), QStringLiteral("1"));
    EXPECT_EQ(Box(ResultBox::Edit8), QString());

    // Two readings of 1.1: in single precision Σd² - (Σd)²/n comes out just below zero.
    Line(1, {"1.1", "1.1"});
    Run();
    EXPECT_EQ(Box(ResultBox::Edit7), QStringLiteral("2"));
    EXPECT_EQ(Box(ResultBox::Edit8), QStringLiteral("0.00"));
}

TEST_F(CalcTest, GroupRangesFromTypedExtremesOrTypedRanges) {
    for (int r = 1; r <= 10; ++r) {
        grid.SetCellText(14, r, QStringLiteral("3"));
        grid.SetCellText(15, r, QStringLiteral("1"));
    }
    boxes.SetBoxText(ResultBox::Edit13, QStringLiteral("10"));
    CalcRanges(grid, boxes);
    EXPECT_EQ(Cell(16, 10), QStringLiteral("2.0"));
    EXPECT_EQ(Box(ResultBox::Edit9), QStringLiteral("20.0"));
    EXPECT_EQ(Box(ResultBox::Edit10), QStringLiteral("10"));
    EXPECT_EQ(Box(ResultBox::Edit11), QStringLiteral("0.65"));

    boxes.SetBoxText(ResultBox::Edit13, QStringLiteral("6"));
    CalcRanges(grid, boxes);
    EXPECT_EQ(Box(ResultBox::Edit11), QStringLiteral("0.79")); // 2.0 / 2.53
    EXPECT_EQ(boxes.GP(), QStringLiteral("6"));

    // A typed range counts unchanged where the extremes are empty; otherwise it is replaced.
    grid.SetCellText(16, 11, QStringLiteral("4.5"));
    grid.SetCellText(16, 1, QStringLiteral("9"));
    CalcRanges(grid, boxes);
    EXPECT_EQ(Cell(16, 1), QStringLiteral("2.0"));
    EXPECT_EQ(Cell(16, 11), QStringLiteral("4.5"));
    EXPECT_EQ(Box(ResultBox::Edit9), QStringLiteral("24.5"));
    EXPECT_EQ(Box(ResultBox::Edit10), QStringLiteral("11"));
}

TEST_F(CalcTest, GroupSizeWithoutRangeFactorLeavesSigmaEmptyAndSaysWhy) {
    for (int r = 1; r <= 10; ++r)
        grid.SetCellText(16, r, QStringLiteral("2"));
    boxes.SetBoxText(ResultBox::Edit11, QStringLiteral("1.00"));
    for (const char* g : {"5", "11", "0", "-7"}) {
        boxes.SetBoxText(ResultBox::Edit13, QString::fromLatin1(g));
        CalcRanges(grid, boxes);
        EXPECT_EQ(Box(ResultBox::Edit9), QStringLiteral("20.0")) << g;
        EXPECT_EQ(Box(ResultBox::Edit10), QStringLiteral("10")) << g;
        EXPECT_EQ(Box(ResultBox::Edit11), QString()) << g;
        EXPECT_EQ(boxes.Status(), QStringLiteral("Ｇは 6～10 の整数で入力してください")) << g;
    }
    // A valid size again clears the status.
    boxes.SetBoxText(ResultBox::Edit13, QStringLiteral("+8"));
    CalcRanges(grid, boxes);
    EXPECT_EQ(Box(ResultBox::Edit11), QStringLiteral("0.70")); // 2.0 / 2.85
    EXPECT_EQ(boxes.Status(), QString());
}

TEST_F(CalcTest, GroupSizeThatIsNoWholeNumberLeavesNoSigmaAndStops) {
    grid.SetCellText(16, 1, QStringLiteral("2"));
    boxes.SetBoxText(ResultBox::Edit9, QStringLiteral("a"));
    boxes.SetBoxText(ResultBox::Edit10, QStringLiteral("b"));
    boxes.SetBoxText(ResultBox::Edit11, QStringLiteral("c"));
    for (const char* g : {"abc", "7.5", " 7", "7 ", "-", "99999999999"}) {
        boxes.SetBoxText(ResultBox::Edit13, QString::fromLatin1(g));
        try {
            CalcRanges(grid, boxes);
            ADD_FAILURE() << "no error for " << g;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(),
                      QStringLiteral("'%1' は整数ではありません").arg(QLatin1String(g)));
        }
        EXPECT_EQ(boxes.GP(), QString::fromLatin1(g));
        EXPECT_EQ(Box(ResultBox::Edit9), QStringLiteral("2.0"));
        EXPECT_EQ(Box(ResultBox::Edit10), QStringLiteral("1"));
        EXPECT_EQ(Box(ResultBox::Edit11), QString());
    }
}

} // namespace
} // namespace tv
