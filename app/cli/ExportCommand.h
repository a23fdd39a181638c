#pragma once
#include <QStringList>

namespace tv::cli {

// "tavelon export --work CODE --type NAME": prints the stored measurement of the pair as the CSV
// that "tavelon calc" reads (16 fields a row, rows up to the last stored line, excluded readings
// with '*'). Exit 0, or 2 with a one-line message on standard error (unknown pair, no data).
// With "--xlsx FILE" the measurement is written to FILE as an Excel workbook instead.
int RunExport(const QStringList& args);

} // namespace tv::cli
