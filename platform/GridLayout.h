#pragma once
// The layout of the measurement grid, written once: which column holds what, how its numbers are
// shown and how many code-page-932 bytes its texts take when stored. Columns and rows count from
// 1. Header-only and free of dependencies: the grid store beside it, the calculations, the
// records, the charts, the windows and the command line all read it.

namespace tv::grid {

constexpr int kColumns = 16;
constexpr int kRows = 500;

// Column 1: the measuring position (測定位置), text.
constexpr int kPositionCol = 1;
// Columns 2 to 11: the ten readings of a line.
constexpr int kFirstReading = 2;
constexpr int kLastReading = 11;
constexpr int kReadingsPerLine = kLastReading - kFirstReading + 1;
// Columns 12 to 16: the line's results Σd, Σ(d2), 最大, 最小 and Ｒ.
constexpr int kColSum = 12;
constexpr int kColSquares = 13;
constexpr int kColLargest = 14;
constexpr int kColSmallest = 15;
constexpr int kColRange = 16;
constexpr int kFirstResult = kColSum;
constexpr int kLastResult = kColRange;
constexpr int kResults = kLastResult - kFirstResult + 1;

// Stored sizes in code-page-932 bytes: the position (Sokuten) as typed, and every computed result
// (the line results K00 to K04 and the header's Σd, Σd², counts and σ): room for the longest
// "%1.2f" text of a single-precision value, "-340282346638528859811704183484516925440.00". What
// the user types into a result box stays limited to the box's own size.
constexpr int kPositionBytes = 10;
constexpr int kResultBytes = 43;

// The largest reading a cell accepts, either sign.
constexpr double kReadingLimit = 99999999.0;

constexpr bool IsReading(int col) {
    return col >= kFirstReading && col <= kLastReading;
}
constexpr bool IsResult(int col) {
    return col >= kFirstResult && col <= kLastResult;
}
// Every column but the position holds a number.
constexpr bool IsNumberColumn(int col) {
    return col > kPositionCol && col <= kColumns;
}
// Decimals a number column shows: Σ(d2) two, the others one.
constexpr int Decimals(int col) {
    return col == kColSquares ? 2 : 1;
}

// A stored reading's point number (PNO) and back: ten points per line, row by row.
constexpr int PointNumber(int row, int col) {
    return (row - 1) * kReadingsPerLine + col - kFirstReading;
}
constexpr int PointRow(int pno) {
    return pno / kReadingsPerLine + 1;
}
constexpr int PointCol(int pno) {
    return pno % kReadingsPerLine + kFirstReading;
}

} // namespace tv::grid
