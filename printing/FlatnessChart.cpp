#include "printing/FlatnessChart.h"

#include "platform/Grid.h"
#include "platform/GridLayout.h"
#include "platform/NumberText.h"
#include "printing/PainterCanvas.h"
#include "printing/Primitives.h"
#include "printing/Printer.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tv {

// --- Data ---------------------------------------------------------------------------------------

int TFlatnessChart::UsedCount() const {
    return int(std::count_if(readings.begin(), readings.end(),
                             [](const TChartReading& r) { return r.used; }));
}

double TFlatnessChart::Mean() const {
    double sum = 0;
    int n = 0;
    for (const TChartReading& r : readings)
        if (r.used) {
            sum += r.d;
            ++n;
        }
    return n > 0 ? sum / n : 0;
}

std::optional<double> TFlatnessChart::Sigma() const {
    const int n = UsedCount();
    if (n < 2)
        return std::nullopt;
    const double mean = Mean();
    double squares = 0;
    for (const TChartReading& r : readings)
        if (r.used)
            squares += (r.d - mean) * (r.d - mean);
    return std::sqrt(squares / (n - 1));
}

double TFlatnessChart::MeanRange() const {
    if (groups.empty())
        return 0;
    double sum = 0;
    for (const TChartGroup& g : groups)
        sum += g.r;
    return sum / double(groups.size());
}

std::optional<double> TFlatnessChart::UpperControlLimit() const {
    const double d4 = D4Factor(groupSize);
    if (d4 == 0 || groups.empty())
        return std::nullopt;
    return d4 * MeanRange();
}

std::optional<double> TFlatnessChart::LowerControlLimit() const {
    const double d3 = D3Factor(groupSize);
    if (d3 == 0 || groups.empty())
        return std::nullopt;
    return d3 * MeanRange();
}

std::optional<double> TFlatnessChart::CaptionSigma() const {
    return judgedSigma ? judgedSigma : Sigma();
}

QString TFlatnessChart::Position(int line) const {
    if (line < 1 || line > int(positions.size()))
        return QString();
    return positions[size_t(line - 1)];
}

int ChartGroupSize(const QString& text) {
    if (text.trimmed().isEmpty())
        return 10;
    const double g = std::trunc(TextToFloat(text));
    return std::fabs(g) < 1000 ? int(g) : 0;
}

QString ChartStretchText(const QString& start, const QString& end, const QString& distance) {
    QString text = start.trimmed() + QStringLiteral(" 〜 ") + end.trimmed();
    if (!distance.trimmed().isEmpty())
        text += QStringLiteral("  測定距離 ") + distance.trimmed();
    return text;
}

void ReadChartGrid(TGrid& grid, TFlatnessChart& chart) {
    chart.readings.clear();
    chart.groups.clear();
    chart.positions.clear();
    int lastRow = 0;
    for (int row = 1; row <= grid.MaxRows(); ++row) {
        if (grid.GetCellText(grid::kFirstReading, row).trimmed().isEmpty())
            break;
        lastRow = row;
        for (int col = grid::kFirstReading; col <= grid::kLastReading; ++col) {
            const QString text = grid.GetCellText(col, row);
            if (text.trimmed().isEmpty())
                continue;
            chart.readings.push_back({grid::PointNumber(row, col) + 1, TextToFloat(text),
                                      grid.ForeColor() == kColorBlack});
        }
    }
    for (int row = 1; row <= grid.MaxRows(); ++row) {
        const QString range = grid.GetCellText(grid::kColRange, row);
        if (range.trimmed().isEmpty())
            break;
        lastRow = std::max(lastRow, row);
        chart.groups.push_back({row, TextToFloat(range)});
    }
    for (int row = 1; row <= lastRow; ++row)
        chart.positions.push_back(grid.GetCellText(grid::kPositionCol, row).trimmed());
}

