// The print primitives on a recording canvas at 600 pixels per inch: where texts, lines and boxes
// land in printer pixels.
#include "printing/PainterCanvas.h"
#include "printing/Primitives.h"
#include "printing/Printer.h"
#include "printing/RecordingCanvas.h"
#include "printing/StyleLine.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <cmath>
#include <gtest/gtest.h>

namespace tv {
namespace {

// Pixels of a centimetre position at 600 dpi with no offset.
int Px(double cm) {
    return int(std::trunc(600.0 * cm / 2.54));
}

class PrimitivesTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldSource = SetPrinterSource([] { return PdfPrinter(600, 0); });
        PageShiftX = 0;
        PageShiftY = 0;
        canvas.SetFontName(QStringLiteral("ＭＳ 明朝"));
        canvas.SetFontSize(11); // em 92 pixels, full-width characters 92 wide, cells 115 high
    }
    void TearDown() override {
        SetPrinterSource(oldSource);
        PageShiftX = 0;
        PageShiftY = 0;
    }
    QStringList Texts() const {
        QStringList list;
        for (const auto& t : canvas.texts)
            list << t.text;
        return list;
    }
    TPrinterSource oldSource;
    TRecordingCanvas canvas;
};

TEST_F(PrimitivesTest, HorizontalAlignmentsPlaceTheTextInsideTheBox) {
    ASSERT_EQ(canvas.FontEm(), 92);
    // Box 4 cm x 1 cm: W = 944, H = 236; the em box is centred: y = 472 + (236 - 92) / 2.
    const int y = Px(2) + 72;
    DrawTextBox(&canvas, QStringLiteral("試験"), baLeft, 1, 2, 5, 3);
    DrawTextBox(&canvas, QStringLiteral("試験"), baCenter, 1, 2, 5, 3);
    DrawTextBox(&canvas, QStringLiteral("試験"), baRight, 1, 2, 5, 3);
    ASSERT_EQ(canvas.texts.size(), 3u);
    EXPECT_EQ(canvas.texts[0].x, 236);
    EXPECT_EQ(canvas.texts[1].x, 616); // 236.22 + (944 - 184) / 2
    EXPECT_EQ(canvas.texts[2].x, 996); // 236.22 + 944 - 184
    for (const auto& t : canvas.texts)
        EXPECT_EQ(t.y, y);
    // Font size and brush come back as they were.
    EXPECT_EQ(canvas.FontSize(), 11);
    EXPECT_EQ(canvas.BrushStyle(), TBrushStyle::bsSolid);
}

TEST_F(PrimitivesTest, ScaleChangesTheFontForTheTextOnly) {
    DrawTextBox(&canvas, QStringLiteral("試"), baLeft, 1, 2, 5, 3, 0, 1.5f);
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(canvas.texts[0].fontSize, 16); // Trunc(11 * 1.5)
    EXPECT_EQ(canvas.FontSize(), 11);
}

TEST_F(PrimitivesTest, JustifySpreadsCharactersOverTheWholeWidth) {
    // Four characters of 92 in 944: gap (944 - 368) / 3 = 192.
    DrawTextBox(&canvas, QStringLiteral("グループ"), baJustify, 1, 2, 5, 3);
    ASSERT_EQ(Texts(), QStringList({QStringLiteral("グ"), QStringLiteral("ル"),
                                    QStringLiteral("ー"), QStringLiteral("プ")}));
    EXPECT_EQ(canvas.texts[0].x, 236);
    EXPECT_EQ(canvas.texts[1].x, 520);
    EXPECT_EQ(canvas.texts[2].x, 804);
    EXPECT_EQ(canvas.texts[3].x, 1088);
    EXPECT_EQ(canvas.texts[3].x + 92, 236 + 944);

    // A single character is centred.
    canvas.Clear();
    DrawTextBox(&canvas, QStringLiteral("計"), baJustify, 1, 2, 5, 3);
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(canvas.texts[0].x, 236 + (944 - 92) / 2);
}

