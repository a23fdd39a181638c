#pragma once
// The measurement as an Excel workbook (.xlsx): one worksheet with the header boxes and the
// results at the top and the grid below, laid out as the window shows them. Numbers are written
// as numbers with their column's decimals; excluded readings are red.
#include <QString>

namespace tv {

class TGridData;
class TRokumaKanri;

// Writes the workbook to `path`, replacing a file there only when the whole workbook was written
// and never a table (see TOutputFile).
// Raises TError when it cannot be written.
void WriteExcelSheet(const QString& path, const TRokumaKanri& header, const TGridData& grid);

} // namespace tv