double D4Factor(int groupSize) {
    switch (groupSize) {
    case 6:
        return 2.004;
    case 7:
        return 1.924;
    case 8:
        return 1.864;
    case 9:
        return 1.816;
    case 10:
        return 1.777;
    default:
        return 0;
    }
}

double D3Factor(int groupSize) {
    switch (groupSize) {
    case 7:
        return 0.076;
    case 8:
        return 0.136;
    case 9:
        return 0.184;
    case 10:
        return 0.223;
    default:
        return 0;
    }
}

namespace {
QString Mm(double v) {
    return FormatFixed(v, 2) + QStringLiteral(" mm");
}
} // namespace

QString ChartSigmaCaption(const TFlatnessChart& chart) {
    const std::optional<double> sigma = chart.CaptionSigma();
    QString caption;
    if (sigma)
        caption = QStringLiteral("σ ") + Mm(*sigma);
    if (chart.limit) {
        if (sigma)
            // Compared as shown, as the verdict compares its texts.
            caption += FormatFixed(*sigma, 2).toDouble() <= *chart.limit ? QStringLiteral(" ≤ ")
                                                                         : QStringLiteral(" > ");
        caption += QStringLiteral("規格値 ") + Mm(*chart.limit);
    }
    return caption;
}

TChartAxis NiceAxis(double lo, double hi, int ticks) {
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return {};
    if (hi < lo)
        std::swap(lo, hi);
    if (hi - lo < 1e-9) {
        const double pad = std::max(1.0, std::fabs(lo) * 0.1);
        lo -= pad;
        hi += pad;
    }
    const double raw = (hi - lo) / std::max(1, ticks);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double norm = raw / magnitude;
    const double step = (norm <= 1 ? 1 : norm <= 2 ? 2 : norm <= 5 ? 5 : 10) * magnitude;
    TChartAxis axis;
    axis.step = step;
    // A value a hair past a multiple of the step (from its decimal text) stays on that multiple.
    axis.min = std::floor(lo / step + 1e-9) * step;
    axis.max = std::ceil(hi / step - 1e-9) * step;
    return axis;
}

float TChartPlot::X(double v) const {
    const double span = x.max - x.min;
    return span == 0 ? left : float(left + (v - x.min) / span * (right - left));
}

float TChartPlot::Y(double v) const {
    const double span = y.max - y.min;
    return span == 0 ? bottom : float(bottom - (v - y.min) / span * (bottom - top));
}

// --- Page layout (cm from the paper's top-left corner, A4 landscape) ----------------------------

