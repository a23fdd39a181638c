#pragma once
// Reading a stored measurement, in one place for the measurement window, the report forms and the
// command line: which ID the tables keep for a work and work type, and the lines (in LNO order)
// and points (in PNO order) stored under an ID. Reading creates no table and changes nothing.
#include "platform/GridLayout.h"

#include <QString>
#include <vector>

namespace tv {

// A stored line: its grid row, the measuring position and the results of columns 12 to 16.
struct TStoredLine {
    int LNO = 0;
    QString SOKUTEN;
    QString K[grid::kResults]; // K00 .. K04
};

// A stored reading: its point number, whether it is used (black) and its value.
struct TStoredPoint {
    int PNO = 0;
    bool U = true;
    double DATA = 0;
};

struct TStoredMeasurement {
    std::vector<TStoredLine> Lines;   // by LNO
    std::vector<TStoredPoint> Points; // by PNO
};

// The IDs of the headers stored for (work code, work-type name), in table order; empty when the
// pair has no measurement.
std::vector<int> StoredMeasurementIds(const QString& workCode, const QString& kosyuName);

// The lines and points stored under the header ID.
TStoredMeasurement ReadStoredMeasurement(int id);

} // namespace tv
