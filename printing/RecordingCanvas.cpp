#include "printing/RecordingCanvas.h"

namespace tv {

int TRecordingCanvas::CharWidth(QChar c) const {
    const char16_t u = c.unicode();
    const bool half = u < 0x0100 || (u >= 0xFF61 && u <= 0xFF9F);
    return half ? FontEm() / 2 : FontEm();
}

int TRecordingCanvas::TextWidth(const QString& text) {
    int width = 0;
    for (QChar c : text)
        width += CharWidth(c);
    return width * FontWidthPercent() / 100;
}

int TRecordingCanvas::TextHeight(const QString&) {
    return FontEm() + FontEm() / 4;
}

void TRecordingCanvas::TextOut(int x, int y, const QString& text) {
    texts.push_back({x, y, text, FontName(), FontSize(), FontEm(), FontWidthPercent()});
}

void TRecordingCanvas::FillRect(int x1, int y1, int x2, int y2) {
    if (BrushStyle() == TBrushStyle::bsClear)
        return;
    fills.push_back({x1, y1, x2, y2, PenWidth(), BrushStyle(), BrushColor()});
}

void TRecordingCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    ellipses.push_back({x1, y1, x2, y2, PenWidth(), BrushStyle(), BrushColor()});
}

int TRecordingCanvas::DeviceCaps(TDeviceCap cap) const {
    return cap == TDeviceCap::LogPixelsX ? dpiX_ : dpiY_;
}

void TRecordingCanvas::DrawLine(const QPoint& from, const QPoint& to) {
    lines.push_back({from, to, PenWidth(), PenStyle(), PenColor()});
}

void TRecordingCanvas::Clear() {
    texts.clear();
    lines.clear();
    fills.clear();
    ellipses.clear();
}

} // namespace tv
