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
// layout. A blank line is an empty grid line in the grid layout and is skipped in the logger
// layout; it never ends the file. A first record is a header, and skipped, only when its reading
// fields hold no number or are exactly the column numbers 1, 2, ... (ASCII or full-width).
// Raises EConvertError naming the record ("3 行目 2 列目 'abc' は数値ではありません") when a field
// does not fit its cell, the readings do not fit the 500 lines, or the file holds no reading
// and no group; the grid may then hold part of the file, so read into a scratch grid.
//
// Logger layout: each reading goes into the next cell of lines of ten, in order. When
// consecutive records repeat a position, a record whose position differs from the last one seen
// starts a new line with that position, and a record without a position continues the line.
// When every record has a position of its own (a logger stamping each reading with its
// distance), the readings fill lines of ten in order, each line at its first reading's position.
TReadingsLayout ReadReadings(const QString& text, TReadingsLayout layout, TGridData& grid);

// True when the grid holds a reading or a group typed into 最大, 最小 or Ｒ.
bool HoldsMeasurement(const TGridData& grid);

// What a file gave the grid: readings, lines (rows holding anything but sums) and groups (rows
// with a range; count after the calculations).
struct TReadCounts {
    int readings = 0;
    int lines = 0;
    int groups = 0;
};
TReadCounts CountRead(const TGridData& grid);
// "測定値 49 個（5 行、5 群）を読み込みました"
QString ReadCountsText(const TReadCounts& counts);

// The last row holding any text (0 for an empty grid).
int LastFilledRow(const TGridData& grid);
// True when any cell holds text.
bool HasReadings(const TGridData& grid);

// The grid layout: rows 1 to `lastRow`, 16 fields each, cells as they show, '*' before an
// excluded reading, one line break after every row.
QString GridLayoutCsv(const TGridData& grid, int lastRow);

} // namespace tv
