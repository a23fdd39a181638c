#pragma once
#include <QStringList>

namespace tv {
class TCalcTarget;
}

namespace tv::cli {

// "tavelon calc [--group-size G] [--grid] FILE": the measurement window's calculations on the
// readings of a CSV file; prints the result boxes (and with --grid the grid). Exit 0, or 2 with
// a one-line message on standard error.
int RunCalc(const QStringList& args);

// The eight result lines "SD=" .. "GP=" of the boxes, as "tavelon calc" prints them.
QString ResultLines(const TCalcTarget& boxes);

} // namespace tv::cli