TEST_F(PrimitivesTest, JustifyInsetShrinksTheBoxByATenthAtEachEnd) {
    // Box 0..2 cm becomes 0.2..1.8 cm: W = 377, gap 377 - 184 = 193.
    DrawTextBox(&canvas, QStringLiteral("用紙"), baJustifyInset, 0, 0, 2, 1);
    ASSERT_EQ(canvas.texts.size(), 2u);
    EXPECT_EQ(canvas.texts[0].x, 47);
    EXPECT_EQ(canvas.texts[1].x, 332);

    // Vertically the box is shrunk in height: 1 cm .. 5 cm becomes 1.4 .. 4.6.
    canvas.Clear();
    DrawTextBox(&canvas, QStringLiteral("記事"), baJustifyInset, 0, 1, 1, 5, 1);
    ASSERT_EQ(canvas.texts.size(), 2u);
    EXPECT_EQ(canvas.texts[0].y, Px(1.4f));
    // The last character ends at the shrunk bottom: H = Trunc(3.2 cm).
    EXPECT_NEAR(canvas.texts[1].y + 115, Px(1.4f) + Px(3.2f), 1);
}

TEST_F(PrimitivesTest, MultiLineLabelsTakeOneBandEach) {
    // "試験\\報告" in a box 1 cm high: two bands of 0.5 cm, each line centred in its band.
    DrawTextBox(&canvas, QStringLiteral("試験\\\\報告"), baCenter, 1, 2, 5, 3);
    ASSERT_EQ(Texts(), QStringList({QStringLiteral("試験"), QStringLiteral("報告")}));
    const int bandH = Px(0.5); // 118
    EXPECT_EQ(canvas.texts[0].y, Px(2) + (bandH - 92) / 2);
    EXPECT_EQ(canvas.texts[1].y, Px(2.5) + (bandH - 92) / 2);
    EXPECT_EQ(canvas.texts[0].x, 616);
    EXPECT_EQ(canvas.texts[1].x, 616);

    // Justified, each line spreads over the full width.
    canvas.Clear();
    DrawTextBox(&canvas, QStringLiteral("グループ\\\\の番号"), baJustify, 1, 2, 5, 3);
    ASSERT_EQ(canvas.texts.size(), 7u);
    EXPECT_EQ(canvas.texts[0].x, 236);
    EXPECT_EQ(canvas.texts[3].x + 92, 236 + 944);
    EXPECT_EQ(canvas.texts[4].text, QStringLiteral("の"));
    EXPECT_EQ(canvas.texts[4].x, 236);
    EXPECT_EQ(canvas.texts[6].x + 92, 236 + 944);
    EXPECT_GT(canvas.texts[4].y, canvas.texts[0].y);

    // Vertical labels take columns from left to right.
    canvas.Clear();
    DrawTextBox(&canvas, QStringLiteral("上\\\\下"), baLeft, 0, 0, 2, 4, 1);
    ASSERT_EQ(canvas.texts.size(), 2u);
    EXPECT_LT(canvas.texts[0].x, canvas.texts[1].x);
    EXPECT_EQ(canvas.texts[0].y, canvas.texts[1].y);

    // Three backslashes in a row are one separator and a backslash: two bands, not three.
    canvas.Clear();
    DrawTextBox(&canvas, QStringLiteral("試験\\\\\\報告"), baCenter, 1, 2, 5, 3);
    ASSERT_EQ(Texts(), QStringList({QStringLiteral("試験"), QStringLiteral("\\報告")}));
    EXPECT_EQ(canvas.texts[0].y, Px(2) + (bandH - 92) / 2);
    EXPECT_EQ(canvas.texts[1].y, Px(2.5) + (bandH - 92) / 2);
}

