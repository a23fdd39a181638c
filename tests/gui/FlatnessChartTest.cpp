// The verdict against the flatness standard in the main window, the chart window, and the charts
// drawn on a recording canvas at 600 pixels per inch without margin (pixels = 600 cm / 2.54).
#include "printing/FlatnessChart.h"
#include "app/uChart.h"
#include "app/uTavelon.h"
#include "measurement/FlatnessVerdict.h"
#include "platform/GridData.h"
#include "platform/NumberText.h"
#include "platform/gui/Controls.h"
#include "platform/gui/RadioGroup.h"
#include "platform/gui/vaSpread.h"
#include "printing/Primitives.h"
#include "printing/Printer.h"
#include "printing/RecordingCanvas.h"
#include "printing/gui/PrintView.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "tests/gui/PdfProbe.h"
#include "tests/gui/WhenModal.h"
#include "tests/support/Measurements.h"
#include "tests/support/TestEnv.h"
#include "tests/support/gui/MainWindowFixture.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <algorithm>
#include <random>

namespace tv::test {
namespace {

const QColor kRed(255, 0, 0);

// ---- the charts on a recording canvas ------------------------------------------------------

class ChartDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldSource = SetPrinterSource([] { return PdfPrinter(600, 0); });
    }
    void TearDown() override { SetPrinterSource(oldSource); }
    TPrinterSource oldSource;

    // Two lines: the third reading excluded; the second line's range is far above the others.
    static TFlatnessChart Sample() {
        TFlatnessChart chart;
        const double d[] = {1.0, -2.0, 3.5, 0.5, 1.5, -1.0, 0.0, 2.0, -0.5, 1.0};
        for (int i = 0; i < 10; ++i)
            chart.readings.push_back({i + 1, d[i], i != 2});
        for (int line = 1; line <= 6; ++line)
            chart.groups.push_back({line, line == 4 ? 9.0 : 2.0});
        chart.positions = {QStringLiteral("No.0"), QStringLiteral("No.1")};
        chart.groupSize = 6;
        chart.limit = 2.4;
        return chart;
    }
    static std::vector<TRecordedLine> Lines(const TRecordingCanvas& canvas, const QColor& color,
                                            TPenStyle style) {
        std::vector<TRecordedLine> found;
        for (const TRecordedLine& l : canvas.lines)
            if (l.color == color && l.style == style)
                found.push_back(l);
        return found;
    }
};

TEST_F(ChartDrawingTest, AxesTakeRoundStepsThatEncloseTheValuesAndTheLimits) {
    TChartAxis axis = NiceAxis(-2.3, 3.1, 6);
    EXPECT_DOUBLE_EQ(axis.step, 1);
    EXPECT_DOUBLE_EQ(axis.min, -3);
    EXPECT_DOUBLE_EQ(axis.max, 4);
    axis = NiceAxis(0, 7.3, 5);
    EXPECT_DOUBLE_EQ(axis.step, 2);
    EXPECT_DOUBLE_EQ(axis.max, 8);
    axis = NiceAxis(0, 0.42, 5);
    EXPECT_DOUBLE_EQ(axis.step, 0.1);
    EXPECT_NEAR(axis.max, 0.5, 1e-12);
    axis = NiceAxis(0, 0, 5); // nothing to show still has an axis
    EXPECT_LT(axis.min, 0);
    EXPECT_GT(axis.max, 0);

    const TFlatnessChart chart = Sample();
    const TChartPlot profile = ProfilePlot(chart);
    EXPECT_LE(profile.y.min, -2.0); // the readings, not the standard
    EXPECT_GE(profile.y.max, 3.5);
    EXPECT_FLOAT_EQ(profile.X(0.5), profile.left);
    EXPECT_FLOAT_EQ(profile.X(10.5), profile.right);
    EXPECT_FLOAT_EQ(profile.Y(profile.y.min), profile.bottom);
    // The range chart holds the UCL: D₄ 2.004 for groups of six, R̄ = 19 / 6.
    ASSERT_TRUE(chart.UpperControlLimit());
    EXPECT_NEAR(*chart.UpperControlLimit(), 2.004 * 19.0 / 6.0, 1e-9);
    const TChartPlot range = RangePlot(chart);
    EXPECT_DOUBLE_EQ(range.y.min, 0);
    EXPECT_GE(range.y.max, 9);
    EXPECT_EQ(D4Factor(10), 1.777);
    EXPECT_EQ(D4Factor(5), 0);
}

