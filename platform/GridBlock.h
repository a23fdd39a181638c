#pragma once
// Blocks of cells going in and out of the grid as text: what a spreadsheet copies and pastes
// (tab-separated, or comma-separated), and the fields of a readings file. A block is checked
// whole before anything of it is written, so a bad field leaves the grid as it was.
#include "platform/GridData.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tv {

// A field as the cell of a column takes it: full-width number characters become ASCII in the
// number columns, and in a reading column (2 to 11) a leading '*' marks an excluded reading.
struct TCellInput {
    QString text;            // what the cell is given (empty clears it)
    int color = kColorBlack; // red for an excluded reading
};

// The field for the cell of column `col`; nothing when the column does not take it, with the
// reason in `why` ("は数値ではありません", ...), to follow the quoted field in a message.
std::optional<TCellInput> CellInput(int col, const QString& field, QString* why = nullptr);

// One cell of a checked block, ready to be written.
struct TBlockCell {
    int col = 0;
    int row = 0;
    TCellInput input;
};

// Splits copied text into rows of fields: lines end at CR LF, LF or CR (a final line break adds
// no row), fields are separated by tabs, or by commas when the text holds no tab.
std::vector<QStringList> SplitBlockText(const QString& text);

// Checks the rows of fields placed with their first field at (col, row): every field must be
// taken by its cell and lie within the 16 columns and 500 rows. Fills `cells` and returns an
// empty text, or returns the message naming the first bad field ("3 行 5 列目 'abc' は数値では
// ありません") and fills nothing.
QString CheckBlock(const std::vector<QStringList>& rows, int col, int row,
                   std::vector<TBlockCell>& cells);

// Writes checked cells (text and colour) as one change of the grid.
void WriteBlock(TGridData& grid, const std::vector<TBlockCell>& cells);

// The block col1..col2, row1..row2 as tab-separated lines, each cell as it shows its number; an
// excluded reading is written as '*' followed by its number.
QString BlockText(const TGridData& grid, int col1, int row1, int col2, int row2);

// The text of a cell as the files and the clipboard carry it: '*' before an excluded reading.
QString MarkedCellText(const TGridData& grid, int col, int row);

} // namespace tv