TEST_F(PrimitivesTest, TooWideTextSplitsIntoHalvesAtTheSameFontSize) {
    // W = Trunc(1.5 cm) = 354: "あいう" (276) fits, the fourth character reaches the width.
    DrawTextBox(&canvas, QStringLiteral("あいうえおかきく"), baLeft, 1, 2, 2.5f, 4);
    // The second half "えおかきく" (460) is still too wide and splits again.
    ASSERT_EQ(Texts(), QStringList({QStringLiteral("あいう"), QStringLiteral("えおか"),
                                    QStringLiteral("きく")}));
    for (const auto& t : canvas.texts)
        EXPECT_EQ(t.fontSize, 11);
    // Upper half (2..3 cm), then the quarters of the lower half (3..3.5, 3.5..4).
    EXPECT_EQ(canvas.texts[0].y, Px(2) + (Px(1) - 92) / 2);
    EXPECT_EQ(canvas.texts[1].y, Px(3) + (Px(0.5) - 92) / 2);
    EXPECT_EQ(canvas.texts[2].y, Px(3.5) + (Px(0.5) - 92) / 2);
    EXPECT_EQ(canvas.FontSize(), 11);
    EXPECT_EQ(canvas.BrushStyle(), TBrushStyle::bsSolid);
}

TEST_F(PrimitivesTest, TextWhoseFirstCharacterAloneIsTooWideIsDrawnOnOneLine) {
    // At scale 3 one character is 275 pixels, the box 118: nothing can be split off.
    DrawTextBox(&canvas, QStringLiteral("幅広い"), baLeft, 1, 2, 1.5f, 3, 0, 3.0f);
    ASSERT_EQ(Texts(), QStringList({QStringLiteral("幅広い")}));
    EXPECT_EQ(canvas.texts[0].x, 236);
    EXPECT_EQ(canvas.FontSize(), 11);

    // A character that alone fills the box, followed by more, is not split off either.
    canvas.Clear();
    canvas.SetFontSize(9); // em 75
    DrawTextBox(&canvas, QStringLiteral("ああ"), baLeft, 0, 0, 75 * 2.54f / 600, 1);
    ASSERT_EQ(canvas.texts.size(), 1u);
}

TEST_F(PrimitivesTest, ValuesWiderThanTheBoxAreCondensedOntoOneLine) {
    // The same too-wide text as above, as a value: W = 354, "あいうえおかきく" is 736 wide.
    // Below 50 % the size goes down instead: at 50 % the text needs em <= 88, which is 10
    // points (em 83, width 664 * 50 % = 332).
    DrawValueBox(&canvas, QStringLiteral("あいうえおかきく"), baRight, 1, 2, 2.5f, 4);
    ASSERT_EQ(Texts(), QStringList({QStringLiteral("あいうえおかきく")}));
    EXPECT_EQ(canvas.texts[0].widthPercent, 50);
    EXPECT_EQ(canvas.texts[0].fontSize, 10);
    EXPECT_EQ(canvas.texts[0].x, Px(1) + 354 - 332); // right-aligned
    EXPECT_EQ(canvas.texts[0].y, Px(2) + (Px(2) - 83) / 2);

    // "1056.25" (7 x 46 = 322) in 1.2 cm (283): the widest factor that fits is 88 % (283);
    // 89 % would be 286.
    canvas.Clear();
    DrawValueBox(&canvas, QStringLiteral("1056.25"), baCenter, 1, 2, 2.2f, 3);
    ASSERT_EQ(Texts(), QStringList({QStringLiteral("1056.25")}));
    const TRecordedText& t = canvas.texts[0];
    EXPECT_EQ(t.widthPercent, 88);
    EXPECT_EQ(t.fontSize, 11);
    EXPECT_EQ(t.y, Px(2) + (Px(1) - 92) / 2);
    EXPECT_EQ(t.x, Px(1)); // centred: the condensed text fills the box
    // The canvas keeps its font: size, width factor and brush as before.
    EXPECT_EQ(canvas.FontWidthPercent(), 100);
    EXPECT_EQ(canvas.FontSize(), 11);
    EXPECT_EQ(canvas.BrushStyle(), TBrushStyle::bsSolid);

    // A value that fits is drawn exactly as DrawTextBox draws it, also a unit mark.
    for (const QString& text : {QStringLiteral("試験"), QStringLiteral("100m2")}) {
        TRecordingCanvas label;
        label.SetFontSize(11);
        canvas.Clear();
        DrawTextBox(&label, text, baCenter, 1, 2, 5, 3);
        DrawValueBox(&canvas, text, baCenter, 1, 2, 5, 3);
        ASSERT_EQ(canvas.texts.size(), label.texts.size());
        for (size_t i = 0; i < label.texts.size(); ++i) {
            EXPECT_EQ(canvas.texts[i].text, label.texts[i].text);
            EXPECT_EQ(QPoint(canvas.texts[i].x, canvas.texts[i].y),
                      QPoint(label.texts[i].x, label.texts[i].y));
            EXPECT_EQ(canvas.texts[i].widthPercent, 100);
        }
    }
    // Two backslashes in a value are characters, not a line break.
    canvas.Clear();
    DrawValueBox(&canvas, QStringLiteral("A\\\\B"), baLeft, 1, 2, 5, 3);
    ASSERT_EQ(Texts(), QStringList({QStringLiteral("A\\\\B")}));
}

