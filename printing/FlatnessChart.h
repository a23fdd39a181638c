#pragma once
// The charts of a flatness measurement on one A4 landscape page: a header (work, work type,
// stretch, date), the profile of every reading in point order (used readings joined, excluded
// ones as red crosses, mean and ±σ; the judged σ against the flatness standard in its caption,
// since the standard limits σ, not single readings) and the range control chart of the groups
// (R per line joined by a line, the centre line R̄, UCL = D₄·R̄ and, for Ｇ ≥ 7, LCL = D₃·R̄).
// Drawn with the print primitives on any page canvas: the chart window, the preview, the printer
// and PDF files share this one drawing. Every text is one line (condensed when too wide), and the
// captions of the level lines stand in the margin right of the plots, clear of the curves.
#include "printing/PageTarget.h"

#include <QPainter>
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

namespace tv {

class TGrid;

struct TChartReading {
    int point = 0; // point number from 1: the stored point number (PNO) + 1
    double d = 0;  // the reading in mm
    bool used = true;
};

struct TChartGroup {
    int line = 0; // grid row
    double r = 0; // the group's range in mm
};

struct TFlatnessChart {
    QString work;    // "code:name"
    QString kosyu;   // work type
    QString stretch; // "start 〜 end (distance)"
    QString date;
    std::vector<TChartReading> readings; // in point order
    std::vector<TChartGroup> groups;     // in line order
    std::vector<QString> positions;      // measuring position of line i + 1 (may be empty)
    int groupSize = 10;                  // Ｇ
    std::optional<double> limit;         // the flatness standard, when one applies
    // The σ the verdict judges (that of the chosen report form); the readings' σ when unknown.
    std::optional<double> judgedSigma;

    // Mean and standard deviation of the used readings (σ needs two of them).
    int UsedCount() const;
    double Mean() const;
    std::optional<double> Sigma() const;
    // Mean range R̄ of the groups (0 without groups).
    double MeanRange() const;
    // D₄·R̄; nothing when the group size has no D₄ or there are no groups.
    std::optional<double> UpperControlLimit() const;
    // D₃·R̄; nothing when the group size has no D₃ (below 7) or there are no groups.
    std::optional<double> LowerControlLimit() const;
    // The σ of the caption: the judged one, else the readings' own.
    std::optional<double> CaptionSigma() const;
    // The measuring position of a line, empty when unknown.
    QString Position(int line) const;
};

// The group size of a Ｇ text: an empty one counts as 10, as the range method takes it; a text
// that is no group size gives 0 (no D₄).
int ChartGroupSize(const QString& text);
// The stretch as the header shows it: "start 〜 end  測定距離 distance" (no distance part when
// the distance is empty).
QString ChartStretchText(const QString& start, const QString& end, const QString& distance);

// Readings, groups and positions as the calculations see them in the grid: readings of the rows
// down to the first row whose first reading is empty (an empty cell within a row is skipped; a
// red cell is an excluded reading), groups of the rows down to the first row without a range.
void ReadChartGrid(TGrid& grid, TFlatnessChart& chart);

// The factor D₄ of the range chart for group sizes 6 to 10; 0 for any other size.
double D4Factor(int groupSize);
// The factor D₃ of the range chart for group sizes 7 to 10; 0 for any other size (below 7 the
// lower control limit is zero and not drawn).
double D3Factor(int groupSize);

// The profile's caption: "σ 1.16 mm ≤ 規格値 2.40 mm" (">" when σ exceeds the standard), σ alone
// without a standard, the standard alone without σ, empty without either.
QString ChartSigmaCaption(const TFlatnessChart& chart);

// An axis with round ticks: min and max are multiples of step and enclose the values.
struct TChartAxis {
    double min = 0, max = 1, step = 1;
};
// Round limits and step for values lo..hi with about `ticks` intervals (1, 2 or 5 times a power
// of ten). An empty range is widened around its value.
TChartAxis NiceAxis(double lo, double hi, int ticks);

// A chart's plot area on the page (cm) and its axes.
struct TChartPlot {
    float left = 0, top = 0, right = 0, bottom = 0;
    TChartAxis x, y;
    float X(double v) const;
    float Y(double v) const;
};
// The plot areas of the two charts for this data.
TChartPlot ProfilePlot(const TFlatnessChart& chart);
TChartPlot RangePlot(const TFlatnessChart& chart);

// Draws the page on the canvas of a document begun for a landscape page (print origin at the
// paper's corner). Nothing without a canvas.
void DrawFlatnessChart(TPrintCanvas* canvas, const TFlatnessChart& chart);
// The same on the target's current page.
void PrintFlatnessChart(TPageTarget& target, const TFlatnessChart& chart);

// The same drawing straight onto a painter (a window), without recording a page: the landscape
// page of the current printer (its printable area), scaled into `target`. FlatnessChartPageRect
// gives the largest target of the page's proportions within a rectangle. Both turn the current
// printer to landscape while they work and raise EPrevError when there is none.
QRectF FlatnessChartPageRect(const QRectF& within);
void PaintFlatnessChart(QPainter& painter, const QRectF& target, const TFlatnessChart& chart);

} // namespace tv
