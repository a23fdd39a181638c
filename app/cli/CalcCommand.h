#pragma once
#include <QStringList>

namespace tv::cli {

// "tavelon calc [--group-size G] [--grid] FILE": the measurement window's calculations on the
// readings of a CSV file; prints the result boxes (and with --grid the grid). Exit 0, or 2 with
// a one-line message on standard error.
int RunCalc(const QStringList& args);

} // namespace tv::cli