TEST_F(PrimitivesTest, UnitMarkRaisesTheDigitFromTheLeftEdge) {
    // Centring is asked but the unit mark draws from the box's left edge.
    DrawTextBox(&canvas, QStringLiteral("100m2"), baCenter, 1, 2, 6, 3);
    ASSERT_EQ(Texts(),
              QStringList({QStringLiteral("100"), QStringLiteral("m"), QStringLiteral("2")}));
    const auto& before = canvas.texts[0];
    const auto& m = canvas.texts[1];
    const auto& digit = canvas.texts[2];
    EXPECT_EQ(before.x, 236);
    // "100" is 3 x 46 pixels, measured in cm with 2.55.
    const float mLeft = 1.0f + float(138 * 2.55 / 600);
    EXPECT_EQ(m.x, Px(mLeft));
    EXPECT_EQ(m.fontSize, 11);
    EXPECT_EQ(digit.fontSize, 8); // 80 % of 11
    EXPECT_LT(digit.y, m.y);
    EXPECT_GT(digit.x, m.x);
    EXPECT_EQ(canvas.FontSize(), 11);

    // "m3" is looked for first; the text after the unit follows the digit.
    canvas.Clear();
    DrawTextBox(&canvas, QStringLiteral("体積m3 と面積m2"), baLeft, 1, 2, 9, 3);
    EXPECT_EQ(Texts(),
              QStringList({QStringLiteral("体積"), QStringLiteral("m"), QStringLiteral("3"),
                           QStringLiteral(" と面積"), QStringLiteral("m"), QStringLiteral("2")}));
}

TEST_F(PrimitivesTest, PointSplitPutsTheDecimalsSmallerInTheUpperHalf) {
    DrawTextBox(&canvas, QStringLiteral("12.345"), baPointSplit, 1, 2, 5, 3);
    ASSERT_EQ(Texts(), QStringList({QStringLiteral("12"), QStringLiteral(".345")}));
    EXPECT_EQ(canvas.texts[0].x, Px(1.01f));
    EXPECT_EQ(canvas.texts[0].fontSize, 11);
    EXPECT_EQ(canvas.texts[1].fontSize, 8);
    EXPECT_LT(canvas.texts[1].y, canvas.texts[0].y);
    EXPECT_EQ(canvas.texts[1].x + 4 * 33, 236 + 944); // right-aligned, half-width em 66 / 2
    EXPECT_EQ(canvas.FontSize(), 11);

    // Without a "." the whole text is the part before it.
    canvas.Clear();
    DrawTextBox(&canvas, QStringLiteral("12"), baPointSplit, 1, 2, 5, 3);
    ASSERT_EQ(Texts(), QStringList({QStringLiteral("12")}));
    EXPECT_EQ(canvas.texts[0].fontSize, 11);
}