namespace {

constexpr float kPageLeft = 1.5f;
constexpr float kPageRight = 28.2f;
constexpr float kPlotLeft = 3.0f;
// The captions of the level lines stand between the plots' right edge and the page's.
constexpr float kPlotRight = 26.4f;
constexpr float kProfileTop = 3.7f;
constexpr float kProfileBottom = 10.4f;
constexpr float kRangeTop = 12.6f;
constexpr float kRangeBottom = 18.8f;
// Height of a level caption's box, also the least distance between two captions' centres.
constexpr float kCaptionHeight = 0.34f;

const QColor kDataColor(0, 0, 160);
const QColor kExcludedColor(255, 0, 0);
const QColor kMeanColor(0, 128, 0);
const QColor kLimitColor(200, 0, 0);
const QColor kGridColor(210, 210, 210);

// The mean range as the texts name it: "R" and the combining macron, drawn in one run so that the
// font places the bar over the R and a reader copying the text gets both on the label's line.
const QString kRBar = QStringLiteral("R\u0304");

int LastPoint(const TFlatnessChart& chart) {
    return chart.readings.empty() ? 10 : std::max(10, chart.readings.back().point);
}

int LastLine(const TFlatnessChart& chart) {
    return chart.groups.empty() ? 1 : chart.groups.back().line;
}

QString TickText(double v, double step) {
    int decimals = 0;
    if (step < 1)
        decimals = std::min(3, int(std::ceil(-std::log10(step) - 1e-9)));
    return FormatFixed(v, decimals);
}

void SetPen(TPrintCanvas* canvas, float mm, const QColor& color, TPenStyle style) {
    SetPenWidthMm(canvas, mm);
    canvas->SetPenColor(color);
    canvas->SetPenStyle(style);
}

// A straight line in page centimetres with the canvas's current pen (its style included).
void Line(TPrintCanvas* canvas, float x1, float y1, float x2, float y2) {
    canvas->MoveTo(DevX(x1), DevY(y1));
    canvas->LineTo(DevX(x2), DevY(y2));
}

// A text on one line in its box, condensed when too wide (a long work name as on the forms).
void Text(TPrintCanvas* canvas, const QString& text, TBoxAlign align, float l, float t, float r,
          float b, int size) {
    canvas->SetFontSize(size);
    DrawValueBox(canvas, text, align, l, t, r, b);
}

// A horizontal line across a plot at a value, with its caption in the margin right of the plot.
struct TLevel {
    double value = 0;
    QString caption;
    QColor color;
    TPenStyle style = TPenStyle::psSolid;
};

// The levels' lines, then their captions at the lines' heights, moved apart where two would
// overlap (top to bottom, then back up where the lowest would leave the plot).
void DrawLevels(TPrintCanvas* canvas, const TChartPlot& plot, const std::vector<TLevel>& levels) {
    std::vector<std::pair<float, const TLevel*>> placed;
    for (const TLevel& level : levels) {
        const float y = plot.Y(level.value);
        SetPen(canvas, 0.25f, level.color, level.style);
        Line(canvas, plot.left, y, plot.right, y);
        placed.emplace_back(y, &level);
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 1; i < placed.size(); ++i)
        placed[i].first = std::max(placed[i].first, placed[i - 1].first + kCaptionHeight);
    float limit = plot.bottom + kCaptionHeight / 2;
    for (size_t i = placed.size(); i-- > 0;) {
        placed[i].first = std::min(placed[i].first, limit);
        limit = placed[i].first - kCaptionHeight;
    }
    canvas->SetPenColor(Qt::black);
    for (const auto& [y, level] : placed) {
        Text(canvas, level->caption, baLeft, plot.right + 0.12f, y - kCaptionHeight / 2, kPageRight,
             y + kCaptionHeight / 2, 7);
    }
}

// The y axis: grid lines and labels at every step, the unit above.
void DrawYAxis(TPrintCanvas* canvas, const TChartPlot& plot) {
    SetPen(canvas, 0.1f, kGridColor, TPenStyle::psSolid);
    const int count = int(std::lround((plot.y.max - plot.y.min) / plot.y.step));
    for (int i = 0; i <= count; ++i) {
        const double v = plot.y.min + i * plot.y.step;
        const float y = plot.Y(v);
        SetPen(canvas, 0.1f, kGridColor, TPenStyle::psSolid);
        Line(canvas, plot.left, y, plot.right, y);
        SetPen(canvas, 0.15f, Qt::black, TPenStyle::psSolid);
        Line(canvas, plot.left - 0.12f, y, plot.left, y);
        Text(canvas, TickText(v, plot.y.step), baRight, plot.left - 1.5f, y - 0.25f,
             plot.left - 0.18f, y + 0.25f, 8);
    }
    Text(canvas, QStringLiteral("(mm)"), baRight, plot.left - 1.5f, plot.top - 0.75f,
         plot.left - 0.18f, plot.top - 0.3f, 8);
}

// Ticks along x at the first point (profile) or group (range chart) of every k-th line, k chosen
// so the labels (the lines' measuring positions, or the numbers when a line has none) fit.
void DrawXTicks(TPrintCanvas* canvas, const TChartPlot& plot, const TFlatnessChart& chart,
                int lastLine, int unitsPerLine) {
    const float lineWidth =
        (plot.right - plot.left) / float(plot.x.max - plot.x.min) * float(unitsPerLine);
    auto label = [&](int line) {
        const QString position = chart.Position(line);
        return position.isEmpty() ? QString::number((line - 1) * unitsPerLine + 1) : position;
    };
    canvas->SetFontSize(8);
    // The smallest k whose labels all fit their spacing; a k fails at its first label that does
    // not fit, so only the labels of the k chosen are all measured.
    const double pxPerCm = PrintMetrics().dpiX / 2.55;
    int every = 1;
    float widest = 0;
    for (const int k : {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000}) {
        every = k;
        const int room = int((lineWidth * float(k) - 0.3f) * pxPerCm);
        int widestPx = 0;
        bool fits = true;
        for (int line = 1; line <= lastLine && fits; line += k) {
            widestPx = std::max(widestPx, canvas->TextWidth(label(line)));
            fits = widestPx <= room;
        }
        widest = float(widestPx / pxPerCm);
        if (fits)
            break;
    }
    for (int line = 1; line <= lastLine; line += every) {
        const float x = plot.X((line - 1) * unitsPerLine + 1);
        SetPen(canvas, 0.1f, kGridColor, TPenStyle::psSolid);
        Line(canvas, x, plot.top, x, plot.bottom);
        SetPen(canvas, 0.15f, Qt::black, TPenStyle::psSolid);
        Line(canvas, x, plot.bottom, x, plot.bottom + 0.12f);
        const float half = std::max(widest, 0.5f) / 2 + 0.1f;
        Text(canvas, label(line), baCenter, x - half, plot.bottom + 0.15f, x + half,
             plot.bottom + 0.6f, 8);
    }
}

// Both axes of a plot with the x axis's ticks (DrawXTicks) and its caption; a plot without data
// says so across its area.
void DrawAxes(TPrintCanvas* canvas, const TChartPlot& plot, const TFlatnessChart& chart,
              int lastLine, int unitsPerLine, const QString& caption, bool hasData) {
    DrawYAxis(canvas, plot);
    DrawXTicks(canvas, plot, chart, lastLine, unitsPerLine);
    Text(canvas, caption, baRight, 18.0f, plot.bottom + 0.6f, plot.right, plot.bottom + 1.0f, 8);
    if (!hasData)
        Text(canvas, QStringLiteral("データがありません"), baCenter, plot.left, plot.top,
             plot.right, plot.bottom, 10);
}

void DrawPlotFrame(TPrintCanvas* canvas, const TChartPlot& plot) {
    SetPen(canvas, 0.25f, Qt::black, TPenStyle::psSolid);
    DrawFrame(canvas, plot.left, plot.top, plot.right, plot.bottom);
}

void DrawHeader(TPrintCanvas* canvas, const TFlatnessChart& chart) {
    canvas->SetFontName(QStringLiteral("ＭＳ Ｐゴシック"));
    // The left column ends short of the right one's start, so a long work name keeps apart.
    Text(canvas, QStringLiteral("工事: ") + chart.work, baLeft, kPageLeft, 1.0f, 17.6f, 1.6f, 10);
    Text(canvas, QStringLiteral("工種: ") + chart.kosyu, baLeft, 18.0f, 1.0f, kPageRight, 1.6f, 10);
    Text(canvas, QStringLiteral("測定区間: ") + chart.stretch, baLeft, kPageLeft, 1.6f, 17.6f, 2.2f,
         10);
    Text(canvas, QStringLiteral("測定日: ") + chart.date, baLeft, 18.0f, 1.6f, kPageRight, 2.2f,
         10);
    SetPen(canvas, 0.2f, Qt::black, TPenStyle::psSolid);
    Line(canvas, kPageLeft, 2.3f, kPageRight, 2.3f);
}

void DrawTitle(TPrintCanvas* canvas, const QString& title, const QString& figures,
               const QString& caption, float top) {
    canvas->SetFontStyle({true, false});
    Text(canvas, title, baLeft, kPlotLeft, top, 10.0f, top + 0.6f, 12);
    canvas->SetFontStyle({});
    // Without a caption the figures have the width up to the plot's right edge.
    Text(canvas, figures, baRight, 10.0f, top + 0.1f, caption.isEmpty() ? kPlotRight : 17.6f,
         top + 0.6f, 9);
    canvas->SetFontStyle({true, false});
    Text(canvas, caption, baRight, 17.8f, top + 0.1f, kPlotRight, top + 0.6f, 9);
    canvas->SetFontStyle({});
}

void DrawProfile(TPrintCanvas* canvas, const TFlatnessChart& chart) {
    const TChartPlot plot = ProfilePlot(chart);
    const std::optional<double> sigma = chart.Sigma();
    const double mean = chart.Mean();
    DrawTitle(canvas, QStringLiteral("平坦性プロファイル"),
              QStringLiteral("n %1   平均 ").arg(chart.UsedCount()) + Mm(mean),
              ChartSigmaCaption(chart), 2.7f);
    DrawAxes(canvas, plot, chart, (LastPoint(chart) + 9) / 10, 10,
             QStringLiteral("測点番号 (測定位置)"), !chart.readings.empty());
    if (!chart.readings.empty()) {
        // The standard limits σ, not single readings: it is in the caption, not drawn as lines
        // the readings could be read against.
        std::vector<TLevel> levels;
        if (chart.UsedCount() > 0)
            levels.push_back({mean, QStringLiteral("平均"), kMeanColor, TPenStyle::psSolid});
        if (sigma) {
            levels.push_back(
                {mean + *sigma, QStringLiteral("平均+σ"), kMeanColor, TPenStyle::psDot});
            levels.push_back(
                {mean - *sigma, QStringLiteral("平均−σ"), kMeanColor, TPenStyle::psDot});
        }
        DrawLevels(canvas, plot, levels);

        // Pixel positions straight from the page metrics: thousands of points would otherwise
        // refresh the printer metrics once each.
        UpdatePrintMetrics();
        const float pointWidth = (plot.right - plot.left) / float(plot.x.max - plot.x.min);
        SetPen(canvas, 0.2f, kDataColor, TPenStyle::psSolid);
        std::vector<QPoint> line;
        line.reserve(chart.readings.size());
        for (const TChartReading& r : chart.readings)
            if (r.used)
                line.emplace_back(DevX(plot.X(r.point)), DevY(plot.Y(r.d)));
        canvas->Polyline(line);
        // Markers while they stand apart.
        if (pointWidth >= 0.12f) {
            const int radius = std::max(2, DevX(0.045f) - DevX(0));
            canvas->SetBrushStyle(TBrushStyle::bsSolid);
            canvas->SetBrushColor(kDataColor);
            for (const TChartReading& r : chart.readings)
                if (r.used) {
                    const int x = DevX(plot.X(r.point)), y = DevY(plot.Y(r.d));
                    canvas->Ellipse(x - radius, y - radius, x + radius, y + radius);
                }
        }
        const int arm = std::max(3, DevX(0.1f) - DevX(0));
        SetPen(canvas, 0.35f, kExcludedColor, TPenStyle::psSolid);
        std::vector<QPoint> crosses;
        for (const TChartReading& r : chart.readings)
            if (!r.used) {
                const int x = DevX(plot.X(r.point)), y = DevY(plot.Y(r.d));
                crosses.insert(crosses.end(), {QPoint(x - arm, y - arm), QPoint(x + arm, y + arm),
                                               QPoint(x - arm, y + arm), QPoint(x + arm, y - arm)});
            }
        canvas->Segments(crosses);
    }
    DrawPlotFrame(canvas, plot);
}

QString RangeFigures(const TFlatnessChart& chart) {
    QString figures = QStringLiteral("k %1   ").arg(int(chart.groups.size())) + kRBar +
                      QLatin1Char(' ') + Mm(chart.MeanRange());
    const std::optional<double> ucl = chart.UpperControlLimit();
    if (!ucl)
        return figures;
    figures += QStringLiteral("   UCL ") + Mm(*ucl);
    if (const std::optional<double> lcl = chart.LowerControlLimit())
        figures += QStringLiteral("   LCL ") + Mm(*lcl);
    figures += QStringLiteral("   (Ｇ %1, D₄ %2")
                   .arg(chart.groupSize)
                   .arg(FormatFixed(D4Factor(chart.groupSize), 3));
    if (D3Factor(chart.groupSize) > 0)
        figures += QStringLiteral(", D₃ ") + FormatFixed(D3Factor(chart.groupSize), 3);
    return figures + QLatin1Char(')');
}

// The groups' ranges as points joined by a line; a point beyond a control limit is red and
// ringed.
void DrawRangePoints(TPrintCanvas* canvas, const TChartPlot& plot, const TFlatnessChart& chart) {
    const std::optional<double> ucl = chart.UpperControlLimit();
    const std::optional<double> lcl = chart.LowerControlLimit();
    UpdatePrintMetrics();
    SetPen(canvas, 0.25f, kDataColor, TPenStyle::psSolid);
    std::vector<QPoint> line;
    line.reserve(chart.groups.size());
    for (const TChartGroup& g : chart.groups)
        line.emplace_back(DevX(plot.X(g.line)), DevY(plot.Y(g.r)));
    canvas->Polyline(line);
    const float groupWidth = (plot.right - plot.left) / float(plot.x.max - plot.x.min);
    const int radius = std::max(2, DevX(std::min(0.06f, groupWidth * 0.3f)) - DevX(0));
    canvas->SetBrushStyle(TBrushStyle::bsSolid);
    for (size_t i = 0; i < chart.groups.size(); ++i) {
        const double r = chart.groups[i].r;
        const bool outside = (ucl && r > *ucl) || (lcl && r < *lcl);
        const QPoint& p = line[i];
        SetPen(canvas, 0.2f, outside ? kExcludedColor : kDataColor, TPenStyle::psSolid);
        canvas->SetBrushColor(outside ? kExcludedColor : kDataColor);
        canvas->Ellipse(p.x() - radius, p.y() - radius, p.x() + radius, p.y() + radius);
        if (outside) {
            const int ring = radius * 2 + 2;
            canvas->SetBrushStyle(TBrushStyle::bsClear);
            canvas->Ellipse(p.x() - ring, p.y() - ring, p.x() + ring, p.y() + ring);
            canvas->SetBrushStyle(TBrushStyle::bsSolid);
        }
    }
}

void DrawRanges(TPrintCanvas* canvas, const TFlatnessChart& chart) {
    const TChartPlot plot = RangePlot(chart);
    DrawTitle(canvas, QStringLiteral("範囲 (R) 管理図"), RangeFigures(chart), QString(), 11.6f);
    DrawAxes(canvas, plot, chart, LastLine(chart), 1, QStringLiteral("グループ (測定位置)"),
             !chart.groups.empty());
    if (!chart.groups.empty()) {
        std::vector<TLevel> levels{{chart.MeanRange(), kRBar, kMeanColor, TPenStyle::psSolid}};
        if (const std::optional<double> ucl = chart.UpperControlLimit())
            levels.push_back({*ucl, QStringLiteral("UCL"), kLimitColor, TPenStyle::psDash});
        if (const std::optional<double> lcl = chart.LowerControlLimit())
            levels.push_back({*lcl, QStringLiteral("LCL"), kLimitColor, TPenStyle::psDash});
        DrawLevels(canvas, plot, levels);
        DrawRangePoints(canvas, plot, chart);
    }
    DrawPlotFrame(canvas, plot);
}

} // namespace

