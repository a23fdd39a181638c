#pragma once
// The charts of a stored measurement, as the chart window shows them for the same measurement
// loaded in the main window: its readings and groups, its header and its flatness standard.
#include "printing/FlatnessChart.h"

namespace tv {

class TRokumaKanri;

// The chart data of the header's stored measurement (lines and points of its ID).
TFlatnessChart StoredMeasurementChart(const TRokumaKanri& header);

} // namespace tv
