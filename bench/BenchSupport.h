#pragma once
// What the benchmark programs share: the median of their runs, the processor time of the
// programs they start, bare SQLite statements and the measurement they save and load.
#include "measurement/uRokuma.h"
#include "platform/GridData.h"

#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>
#include <sys/resource.h>
#include <vector>

namespace tv::bench {

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Processor time (user and system) of the finished child processes so far, in milliseconds.
inline double ChildrenCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Runs a statement on a bare SQLite connection; a failure ends the benchmark.
inline void Exec(sqlite3* db, const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, err);
        std::exit(1);
    }
}

// A measurement of `lines` full lines: position "No.<row>", readings from -2.0 to 2.0 varied
// along the stretch, every result "1.5".
inline void FillMeasurement(TGridData& grid, int lines) {
    for (int r = 1; r <= lines; ++r) {
        grid.SetCellText(1, r, QStringLiteral("No.%1").arg(r));
        for (int j = 2; j <= 11; ++j)
            grid.SetCellText(j, r, QString::number((r * 7 + j * 3) % 41 / 10.0 - 2.0));
        for (int k = 12; k <= 16; ++k)
            grid.SetCellText(k, r, QStringLiteral("1.5"));
    }
}

// Saves the measurement of `lines` lines through the records and loads it back into a grid store,
// adding the times (ms) to `save` and `load`; a grid that comes back different ends the
// benchmark.
inline void SaveAndLoad(TRokumaKanri& header, TGridData& grid, int lines, std::vector<double>& save,
                        std::vector<double>& load) {
    QElapsedTimer t;
    t.start();
    SaveMeasurement(header, grid);
    save.push_back(double(t.nsecsElapsed()) / 1e6);
    TGridData loaded;
    t.restart();
    LoadMeasurementGrid(header.ID, loaded);
    load.push_back(double(t.nsecsElapsed()) / 1e6);
    if (loaded.CellText(11, lines) != grid.CellText(11, lines)) {
        std::fprintf(stderr, "loaded grid differs\n");
        std::exit(1);
    }
}

} // namespace tv::bench