TEST_F(PrimitivesTest, VerticalTextRunsDownTheCentreOfTheBox) {
    // Box 1 cm wide (W 236), 4 cm high (H 944); four cells of 115: total 460.
    const int x = (236 - 92) / 2 + 236;
    DrawTextBox(&canvas, QStringLiteral("データー"), baLeft, 1, 2, 2, 6, 1);
    ASSERT_EQ(Texts(), QStringList({QStringLiteral("デ"), QStringLiteral("｜"),
                                    QStringLiteral("タ"), QStringLiteral("｜")}));
    const int top = Px(2);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(canvas.texts[size_t(i)].x, x);
        EXPECT_EQ(canvas.texts[size_t(i)].y, top + 115 * i);
    }
    canvas.Clear();
    DrawTextBox(&canvas, QStringLiteral("データー"), baCenter, 1, 2, 2, 6, 1);
    EXPECT_EQ(canvas.texts[0].y, top + (944 - 460) / 2);
    canvas.Clear();
    DrawTextBox(&canvas, QStringLiteral("データー"), baRight, 1, 2, 2, 6, 1);
    EXPECT_EQ(canvas.texts[0].y, top + 944 - 460);
    canvas.Clear();
    DrawTextBox(&canvas, QStringLiteral("データー"), baJustify, 1, 2, 2, 6, 1);
    // gap (944 - 460) / 3 = 161.33
    EXPECT_EQ(canvas.texts[1].y, top + 276);
    EXPECT_NEAR(canvas.texts[3].y, top + 944 - 115, 1);
    // A single character justified is centred, not left at the top.
    canvas.Clear();
    DrawTextBox(&canvas, QStringLiteral("印"), baJustify, 1, 2, 2, 6, 1);
    EXPECT_EQ(canvas.texts[0].y, top + (944 - 115) / 2);
    // Too long a column overflows the box instead of splitting.
    canvas.Clear();
    DrawTextBox(&canvas, QStringLiteral("一二三四五六七八九十"), baLeft, 1, 2, 2, 3, 1);
    EXPECT_EQ(canvas.texts.size(), 10u);
}

TEST_F(PrimitivesTest, PageShiftAndPhysicalOffsetPlaceTheOriginOnThePaper) {
    // A printer with 100 pixels of unprintable margin: x = 0 at PageShiftX = -2.6 is 614 pixels
    // from the paper's edge, that is 514 from the printable area's.
    SetPrinterSource([] { return PdfPrinter(600, 12); });
    PageShiftX = -2.6f;
    PageShiftY = -2.7f;
    UpdatePrintMetrics();
    EXPECT_EQ(PrintMetrics().offX, 100 - 614);
    EXPECT_EQ(PrintMetrics().offY, 100 - 637);
    DrawStyledLine(&canvas, 0, 0, 0, 1);
    ASSERT_EQ(canvas.lines.size(), 1u);
    EXPECT_EQ(canvas.lines[0].from, QPoint(514, 537));
    EXPECT_EQ(canvas.lines[0].to, QPoint(514, 537 + Px(1)));
    EXPECT_NEAR((514 + 100) * 2.54 / 600, 2.6, 0.002);
}

TEST_F(PrimitivesTest, PenWidthsInMillimetresRoundUpToWholePixels) {
    SetPenWidthMm(&canvas, 0.1f);
    EXPECT_EQ(canvas.PenWidth(), 3);
    SetPenWidthMm(&canvas, 0.2f);
    EXPECT_EQ(canvas.PenWidth(), 5);
    SetPenWidthMm(&canvas, 0.3f);
    EXPECT_EQ(canvas.PenWidth(), 8);
    // Exactly two pixels stay two.
    TRecordingCanvas lowRes(254, 254);
    SetPenWidthMm(&lowRes, 0.2f);
    EXPECT_EQ(lowRes.PenWidth(), 2);

    EXPECT_EQ(RoundUpTo(0, 2.0), 2.0);
    EXPECT_EQ(RoundUpTo(0, 2.00001), 3.0);
    EXPECT_EQ(RoundUpTo(0, 2.000001), 2.0);
    EXPECT_DOUBLE_EQ(RoundUpTo(2, 1.231), 1.24);
    EXPECT_DOUBLE_EQ(RoundUpTo(2, 1.23), 1.23);
}

