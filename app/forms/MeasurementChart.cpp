#include "app/forms/MeasurementChart.h"

#include "measurement/FlatnessVerdict.h"
#include "measurement/uRokuma.h"
#include "platform/GridData.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"

namespace tv {

TFlatnessChart StoredMeasurementChart(const TRokumaKanri& header) {
    TFlatnessChart chart;
    chart.work = header.Koji->Code + QLatin1Char(':') + header.Koji->Kojimei;
    chart.kosyu = header.Kosyu->Kosyumei;
    chart.stretch = ChartStretchText(header.STARTP, header.ENDP, header.KYORI);
    chart.date = header.SOKUTEIBI.isValid() ? FormatShortDate(header.SOKUTEIBI.date()) : QString();
    chart.groupSize = ChartGroupSize(header.GP);
    chart.limit = FlatnessLimitValue(FlatnessLimitText(header.Koji->Code, header.Kosyu->Kosyumei));
    chart.judgedSigma =
        JudgedSigmaValue(ReportFormOfWork(header.Koji->Code), header.HENSA, header.HOHENSA);
    // The grid the main window would show, read as the window reads it.
    TGridData grid;
    LoadMeasurementGrid(header.ID, grid);
    ReadChartGrid(grid, chart);
    return chart;
}

} // namespace tv
