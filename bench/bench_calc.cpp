// Recomputation of a full grid (500 lines of ten readings): CalcReadings followed by CalcRanges,
// as Enter in a reading column does. Prints the median of many runs.
#include "measurement/Calc.h"
#include "platform/GridData.h"
#include "platform/gui/vaSpread.h"

#include <QApplication>

#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

// Fills every row with a position and ten readings between -5.0 and 5.0 (a few excluded).
void FillFullGrid(tv::TGrid& grid) {
    unsigned seed = 12345;
    for (int r = 1; r <= grid.MaxRows(); ++r) {
        grid.SetCellText(1, r, QStringLiteral("No.%1").arg(r));
        for (int c = 2; c <= 11; ++c) {
            seed = seed * 1103515245u + 12345u;
            const int tenths = static_cast<int>((seed >> 16) % 101) - 50;
            grid.SetCellText(c, r, QString::number(tenths / 10.0, 'f', 1));
            grid.SetForeColor((seed >> 8) % 37 == 0 ? tv::kColorRed : tv::kColorBlack);
        }
    }
}

// Median time in microseconds of one recomputation of the grid, over `runs` runs.
double MedianRecalcMicros(tv::TGrid& grid, tv::TCalcTarget& target, int runs) {
    std::vector<double> times;
    times.reserve(static_cast<size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        tv::CalcReadings(grid, target);
        tv::CalcRanges(grid, target);
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tv::TGridData grid;
    tv::TMemoryCalcTarget boxes;
    FillFullGrid(grid);
    MedianRecalcMicros(grid, boxes, 20); // warm-up
    const int runs = 500;
    const double memory = MedianRecalcMicros(grid, boxes, runs);
    std::printf("in-memory grid: recomputation of 500 lines, median of %d runs: %.1f us "
                "(target < 500 us)\n",
                runs, memory);
    // The first recalculation after loading: every result cell is new.
    std::vector<double> fresh;
    for (int i = 0; i < 50; ++i) {
        tv::TGridData loaded;
        tv::TMemoryCalcTarget loadedBoxes;
        FillFullGrid(loaded);
        fresh.push_back(MedianRecalcMicros(loaded, loadedBoxes, 1));
    }
    std::sort(fresh.begin(), fresh.end());
    std::printf("in-memory grid: first recomputation after loading, median of 50: %.1f us\n",
                fresh[fresh.size() / 2]);
    std::printf("results: SD=%s SD2=%s n=%s sigma=%s SR=%s k=%s sigmaR=%s\n",
                qPrintable(boxes.BoxText(tv::ResultBox::Edit5)),
                qPrintable(boxes.BoxText(tv::ResultBox::Edit6)),
                qPrintable(boxes.BoxText(tv::ResultBox::Edit7)),
                qPrintable(boxes.BoxText(tv::ResultBox::Edit8)),
                qPrintable(boxes.BoxText(tv::ResultBox::Edit9)),
                qPrintable(boxes.BoxText(tv::ResultBox::Edit10)),
                qPrintable(boxes.BoxText(tv::ResultBox::Edit11)));

    // The window's grid: the same two functions on the grid control shown on screen, then the
    // repaint they cause.
    tv::TvaSpread spread;
    spread.resize(619, 273);
    spread.show();
    FillFullGrid(spread);
    QApplication::processEvents();
    MedianRecalcMicros(spread, boxes, 20);
    const int windowRuns = 200;
    const double window = MedianRecalcMicros(spread, boxes, windowRuns);
    std::vector<double> withPaint;
    for (int i = 0; i < windowRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        tv::CalcReadings(spread, boxes);
        tv::CalcRanges(spread, boxes);
        spread.viewport()->repaint();
        const auto end = std::chrono::steady_clock::now();
        withPaint.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(withPaint.begin(), withPaint.end());
    std::printf("window's grid: recomputation of 500 lines, median of %d runs: %.1f us "
                "(target < 5000 us); with the repaint of the visible cells: %.1f us\n",
                windowRuns, window, withPaint[withPaint.size() / 2]);
    return 0;
}
