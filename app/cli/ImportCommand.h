#pragma once
#include <QStringList>

namespace tv::cli {

// "tavelon import --work CODE --type NAME [--layout grid|logger] [--date YYYY/MM/DD]
// [--start T] [--end T] [--distance T] [--instrument T] [--person T] [--group-size G]
// [--spec-range T] [--replace] FILE": reads the readings of FILE into a grid, runs the window's
// calculations and saves the measurement of the pair as 登録 does; prints the result lines as
// "tavelon calc" does. Exit 0, or 2 with a one-line message on standard error (work not
// registered, measurement already stored without --replace, bad file or option).
int RunImport(const QStringList& args);

} // namespace tv::cli
