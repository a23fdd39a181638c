#pragma once
// The drawing surface of the print primitives: a canvas in printer pixels with a current font, pen
// and brush, as the primitives need them. TPainterCanvas draws through a QPainter (the pages of a
// document, the screen, a printer or a PDF file); TRecordingCanvas keeps a list of what was drawn.
#include <QColor>
#include <QPoint>
#include <QString>
#include <vector>

namespace tv {

enum class TBrushStyle { bsSolid, bsClear };
enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
// Raster mode of the pen. Kept so a drawing step can save and restore it; pages are vector
// recordings, so drawing always copies.
enum class TPenMode { pmCopy, pmNot, pmXor, pmNotXor };
// Device capabilities a canvas answers.
enum class TDeviceCap { LogPixelsX, LogPixelsY };

struct TFontStyle {
    bool bold = false;
    bool italic = false;
    bool operator==(const TFontStyle& o) const { return bold == o.bold && italic == o.italic; }
};

class TPrintCanvas {
public:
    virtual ~TPrintCanvas() = default;

    // Text extent in pixels with the current font (width of the advance, height of the cell).
    virtual int TextWidth(const QString& text) = 0;
    virtual int TextHeight(const QString& text) = 0;
    // Draws text with the top-left corner of its cell at (x, y), without background.
    virtual void TextOut(int x, int y, const QString& text) = 0;

    // Font: face name, size in points, style. The em height in pixels follows from the size and
    // the canvas's vertical resolution.
    QString FontName() const { return fontName_; }
    void SetFontName(const QString& name) { fontName_ = name; }
    int FontSize() const { return fontSize_; }
    void SetFontSize(int points) { fontSize_ = points; }
    TFontStyle FontStyle() const { return fontStyle_; }
    void SetFontStyle(TFontStyle style) { fontStyle_ = style; }
    // Width of the characters in percent of their normal width (100): below 100 the font is
    // condensed horizontally, its height unchanged.
    int FontWidthPercent() const { return fontWidthPercent_; }
    void SetFontWidthPercent(int percent) { fontWidthPercent_ = percent; }
    // Negative em height of the font in pixels (the height of a font chosen by size).
    int FontHeight() const;
    // Em height in pixels, at least 1.
    int FontEm() const;

    TBrushStyle BrushStyle() const { return brushStyle_; }
    void SetBrushStyle(TBrushStyle style) { brushStyle_ = style; }
    QColor BrushColor() const { return brushColor_; }
    void SetBrushColor(const QColor& color) { brushColor_ = color; }

    int PenWidth() const { return penWidth_; }
    void SetPenWidth(int width) { penWidth_ = width; }
    TPenStyle PenStyle() const { return penStyle_; }
    void SetPenStyle(TPenStyle style) { penStyle_ = style; }
    TPenMode PenMode() const { return penMode_; }
    void SetPenMode(TPenMode mode) { penMode_ = mode; }
    QColor PenColor() const { return penColor_; }
    void SetPenColor(const QColor& color) { penColor_ = color; }
    QPoint PenPos() const { return penPos_; }

    void MoveTo(int x, int y) { penPos_ = QPoint(x, y); }
    // Line with the current pen from the pen position to (x, y), which becomes the pen position.
    void LineTo(int x, int y);
    // Lines through the points in order with the current pen, as MoveTo to the first and LineTo
    // to each further point (the last becomes the pen position). A canvas may draw them as one
    // path, which is much cheaper for long series.
    void Polyline(const std::vector<QPoint>& points);
    // Separate lines from each point of even index to the next, as MoveTo/LineTo pairs.
    void Segments(const std::vector<QPoint>& ends);
    // Fills the rectangle from (x1, y1) to (x2, y2), right and bottom exclusive, with the brush;
    // nothing with a clear brush.
    virtual void FillRect(int x1, int y1, int x2, int y2) = 0;
    // Ellipse inside the bounding box (x1, y1)-(x2, y2), outlined with the pen, filled with the
    // brush.
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;

    virtual int DeviceCaps(TDeviceCap cap) const = 0;

protected:
    virtual void DrawLine(const QPoint& from, const QPoint& to) = 0;
    // Draws what Polyline and Segments ask for; by default line by line.
    virtual void DrawPolyline(const std::vector<QPoint>& points);
    virtual void DrawSegments(const std::vector<QPoint>& ends);

private:
    QString fontName_ = QStringLiteral("ＭＳ Ｐゴシック");
    int fontSize_ = 9;
    TFontStyle fontStyle_;
    int fontWidthPercent_ = 100;
    TBrushStyle brushStyle_ = TBrushStyle::bsSolid;
    QColor brushColor_ = Qt::white;
    int penWidth_ = 1;
    TPenStyle penStyle_ = TPenStyle::psSolid;
    TPenMode penMode_ = TPenMode::pmCopy;
    QColor penColor_ = Qt::black;
    QPoint penPos_;
};

} // namespace tv