TEST_F(PrimitivesTest, FramesAndLinesWidenThePenForTheirStrokesOnly) {
    canvas.SetPenWidth(5);
    DrawFrame(&canvas, 1, 1, 2, 2, 2.0f);
    ASSERT_EQ(canvas.lines.size(), 4u);
    const int a = Px(1), b = Px(2);
    EXPECT_EQ(canvas.lines[0].from, QPoint(a, a));
    EXPECT_EQ(canvas.lines[0].to, QPoint(b, a));
    EXPECT_EQ(canvas.lines[1].to, QPoint(b, b));
    EXPECT_EQ(canvas.lines[2].to, QPoint(a, b));
    EXPECT_EQ(canvas.lines[3].to, QPoint(a, a));
    for (const auto& l : canvas.lines)
        EXPECT_EQ(l.width, 10);
    EXPECT_EQ(canvas.PenWidth(), 5);

    canvas.Clear();
    canvas.SetPenStyle(TPenStyle::psDot);
    DrawStyledLine(&canvas, 0, 0, 1, 0, 1.6f);
    ASSERT_FALSE(canvas.lines.empty());
    EXPECT_EQ(canvas.lines[0].width, 8); // Trunc(5 * 1.6)
    EXPECT_EQ(canvas.lines[0].style, TPenStyle::psSolid);
    EXPECT_GT(canvas.lines.size(), 1u); // dotted: many short strokes
    EXPECT_EQ(canvas.PenWidth(), 5);
    // The styled line leaves the canvas pen solid, so later lines are solid.
    EXPECT_EQ(canvas.PenStyle(), TPenStyle::psSolid);
}

TEST_F(PrimitivesTest, BoxesCirclesAndFilledTextBoxes) {
    FillBox(&canvas, 1, 1, 2, 3);
    ASSERT_EQ(canvas.fills.size(), 1u);
    EXPECT_EQ(canvas.fills[0].x1, Px(1));
    EXPECT_EQ(canvas.fills[0].y2, Px(3));

    DrawCircle(&canvas, 2, 2, 0.5f);
    ASSERT_EQ(canvas.ellipses.size(), 1u);
    EXPECT_EQ(canvas.ellipses[0].x1, Px(1.5));
    EXPECT_EQ(canvas.ellipses[0].x2, Px(2.5));
    EXPECT_EQ(canvas.ellipses[0].brush, TBrushStyle::bsSolid); // painted white inside

    canvas.Clear();
    DrawBoxText(&canvas, QStringLiteral("記事"), baCenter, 1, 1, 3, 2);
    EXPECT_EQ(canvas.fills.size(), 1u);
    EXPECT_EQ(canvas.lines.size(), 4u);
    EXPECT_EQ(canvas.texts.size(), 1u);
}

TEST_F(PrimitivesTest, MeasuredCentimetresUseTheFactor255) {
    EXPECT_FLOAT_EQ(TextWidthCm(&canvas, QStringLiteral("試験")), float(184 * 2.55 / 600));
    EXPECT_FLOAT_EQ(TextHeightCm(&canvas, QStringLiteral("試験")), float(115 * 2.55 / 600));
}

TEST_F(PrimitivesTest, WithoutACanvasNothingIsDrawn) {
    DrawTextBox(nullptr, QStringLiteral("x"), baLeft, 0, 0, 1, 1);
    DrawStyledLine(nullptr, 0, 0, 1, 1);
    EXPECT_EQ(TextWidthCm(nullptr, QStringLiteral("x")), 0.0f);
}

