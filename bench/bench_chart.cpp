// Redrawing the charts of a measurement of 5,000 readings (500 lines of ten, every seventh reading
// excluded, group size 10, a standard value) as the chart window does after a recalculation:
// read the grid and draw the landscape page of the PDF stand-in printer into a window-sized
// picture. Prints the median and the slowest of 30 redraws, each step's median, and what
// recording the same page for printing takes.
//
//   bench_chart [--png FILE]   the benchmark (keeping the last picture as FILE)
#include "bench/BenchSupport.h"
#include "platform/GridData.h"
#include "printing/FlatnessChart.h"
#include "printing/PageDocument.h"
#include "printing/Printer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace tv;

using namespace tv::bench;

namespace {} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SetPrinterSource([] { return PdfPrinter(600, 12); });
    SetCurrentOrientation(TOrientation::Landscape);

    TGridData grid;
    for (int row = 1; row <= 500; ++row) {
        grid.SetCellText(1, row, QStringLiteral("No.%1").arg(row - 1));
        float largest = -100, smallest = 100;
        for (int col = 2; col <= 11; ++col) {
            const int i = (row - 1) * 10 + col - 2;
            const float d = float(std::sin(i * 0.05) * 2.0 + std::cos(i * 0.77) * 0.8);
            grid.SetCol(col);
            grid.SetRow(row);
            grid.SetForeColor(i % 7 == 3 ? kColorRed : kColorBlack);
            grid.SetText(QString::number(double(d), 'f', 1));
            largest = std::max(largest, d);
            smallest = std::min(smallest, d);
        }
        grid.SetCellText(16, row, QString::number(double(largest - smallest), 'f', 1));
    }

    QImage picture(760, 540, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> total, reading, recording, playing;
    for (int run = 0; run < 30; ++run) {
        QElapsedTimer timer;
        timer.start();
        TFlatnessChart chart;
        chart.work = QStringLiteral("A001:国道改良工事");
        chart.kosyu = QStringLiteral("表層工");
        chart.limit = 2.4;
        ReadChartGrid(grid, chart);
        const double t1 = double(timer.nsecsElapsed()) / 1e6;
        TPageDocument document;
        document.BeginDoc();
        DrawFlatnessChart(document.Canvas(), chart);
        document.EndDoc();
        const double t2 = double(timer.nsecsElapsed()) / 1e6;
        // What the chart window does on every redraw: the same drawing, straight onto the
        // window's painter.
        picture.fill(Qt::white);
        {
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            PaintFlatnessChart(painter, FlatnessChartPageRect(QRectF(6, 6, 748, 528)), chart);
        }
        const double t3 = double(timer.nsecsElapsed()) / 1e6;
        reading.push_back(t1);
        recording.push_back(t2 - t1);
        playing.push_back(t3 - t2);
        total.push_back(t1 + t3 - t2);
        if (run == 0)
            std::printf("readings: %d\n", int(chart.readings.size()));
    }
    std::printf("redraw of 5,000 readings in the window: median %.1f ms, slowest %.1f ms\n",
                Median(total), *std::max_element(total.begin(), total.end()));
    std::printf("  read grid %.1f ms, draw into the window %.1f ms; recording the page for the "
                "printer %.1f ms (medians)\n",
                Median(reading), Median(playing), Median(recording));
    for (int i = 1; i + 1 < argc; ++i)
        if (QString::fromLocal8Bit(argv[i]) == QStringLiteral("--png"))
            picture.save(QString::fromLocal8Bit(argv[i + 1]));
    return 0;
}
