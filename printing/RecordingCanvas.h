#pragma once
// A canvas that draws nothing and keeps a list of what was drawn, in printer pixels. Its font has
// simple, fixed metrics so positions can be worked out by hand: a character is one em wide (half
// an em for Latin and half-width katakana) and a text cell is em + em / 4 high. A condensed font
// (width factor below 100 %) makes a text's width that percentage of it, truncated.
#include "printing/PrintCanvas.h"

#include <vector>

namespace tv {

struct TRecordedText {
    int x, y;
    QString text;
    QString fontName;
    int fontSize;
    int em;
    int widthPercent; // the font's width factor in percent (100: not condensed)
};

struct TRecordedLine {
    QPoint from, to;
    int width;
    TPenStyle style;
    QColor color;
};

struct TRecordedBox {
    int x1, y1, x2, y2;
    int penWidth;
    TBrushStyle brush;
    QColor color; // the brush's
};

class TRecordingCanvas : public TPrintCanvas {
public:
    explicit TRecordingCanvas(int dpiX = 600, int dpiY = 600) : dpiX_(dpiX), dpiY_(dpiY) {}

    int TextWidth(const QString& text) override;
    int TextHeight(const QString& text) override;
    void TextOut(int x, int y, const QString& text) override;
    void FillRect(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    int DeviceCaps(TDeviceCap cap) const override;

    // Width of one character with the current font, not condensed.
    int CharWidth(QChar c) const;

    std::vector<TRecordedText> texts;
    std::vector<TRecordedLine> lines;
    std::vector<TRecordedBox> fills;
    std::vector<TRecordedBox> ellipses;

    void Clear();

protected:
    void DrawLine(const QPoint& from, const QPoint& to) override;

private:
    int dpiX_, dpiY_;
};

} // namespace tv