TEST_F(ChartDrawingTest, ExcludedReadingsAndTheControlLimitsLandWhereTheScalesPutThem) {
    const TFlatnessChart chart = Sample();
    TRecordingCanvas canvas(600, 600);
    DrawFlatnessChart(&canvas, chart);
    const TChartPlot profile = ProfilePlot(chart);
    const TChartPlot range = RangePlot(chart);

    // The standard limits σ, not readings: no line at ±2.4 on the profile, only UCL is dashed
    // (Ｇ 6 has no LCL), and the caption says σ against the standard.
    const QColor limitColor(200, 0, 0);
    const std::vector<TRecordedLine> dashed = Lines(canvas, limitColor, TPenStyle::psDash);
    ASSERT_EQ(dashed.size(), 1u);
    const double ucl = *chart.UpperControlLimit();
    EXPECT_EQ(dashed[0].from, QPoint(DevX(range.left), DevY(range.Y(ucl))));
    EXPECT_EQ(dashed[0].to, QPoint(DevX(range.right), DevY(range.Y(ucl))));
    EXPECT_GT(profile.y.min, -2.4); // the axis no longer stretches to the standard
    EXPECT_EQ(ChartSigmaCaption(chart), QStringLiteral("σ ") + FormatFixed(*chart.Sigma(), 2) +
                                            QStringLiteral(" mm ≤ 規格値 2.40 mm"));

    // The excluded reading: one red cross centred on (3, 3.5), not joined to the line.
    const std::vector<TRecordedLine> red = Lines(canvas, kRed, TPenStyle::psSolid);
    const QPoint centre(DevX(profile.X(3)), DevY(profile.Y(3.5)));
    ASSERT_GE(red.size(), 2u);
    EXPECT_EQ((red[0].from + red[0].to) / 2, centre);
    EXPECT_EQ((red[1].from + red[1].to) / 2, centre);
    const std::vector<TRecordedLine> data = Lines(canvas, QColor(0, 0, 160), TPenStyle::psSolid);
    // Nine used readings joined by eight segments (2 -> 4 skips the excluded one).
    ASSERT_GE(data.size(), 8u);
    EXPECT_EQ(data[1].from, QPoint(DevX(profile.X(2)), DevY(profile.Y(-2.0))));
    EXPECT_EQ(data[1].to, QPoint(DevX(profile.X(4)), DevY(profile.Y(0.5))));
    for (const TRecordedLine& l : data)
        EXPECT_NE(l.to, centre);

    // The ranges: points joined in group order; only the group above UCL is red and ringed.
    std::vector<QPoint> joined;
    for (const TRecordedLine& l : data)
        if (l.from.y() > DevY(range.top) - 1 && l.from.y() <= DevY(range.bottom))
            joined.push_back(l.from);
    ASSERT_EQ(joined.size(), 5u); // six groups, five segments
    for (int g = 0; g < 5; ++g)
        EXPECT_EQ(joined[size_t(g)], QPoint(DevX(range.X(g + 1)), DevY(range.Y(g == 3 ? 9 : 2))));
    int redPoints = 0;
    for (const TRecordedBox& e : canvas.ellipses)
        if (e.y1 >= DevY(range.top) && e.color == kRed) {
            ++redPoints;
            EXPECT_EQ((e.x1 + e.x2) / 2, DevX(range.X(4)));
        }
    EXPECT_EQ(redPoints, 2); // the point and its ring
    EXPECT_TRUE(std::none_of(canvas.fills.begin(), canvas.fills.end(),
                             [](const TRecordedBox& b) { return b.color == kRed; }));

    int found = 0;
    for (const TRecordedText& t : canvas.texts)
        if (t.text == QStringLiteral("平坦性プロファイル") ||
            t.text == QStringLiteral("範囲 (R) 管理図") || t.text == QStringLiteral("No.1"))
            ++found;
    EXPECT_EQ(found, 3); // No.1 labels the second group (the profile has one line)
}

