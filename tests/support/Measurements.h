#pragma once
// Stored measurements for tests and benchmarks.
#include <QString>

namespace tv {
class TRokumaKanri;
}

namespace tv::test {

// Makes sure of the tables the main window makes sure of when it starts (the measurements with
// their lines and points, the works, the work types), then chooses the work `code` and the work
// type `kosyu` as the window does: `header` holds the stored measurement of that pair, or a new
// one. A `workName` given registers the work under that name first.
void ChooseMeasurement(TRokumaKanri& header, const QString& code, const QString& kosyu,
                       const QString& workName = QString());

} // namespace tv::test
