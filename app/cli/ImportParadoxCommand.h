#pragma once
#include <QStringList>

namespace tv::cli {

// "tavelon import-paradox SRC --into DEST": brings the Paradox tables of the earlier program's
// data folder SRC into DEST (created when missing; it must hold none of the nine tables). Prints
// one line per table with its row count. Exit 0, or 2 with a one-line message on standard error,
// and then DEST holds none of the tables.
int RunImportParadox(const QStringList& args);

} // namespace tv::cli