// Random measurements, Ｇ and standards: whatever the data, the range chart has its centre line,
// UCL and (for Ｇ 7 to 10) LCL at D·R̄; no text lies inside a plot, where the curves are; every
// text is one line, R̄ included; the caption compares the σ shown.
TEST_F(ChartDrawingTest, AnyMeasurementKeepsItsLabelsOffTheCurvesAndItsLimitsWhereTheyBelong) {
    std::mt19937 random(20261209);
    std::uniform_real_distribution<double> reading(-6.0, 6.0);
    const double d3[] = {0, 0, 0, 0, 0, 0, 0, 0.076, 0.136, 0.184, 0.223, 0, 0};
    for (int round = 0; round < 40; ++round) {
        TFlatnessChart chart;
        const int lines = 1 + int(random() % 60);
        for (int i = 0; i < lines * 10; ++i)
            chart.readings.push_back(
                {i + 1, std::round(reading(random) * 10) / 10, random() % 9 != 0});
        for (int line = 1; line <= lines; ++line)
            chart.groups.push_back({line, double(random() % 80) / 10});
        chart.groupSize = int(random() % 13);
        if (random() % 3 != 0)
            chart.limit = double(random() % 40) / 10;
        if (random() % 2 != 0)
            chart.judgedSigma = double(random() % 40) / 10;
        chart.work = QString(int(random() % 90), QChar(u'工'));
        const std::string seen = "round " + std::to_string(round);

        EXPECT_EQ(D3Factor(chart.groupSize), d3[chart.groupSize]) << seen;
        const std::optional<double> lcl = chart.LowerControlLimit();
        EXPECT_EQ(lcl.has_value(), chart.groupSize >= 7 && chart.groupSize <= 10) << seen;
        if (lcl) {
            EXPECT_NEAR(*lcl, d3[chart.groupSize] * chart.MeanRange(), 1e-9) << seen;
        }

        TRecordingCanvas canvas(600, 600);
        DrawFlatnessChart(&canvas, chart);
        const TChartPlot range = RangePlot(chart);
        const std::vector<TRecordedLine> dashed =
            Lines(canvas, QColor(200, 0, 0), TPenStyle::psDash);
        EXPECT_EQ(dashed.size(), size_t(chart.UpperControlLimit() ? 1 : 0) + (lcl ? 1 : 0)) << seen;
        for (const TRecordedLine& l : dashed)
            EXPECT_GE(l.from.y(), DevY(range.top)) << seen; // on the range chart only
        if (lcl) {
            EXPECT_EQ(dashed.back().from.y(), DevY(range.Y(*lcl))) << seen;
        }

        for (const TChartPlot& plot : {ProfilePlot(chart), range}) {
            const QRect inside(QPoint(DevX(plot.left) + 1, DevY(plot.top) + 1),
                               QPoint(DevX(plot.right) - 1, DevY(plot.bottom) - 1));
            for (const TRecordedText& t : canvas.texts) {
                int width = 0;
                for (QChar c : t.text)
                    width += (c.unicode() < 0x100 ? t.em / 2 : t.em);
                const QRect box(t.x, t.y, width * t.widthPercent / 100, t.em);
                EXPECT_FALSE(box.intersects(inside)) << seen << " " << t.text.toStdString();
            }
        }
        // R̄ is written as R and its combining macron within one text, the figures' and the centre
        // line's; a mark never starts a text, where it would stand over nothing.
        int rBars = 0;
        for (const TRecordedText& t : canvas.texts) {
            rBars += int(t.text.count(QStringLiteral("R\u0304")));
            EXPECT_EQ(t.text.count(QChar(0x0304)), t.text.count(QStringLiteral("R\u0304"))) << seen;
            EXPECT_FALSE(t.text.contains(QLatin1Char('\n'))) << seen;
        }
        EXPECT_EQ(rBars, 2) << seen;
        const std::optional<double> sigma = chart.CaptionSigma();
        const QString caption = ChartSigmaCaption(chart);
        if (sigma && chart.limit) {
            EXPECT_TRUE(caption.contains(FormatFixed(*sigma, 2).toDouble() <= *chart.limit
                                             ? QStringLiteral(" ≤ 規格値 ")
                                             : QStringLiteral(" > 規格値 ")))
                << seen;
        }
        EXPECT_EQ(caption.contains(QStringLiteral("規格値")), chart.limit.has_value()) << seen;
    }
}

