#pragma once
#include <QStringList>

namespace tv::cli {

// "tavelon copy-data --from SRC --to DEST": copies the nine tables from SRC to DEST (each a data
// folder or a postgresql:// / postgres:// address), all or nothing, and prints one line per
// table with its row count. Exit 0, or 2 with a one-line message on standard error, and then
// DEST is as it was.
int RunCopyData(const QStringList& args);

} // namespace tv::cli
