#pragma once
// Drawing in centimetres on a printer page. Positions are single-precision centimetres from the
// drawing origin, which sits PageShiftX, PageShiftY cm from the paper's top-left corner (negative
// shifts move the form right and down). Every primitive refreshes the printer metrics first and
// converts to pixels of the printable area, so a page recorded for the current printer lands on
// the paper exactly where it was drawn. Every conversion truncates toward zero.
//
// The canvas may be nullptr (no document being recorded): then nothing is drawn and the measuring
// functions answer 0.
#include "printing/PrintCanvas.h"

#include <cstdint>

namespace tv {

enum TBoxAlign : std::uint8_t {
    baLeft = 0,
    baCenter = 1,
    baRight = 2,
    baJustify = 3,      // characters spread evenly over the box
    baJustifyInset = 4, // as baJustify in the box shrunk by a tenth of its length at each end
    baPointSplit = 5,   // text before the first "." in the lower half, the rest above at 80 %
};

// Page shift in cm; process-wide, set by each document before it draws.
extern float PageShiftX;
extern float PageShiftY;

// Current printer metrics: resolution and the device offsets (physical offset of the printable
// area plus the page shift, in pixels).
struct TPrintMetrics {
    int dpiX = 600, dpiY = 600;
    int offX = 0, offY = 0;
};
const TPrintMetrics& PrintMetrics();
// Re-reads the metrics from the current printer (kept as they were when there is none).
void UpdatePrintMetrics();

// Page centimetres to device pixels with the current metrics.
int DevX(float x);
int DevY(float y);

void DrawTextBox(TPrintCanvas* canvas, const QString& text, TBoxAlign align, float left, float top,
                 float right, float bottom, std::uint8_t vertical = 0, float scale = 1.0f);
// A value filled into a form (a text from stored data or a computed result) in a horizontal box.
// A value that fits is drawn as DrawTextBox draws it. A value wider than its box is never split:
// it stays on one line, the font condensed horizontally just enough to fit (width factor down to
// 50 %, below that the largest font size that fits at 50 %), with the box's alignment and the em
// box centred vertically. Two backslashes in a value are drawn as they stand, not as a line break.
void DrawValueBox(TPrintCanvas* canvas, const QString& text, TBoxAlign align, float left, float top,
                  float right, float bottom, float scale = 1.0f);
// Fills the box, frames it with the pen widened by `scale`, and draws the text in it.
void DrawBoxText(TPrintCanvas* canvas, const QString& text, TBoxAlign align, float left, float top,
                 float right, float bottom, std::uint8_t vertical = 0, float scale = 1.0f);
void DrawStyledLine(TPrintCanvas* canvas, float x1, float y1, float x2, float y2,
                    float widthFactor = 1.0f);
void DrawFrame(TPrintCanvas* canvas, float left, float top, float right, float bottom,
               float widthFactor = 1.0f);
void FillBox(TPrintCanvas* canvas, float left, float top, float right, float bottom);
void DrawCircle(TPrintCanvas* canvas, float cx, float cy, float r);
// Pen width from millimetres, rounded up to whole pixels of the canvas's resolution.
void SetPenWidthMm(TPrintCanvas* canvas, float mm);
// Measured text in cm (with the factor 2.55, so measured texts come out 0.4 % long).
float TextWidthCm(TPrintCanvas* canvas, const QString& text);
float TextHeightCm(TPrintCanvas* canvas, const QString& text);

// Field n (from 1) of text split at every occurrence of separator; empty when there is none.
QString SplitField(const QString& text, const QString& separator, int n);
// x rounded up to n decimals, an excess below 0.00001 of the last step being ignored.
double RoundUpTo(int n, double x);

} // namespace tv