TEST(ChartGrid, ReadsTheReadingsAndGroupsAsTheCalculationsDo) {
    TGridData grid;
    grid.SetCellText(1, 1, QStringLiteral("0+00"));
    grid.SetCellText(2, 1, QStringLiteral("1.5"));
    grid.SetCellText(4, 1, QStringLiteral("-0.5")); // column 3 empty: skipped
    grid.SetForeColor(kColorRed);
    grid.SetCellText(16, 1, QStringLiteral("2.0"));
    grid.SetCellText(2, 2, QStringLiteral("1"));
    grid.SetCellText(16, 2, QStringLiteral("1.0"));
    grid.SetCellText(16, 3, QStringLiteral("3.0")); // a group typed as its range only
    grid.SetCellText(2, 5, QStringLiteral("7"));    // below an empty row: not read
    TFlatnessChart chart;
    ReadChartGrid(grid, chart);
    ASSERT_EQ(chart.readings.size(), 3u);
    EXPECT_EQ(chart.readings[0].point, 1);
    EXPECT_EQ(chart.readings[1].point, 3);
    EXPECT_FALSE(chart.readings[1].used);
    EXPECT_EQ(chart.readings[2].point, 11);
    ASSERT_EQ(chart.groups.size(), 3u);
    EXPECT_EQ(chart.groups[2].line, 3);
    EXPECT_EQ(chart.groups[2].r, 3.0);
    EXPECT_EQ(chart.Position(1), QStringLiteral("0+00"));
    EXPECT_EQ(chart.UsedCount(), 2);
    EXPECT_DOUBLE_EQ(chart.Mean(), 1.25);
}

// ---- the main window -----------------------------------------------------------------------

class VerdictWindowTest : public MainWindowFixture {
protected:
    void SetUp() override {
        oldSource = SetPrinterSource([] { return PdfPrinter(600, 12); });
        StoreWork(QStringLiteral("A001"), QStringLiteral("国道改良工事"), 1); // 土木現業所
        TKosyu type;
        type.CheckTable();
        type.FindByName(QStringLiteral("表層工"));
        type.Save();
        TKikakuti4 standard;
        standard.CheckTable();
        for (int kubun : {0, 1}) {
            standard.ID = 0;
            standard.Kubun = kubun;
            standard.Kosyu->FindByName(QStringLiteral("表層工"));
            standard.Koumokumei = QStringLiteral("平坦性");
            standard.KikakutiU1 = kubun == 1 ? QStringLiteral("2.4") : QStringLiteral("9.9");
            standard.Save();
        }
        ASSERT_NO_FATAL_FAILURE(OpenMainWindow());
        Choose(QStringLiteral("A001:国道改良工事"), QStringLiteral("表層工"));
    }
    void TearDown() override {
        window.reset();
        SetPrinterSource(oldSource);
    }
    // Enters readings into row 1 and recalculates as a click on an empty cell does.
    void Enter(const QStringList& readings) {
        for (int i = 0; i < readings.size(); ++i)
            window->vaSpread1->SetCellText(i + 2, 1, readings[i]);
        window->vaSpread1Click(11, 1);
    }
    QString Verdict() const { return window->StatusPanel2->text(); }
    QColor VerdictColor() const {
        return window->StatusPanel2->palette().color(QPalette::WindowText);
    }

    TPrinterSource oldSource;
};

