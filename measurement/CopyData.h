#pragma once
// Moving the data between a folder and a server (or two of either): the nine tables with every
// row, all or nothing.
#include <QString>
#include <QStringList>

namespace tv {

// Copies the nine tables of SRC into DEST, each a data folder or a server address (a
// postgresql:// / postgres:// URI or a libpq connection string). DEST must hold none of the
// tables; a folder destination may be missing or hold other files. Into a server everything is
// written in one transaction; into a folder the tables are built in a folder beside it and moved
// in all at once (BuildFolderAtomically), and what a killed copy left there is cleared first.
// The row counts are checked before the copy is made final. Returns one line per table,
// "Name: rows" (or "Name: なし（...）" for a table SRC lacks). Raises TError (EngineError for
// the data), leaving DEST as it was, when the copy cannot be made.
QStringList CopyData(const QString& source, const QString& destination);

// The reason DEST cannot take a copy (it holds one of the tables, or is not a folder), empty
// when it can. The tables a killed copy into a folder had begun to move in are taken back first.
QString CopyDestinationProblem(const QString& destination);

} // namespace tv
