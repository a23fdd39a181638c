#pragma once
// Files of readings: the grid layout that "tavelon calc" and "tavelon export" use (one record per
// grid row: measuring position, ten readings, the five line results) and the logger layout (one
// reading per record, optionally after a measuring position), read into an in-memory grid, and
// the grid written back in the grid layout.
#include "platform/GridData.h"

#include <QString>

namespace tv {

enum class TReadingsLayout { Detect, Grid, Logger };

// The text of a file, UTF-8 or Shift-JIS. Raises TError naming the file when it is missing,
// unreadable or neither encoding.
QString ReadTextFile(const QString& path);

// Reads the records of `text` into `grid` (which should be empty) and returns the layout used.
// Detect takes the grid layout when a record holds more than two fields, else the logger
// layout. A first record that is text where numbers belong (a header line) is skipped. Raises
// EConvertError naming the record ("3 行目 2 列目 'abc' は数値ではありません") when a field does
// not fit its cell or the readings do not fit the 500 lines; the grid may then hold part of the
// file, so read into a scratch grid.
//
// Logger layout: each reading goes into the next cell of lines of ten, in order. A record whose
// measuring position differs from the last one seen starts a new line with that position; a
// record without a position (one field, or an empty first field) continues the line.
TReadingsLayout ReadReadings(const QString& text, TReadingsLayout layout, TGridData& grid);

// The last row holding any text (0 for an empty grid).
int LastFilledRow(const TGridData& grid);
// True when any cell holds text.
bool HasReadings(const TGridData& grid);

// The grid layout: rows 1 to `lastRow`, 16 fields each, cells as they show, '*' before an
// excluded reading, one line break after every row.
QString GridLayoutCsv(const TGridData& grid, int lastRow);

} // namespace tv