TEST(SplitFieldTest, FieldsAreCountedFromOne) {
    const QString sep = QStringLiteral("\\\\");
    EXPECT_EQ(SplitField(QStringLiteral("試験\\\\報告"), sep, 1), QStringLiteral("試験"));
    EXPECT_EQ(SplitField(QStringLiteral("試験\\\\報告"), sep, 2), QStringLiteral("報告"));
    EXPECT_EQ(SplitField(QStringLiteral("試験\\\\報告"), sep, 3), QString());
    EXPECT_EQ(SplitField(QStringLiteral("a\\\\\\\\b"), sep, 2), QString()); // empty middle
    EXPECT_EQ(SplitField(QStringLiteral("a\\\\\\\\b"), sep, 3), QStringLiteral("b"));
    EXPECT_EQ(SplitField(QStringLiteral("a\\\\\\b"), sep, 2), QStringLiteral("\\b"));
    EXPECT_EQ(SplitField(QString(), sep, 1), QString());
    EXPECT_EQ(SplitField(QStringLiteral("abc"), sep, 1), QStringLiteral("abc"));
}

// Dash patterns at 600 dpi: dash (200, 67), dot (33, 33), dash-dot (100, 67, 33, 67).
TEST(StyleLineTest, PatternsFollowThePrinterResolution) {
    TRecordingCanvas canvas(600, 600);
    TStyleLine line(&canvas);
    EXPECT_EQ(line.SegCount(), 2);
    EXPECT_EQ(line.PatternLength(), 40);
    line.SetStyle(3);
    EXPECT_EQ(line.Segment(1), 200);
    EXPECT_EQ(line.Segment(2), 67);
    EXPECT_EQ(line.PatternLength(), 267);
    line.SetStyle(2);
    EXPECT_EQ(line.PatternLength(), 66);
    line.SetStyle(5);
    EXPECT_EQ(line.SegCount(), 6);
    EXPECT_EQ(line.PatternLength(), 100 + 5 * 33);
    line.SetStyle(9); // unknown: keeps the pattern
    EXPECT_EQ(line.SegCount(), 6);
    line.SetWidth(0);
    EXPECT_EQ(line.Width(), 1);
}

TEST(StyleLineTest, DashContinuesAcrossLineToCalls) {
    TRecordingCanvas canvas(600, 600);
    TStyleLine line(&canvas);
    line.SetStyle(3);
    line.SetWidth(3);
    line.MoveTo(0, 0);
    line.LineTo(300, 0);
    // One whole pattern, then 33 pixels into the next dash.
    ASSERT_EQ(canvas.lines.size(), 2u);
    EXPECT_EQ(canvas.lines[0].from, QPoint(0, 0));
    EXPECT_EQ(canvas.lines[0].to, QPoint(200, 0));
    EXPECT_EQ(canvas.lines[1].from, QPoint(267, 0));
    EXPECT_EQ(canvas.lines[1].to, QPoint(300, 0));
    EXPECT_EQ(line.SegIndex(), 1);
    EXPECT_EQ(line.SegProgress(), 34);
    // Round the corner: the dash goes on for the 167 pixels it has left, then the gap.
    line.LineTo(300, 300);
    ASSERT_EQ(canvas.lines.size(), 4u);
    EXPECT_EQ(canvas.lines[2].from, QPoint(300, 0));
    EXPECT_EQ(canvas.lines[2].to, QPoint(300, 167));
    EXPECT_EQ(canvas.lines[3].from, QPoint(300, 234));
    EXPECT_EQ(canvas.lines[3].to, QPoint(300, 300));
    EXPECT_EQ(line.SegProgress(), 67);
    for (const auto& l : canvas.lines)
        EXPECT_EQ(l.width, 3);
    // MoveTo starts the pattern anew.
    line.MoveTo(0, 1000);
    EXPECT_EQ(line.SegIndex(), 1);
    EXPECT_EQ(line.SegProgress(), 1);
}

TEST(StyleLineTest, EndingInAGapResumesWithTheRestOfTheGap) {
    TRecordingCanvas canvas(600, 600);
    TStyleLine line(&canvas); // default pattern 20 on, 20 off
    line.MoveTo(0, 0);
    line.LineTo(30, 0); // dash 0..20, 10 into the gap
    EXPECT_EQ(line.SegIndex(), 2);
    EXPECT_EQ(line.SegProgress(), 11);
    line.LineTo(60, 0); // 10 more gap, then dash 40..60
    ASSERT_EQ(canvas.lines.size(), 2u);
    EXPECT_EQ(canvas.lines[1].from, QPoint(40, 0));
    EXPECT_EQ(canvas.lines[1].to, QPoint(60, 0));
}

