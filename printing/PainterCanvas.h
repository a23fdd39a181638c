#pragma once
// A print canvas drawing through a QPainter whose device units are printer pixels.
#include "printing/PrintCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <optional>

class QPainter;

namespace tv {

// Maps the Japanese Windows face names the forms ask for ("ＭＳ 明朝", "ＭＳ Ｐゴシック", ...) to
// the IPA fonts, so Japanese text renders in a matching face. Safe to call more than once.
void InstallFontSubstitutes();

class TPainterCanvas : public TPrintCanvas {
public:
    // The painter is not owned; dpiX and dpiY are the resolution the pixels stand for (the
    // printer's), which sets font sizes and answers DeviceCaps.
    TPainterCanvas(QPainter* painter, int dpiX, int dpiY);

    int TextWidth(const QString& text) override;
    int TextHeight(const QString& text) override;
    void TextOut(int x, int y, const QString& text) override;
    void FillRect(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    int DeviceCaps(TDeviceCap cap) const override;

    // The QFont standing for the current font settings.
    const QFont& CurrentFont();

protected:
    void DrawLine(const QPoint& from, const QPoint& to) override;
    void DrawPolyline(const std::vector<QPoint>& points) override;
    void DrawSegments(const std::vector<QPoint>& ends) override;

private:
    void ApplyPen();
    QPainter* painter_;
    int dpiX_, dpiY_;
    QFont font_;
    std::optional<QFontMetrics> metrics_;
    bool fontOnPainter_ = false;
    QString fontKeyName_;
    int fontKeyEm_ = -1;
    TFontStyle fontKeyStyle_;
    int fontKeyWidth_ = 100;
    QHash<QString, int>* widths_ = nullptr; // measured widths of the current font
};

} // namespace tv