namespace {

// The values a plot's y axis has to show, zero always among them.
struct TSpan {
    double lo = 0, hi = 0;
    void Include(double v) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
};

// A plot across the page between `top` and `bottom` whose x axis gives the whole numbers 1 to
// `last` a slot each, centred on the number.
TChartPlot PlotAcrossPage(float top, float bottom, int last, double step) {
    TChartPlot plot;
    plot.left = kPlotLeft;
    plot.right = kPlotRight;
    plot.top = top;
    plot.bottom = bottom;
    plot.x.min = 0.5;
    plot.x.max = last + 0.5;
    plot.x.step = step;
    return plot;
}

} // namespace

TChartPlot ProfilePlot(const TFlatnessChart& chart) {
    TChartPlot plot = PlotAcrossPage(kProfileTop, kProfileBottom, LastPoint(chart), 10);
    TSpan span;
    for (const TChartReading& r : chart.readings)
        span.Include(r.d);
    if (const std::optional<double> sigma = chart.Sigma()) {
        span.Include(chart.Mean() - *sigma);
        span.Include(chart.Mean() + *sigma);
    }
    plot.y = NiceAxis(span.lo, span.hi, 6);
    return plot;
}

TChartPlot RangePlot(const TFlatnessChart& chart) {
    TChartPlot plot = PlotAcrossPage(kRangeTop, kRangeBottom, LastLine(chart), 1);
    TSpan span;
    for (const TChartGroup& g : chart.groups)
        span.Include(g.r);
    if (const std::optional<double> ucl = chart.UpperControlLimit())
        span.Include(*ucl);
    plot.y = NiceAxis(span.lo, span.hi, 5);
    return plot;
}