TEST_F(VerdictWindowTest, TheVerdictFollowsEveryRecalculationAndTheChosenForm) {
    EXPECT_EQ(Verdict(), QStringLiteral("標準偏差がないため判定できません")); // nothing yet

    // The work's print form 土木現業所 prints the handbook form, which judges the readings'
    // standard deviation, against the limit 2.4; a recalculation keeps that form.
    Enter({QStringLiteral("1.5"), QStringLiteral("2"), QStringLiteral("-0.5")});
    EXPECT_EQ(window->RadioGroup1->ItemIndex(), kFormHandbook);
    EXPECT_EQ(Verdict(), QStringLiteral("標準偏差 1.32 ≤ 2.4 合格"));
    EXPECT_EQ(VerdictColor(), QColor(0, 0x80, 0));

    Enter(
        {QStringLiteral("1.5"), QStringLiteral("2"), QStringLiteral("-0.5"), QStringLiteral("9")});
    EXPECT_EQ(Verdict(), QStringLiteral("標準偏差 4.14 > 2.4 不合格"));
    EXPECT_EQ(VerdictColor(), QColor(0xC0, 0, 0));
    // The bureau form judges the range method's σ: 9.5 / 3.08.
    window->findChild<QRadioButton*>(QStringLiteral("RadioGroup1Item1"))->click();
    EXPECT_EQ(Verdict(), QStringLiteral("範囲法 σ 3.08 > 2.4 不合格"));

    // Excluding the 9 recalculates: back within the standard.
    window->vaSpread1Click(5, 1);
    EXPECT_EQ(Verdict(), QStringLiteral("範囲法 σ 0.81 ≤ 2.4 合格"));
    // One reading has no range: no σ of that kind, and the verdict says so.
    Enter({QStringLiteral("1.5"), QString(), QString(), QString()});
    EXPECT_EQ(Verdict(), QStringLiteral("範囲法 σ がないため判定できません"));

    // A work type without a flatness standard: no verdict.
    window->ComboBox4->setEditText(QStringLiteral("基層工"));
    window->ComboBox4Click();
    Enter({QStringLiteral("1.5"), QStringLiteral("2")});
    EXPECT_EQ(Verdict(), QString());
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(VerdictWindowTest, ComingBackToTheWindowJudgesAgainstAChangedStandardOrPrintForm) {
    Enter({QStringLiteral("1.5"), QStringLiteral("2"), QStringLiteral("-0.5")});
    ASSERT_EQ(Verdict(), QStringLiteral("標準偏差 1.32 ≤ 2.4 合格"));
    const auto activate = [this] {
        QEvent event(QEvent::WindowActivate);
        QApplication::sendEvent(window.get(), &event);
    };

    // The standard tightened in the standard-values window.
    TKikakuti4 standard;
    standard.FindFlatness(QStringLiteral("表層工"), 1);
    standard.KikakutiU1 = QStringLiteral("0.5");
    standard.Save();
    activate();
    EXPECT_EQ(Verdict(), QStringLiteral("標準偏差 1.32 > 0.5 不合格"));

    // The work's print form changed in the works window: the other category's standard.
    StoreWork(QStringLiteral("A001"), QStringLiteral("国道改良工事"), 0);
    activate();
    EXPECT_EQ(Verdict(), QStringLiteral("標準偏差 1.32 ≤ 9.9 合格"));
    ASSERT_TRUE(window->ChartData().limit);
    EXPECT_EQ(*window->ChartData().limit, 9.9);
}

TEST_F(VerdictWindowTest, TheChartWindowFollowsTheMeasurementAndPrintsALandscapePage) {
    Enter({QStringLiteral("1.5"), QStringLiteral("2"), QStringLiteral("-0.5")});
    window->Graph1->trigger();
    TfrmChart* chart = window->ChartWindow();
    ASSERT_NE(chart, nullptr);
    EXPECT_TRUE(chart->isVisible());
    EXPECT_EQ(chart->Chart().readings.size(), 3u);
    ASSERT_TRUE(chart->Chart().limit);
    EXPECT_EQ(*chart->Chart().limit, 2.4);
    EXPECT_EQ(chart->Chart().work, QStringLiteral("A001:国道改良工事"));
    const QRectF page = chart->ChartView->PageRect();
    EXPECT_GT(page.width(), page.height());
    chart->ChartView->grab(); // paints

    Enter(
        {QStringLiteral("1.5"), QStringLiteral("2"), QStringLiteral("-0.5"), QStringLiteral("9")});
    EXPECT_EQ(chart->Chart().readings.size(), 4u);
    // Recording the screen page leaves the printer as it was.
    EXPECT_EQ(CurrentOrientation(), TOrientation::Portrait);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("chart.pdf"));
    int pages = 0;
    WhenModal<TfrmPreView>([&](TfrmPreView* preview) {
        pages = preview->PrevX1->PageCount();
        preview->PrevX1->SaveAsPdf(pdf);
        preview->Button2->click();
    });
    chart->Button1->click();
    EXPECT_EQ(pages, 1);
    const QSizeF size = PdfPageSize(pdf, 1);
    EXPECT_GT(size.width(), size.height());
    const QString text = PdfPageText(pdf, 1);
    EXPECT_TRUE(text.contains(QStringLiteral("平坦性プロファイル"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("国道改良工事")));
    // The caption judges the σ of the chosen form (the readings' on the handbook form the work
    // prints), as the verdict does.
    ASSERT_TRUE(chart->Chart().judgedSigma);
    EXPECT_DOUBLE_EQ(*chart->Chart().judgedSigma, 4.14);
    EXPECT_TRUE(text.contains(QStringLiteral("σ 4.14 mm > 規格値 2.40 mm"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("+規格値")));
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
}

} // namespace
} // namespace tv::test
