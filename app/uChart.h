#pragma once
// The chart window: the profile and range charts of the main window's measurement, redrawn
// whenever the main window recalculates or loads, and printed (A4 landscape) through the preview.
// The window shows the drawing that prints: the landscape page of the current printer, scaled to
// the window.
#include "printing/FlatnessChart.h"

#include <QWidget>

class QAction;

class QPushButton;

namespace tv {

// Draws the chart page into the control, as large as fits, on white paper.
class TChartView : public QWidget {
    Q_OBJECT
public:
    explicit TChartView(QWidget* parent = nullptr);
    void SetChart(const TFlatnessChart* chart);
    // Where the page lands in the control; empty when there is no printer to lay it out for.
    QRectF PageRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const TFlatnessChart* chart_ = nullptr;
};

class TfrmChart : public QWidget {
    Q_OBJECT
public:
    explicit TfrmChart(QWidget* parent = nullptr);

    TChartView* ChartView = nullptr;
    QPushButton* Button1 = nullptr; // 印刷
    QPushButton* Button2 = nullptr; // 閉じる
    QAction* Help1 = nullptr;       // F1

    // Shows these data.
    void SetChart(const TFlatnessChart& chart);
    const TFlatnessChart& Chart() const { return chart_; }

    // Places the window to the right of `beside` (to its left when the screen has no room there).
    void PlaceBeside(const QWidget& beside);

    void Button1Click();
    void Button2Click();

private:
    TFlatnessChart chart_;
};

} // namespace tv