void DrawFlatnessChart(TPrintCanvas* canvas, const TFlatnessChart& chart) {
    if (!canvas)
        return;
    PageShiftX = 0;
    PageShiftY = 0;
    UpdatePrintMetrics();
    DrawHeader(canvas, chart);
    DrawProfile(canvas, chart);
    DrawRanges(canvas, chart);
    canvas->SetPenColor(Qt::black);
    canvas->SetPenStyle(TPenStyle::psSolid);
    canvas->SetBrushStyle(TBrushStyle::bsSolid);
    canvas->SetBrushColor(Qt::white);
}

void PrintFlatnessChart(TPageTarget& target, const TFlatnessChart& chart) {
    DrawFlatnessChart(target.Canvas(), chart);
}

QRectF FlatnessChartPageRect(const QRectF& within) {
    const TOrientationGuard landscape(TOrientation::Landscape);
    const TPrinterCaps caps = CurrentPrinterCaps();
    if (caps.horzRes <= 0 || caps.vertRes <= 0 || caps.logPixelsX <= 0 || caps.logPixelsY <= 0)
        return QRectF();
    // The printable area in inches, fitted.
    const double w = double(caps.horzRes) / caps.logPixelsX;
    const double h = double(caps.vertRes) / caps.logPixelsY;
    const double scale = std::min(within.width() / w, within.height() / h);
    const QSizeF size(w * scale, h * scale);
    return QRectF(within.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

void PaintFlatnessChart(QPainter& painter, const QRectF& target, const TFlatnessChart& chart) {
    const TOrientationGuard landscape(TOrientation::Landscape);
    const TPrinterCaps caps = CurrentPrinterCaps();
    if (caps.horzRes <= 0 || caps.vertRes <= 0)
        return;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / caps.horzRes, target.height() / caps.vertRes);
    painter.setClipRect(QRect(0, 0, caps.horzRes, caps.vertRes));
    TPainterCanvas canvas(&painter, caps.logPixelsX, caps.logPixelsY);
    DrawFlatnessChart(&canvas, chart);
    painter.restore();
}

} // namespace tv