TEST(StyleLineTest, SolidAndDegenerateLinesTerminate) {
    TRecordingCanvas canvas(600, 600);
    TStyleLine solid(&canvas);
    solid.SetStyle(1);
    solid.MoveTo(0, 0);
    solid.LineTo(1000, 500);
    ASSERT_EQ(canvas.lines.size(), 1u);
    EXPECT_EQ(canvas.lines[0].to, QPoint(1000, 500));

    // Zero length draws nothing.
    canvas.Clear();
    TStyleLine dashed(&canvas);
    dashed.SetStyle(3);
    dashed.MoveTo(5, 5);
    dashed.LineTo(5, 5);
    EXPECT_TRUE(canvas.lines.empty());

    // At a resolution too low for any dash the pattern has no length: the line is drawn solid
    // instead of looping forever.
    TRecordingCanvas coarse(1, 1);
    TStyleLine dotted(&coarse);
    dotted.SetStyle(2);
    EXPECT_EQ(dotted.PatternLength(), 0);
    dotted.MoveTo(0, 0);
    dotted.LineTo(100, 0);
    EXPECT_EQ(coarse.lines.size(), 1u);
}

// The canvas over QPainter: the faces the forms ask for are Japanese fonts that have the glyphs.
TEST(PainterCanvasTest, JapaneseFaceNamesResolveToFontsWithJapaneseGlyphs) {
    QPicture picture;
    QPainter painter(&picture);
    TPainterCanvas canvas(&painter, 600, 600);
    const QString sample = QStringLiteral("舗装路面の平坦性測定①ｄ№㎜");
    for (const auto& [face, family] :
         {std::pair{QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho")},
          std::pair{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")}}) {
        canvas.SetFontName(face);
        canvas.SetFontSize(11);
        const QFont& font = canvas.CurrentFont();
        EXPECT_EQ(QFontInfo(font).family(), family);
        EXPECT_EQ(font.pixelSize(), 92);
        const QFontMetrics metrics(font);
        for (QChar c : sample)
            EXPECT_TRUE(metrics.inFont(c))
                << qPrintable(face) << " lacks " << qPrintable(QString(c));
        // Full-width characters are about one em wide.
        EXPECT_NEAR(canvas.TextWidth(QStringLiteral("試験")), 184, 4);
    }
    painter.end();
}

// A letter with a combining macron: the bar is drawn over the letter, clear of its top and within
// its width.
TEST(PainterCanvasTest, AMacronStandsOverItsLetter) {
    const auto ink = [](const QString& text, const QString& less) {
        QImage images[2];
        for (int i = 0; i < 2; ++i) {
            images[i] = QImage(300, 160, QImage::Format_Grayscale8);
            images[i].fill(Qt::white);
            QPainter painter(&images[i]);
            TPainterCanvas canvas(&painter, 600, 600);
            canvas.SetFontName(QStringLiteral("ＭＳ Ｐゴシック"));
            canvas.SetFontSize(9);
            canvas.TextOut(20, 40, i == 0 ? text : less);
        }
        QRect box; // where the first image has ink and the second none
        for (int y = 0; y < 160; ++y)
            for (int x = 0; x < 300; ++x)
                if (images[0].pixelColor(x, y).lightness() < images[1].pixelColor(x, y).lightness())
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    const QRect r = ink(QStringLiteral("k R"), QStringLiteral("k "));
    const QRect bar = ink(QStringLiteral("k R\u0304"), QStringLiteral("k R"));
    ASSERT_FALSE(r.isEmpty() || bar.isEmpty());
    EXPECT_LT(bar.bottom(), r.top());
    EXPECT_TRUE(r.left() <= bar.left() && bar.right() <= r.right());
    EXPECT_GT(bar.width(), r.width() / 3);
}

} // namespace
} // namespace tv
