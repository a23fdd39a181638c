#include "printing/PainterCanvas.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <algorithm>

namespace tv {

void InstallFontSubstitutes() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    const QString mincho = QStringLiteral("IPAMincho");
    const QString pMincho = QStringLiteral("IPAPMincho");
    const QString gothic = QStringLiteral("IPAGothic");
    const QString pGothic = QStringLiteral("IPAPGothic");
    QFont::insertSubstitutions(QStringLiteral("ＭＳ 明朝"), {mincho, pMincho});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐ明朝"), {pMincho, mincho});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), {gothic, pGothic});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), {pGothic, gothic});
    QFont::insertSubstitutions(QStringLiteral("MS Mincho"), {mincho, pMincho});
    QFont::insertSubstitutions(QStringLiteral("MS PMincho"), {pMincho, mincho});
    QFont::insertSubstitutions(QStringLiteral("MS Gothic"), {gothic, pGothic});
    QFont::insertSubstitutions(QStringLiteral("MS PGothic"), {pGothic, gothic});
}

TPainterCanvas::TPainterCanvas(QPainter* painter, int dpiX, int dpiY)
    : painter_(painter), dpiX_(dpiX), dpiY_(dpiY) {
    InstallFontSubstitutes();
}

const QFont& TPainterCanvas::CurrentFont() {
    const int em = FontEm();
    if (em != fontKeyEm_ || FontName() != fontKeyName_ || !(FontStyle() == fontKeyStyle_) ||
        FontWidthPercent() != fontKeyWidth_) {
        fontKeyEm_ = em;
        fontKeyName_ = FontName();
        fontKeyStyle_ = FontStyle();
        fontKeyWidth_ = FontWidthPercent();
        font_ = QFont(fontKeyName_);
        font_.setPixelSize(em);
        font_.setBold(fontKeyStyle_.bold);
        font_.setItalic(fontKeyStyle_.italic);
        if (fontKeyWidth_ != 100)
            font_.setStretch(std::clamp(fontKeyWidth_, 1, 4000));
        // Unhinted advances keep the measured widths the same at every zoom and on paper.
        font_.setHintingPreference(QFont::PreferNoHinting);
        metrics_.emplace(font_);
        static QHash<QString, QHash<QString, int>> widthsByFont;
        widths_ = &widthsByFont[fontKeyName_ + QLatin1Char('|') + QString::number(fontKeyEm_) +
                                QLatin1Char('|') + QString::number(int(fontKeyStyle_.bold)) +
                                QString::number(int(fontKeyStyle_.italic)) + QLatin1Char('|') +
                                QString::number(fontKeyWidth_)];
        fontOnPainter_ = false;
    }
    return font_;
}

int TPainterCanvas::TextWidth(const QString& text) {
    CurrentFont();
    // Forms measure the same labels and numbers again and again (every value is measured before
    // it is placed): the advances of a font are kept for the whole process.
    auto found = widths_->constFind(text);
    if (found != widths_->constEnd())
        return *found;
    if (widths_->size() > 100000)
        widths_->clear();
    const int width = metrics_->horizontalAdvance(text);
    widths_->insert(text, width);
    return width;
}

int TPainterCanvas::TextHeight(const QString&) {
    CurrentFont();
    return metrics_->height();
}

void TPainterCanvas::TextOut(int x, int y, const QString& text) {
    const QFont& font = CurrentFont();
    // Font and pen are set on the painter only when they change, so the recorded page does not
    // repeat them before every text.
    if (!fontOnPainter_) {
        painter_->setFont(font);
        fontOnPainter_ = true;
    }
    const QPen black(Qt::black);
    if (painter_->pen() != black)
        painter_->setPen(black);
    // A letter with a combining macron ("R̄") is drawn as the letter and then a spacing macron
    // centred over it. The font would shift its combining mark up in its own run, and a PDF reader
    // then puts the mark on a line of its own; a spacing macron drawn over a letter it reads as
    // that letter's combining mark, on the letter's line.
    const int baseline = y + metrics_->ascent();
    const QChar macron(0x0304);
    int from = 0;
    for (int at = int(text.indexOf(macron)); at > from; at = int(text.indexOf(macron, from))) {
        const QString run = text.mid(from, at - from);
        painter_->drawText(QPoint(x, baseline), run);
        const int runWidth = metrics_->horizontalAdvance(run);
        const QString letter = run.right(run.size() >= 2 && run.back().isLowSurrogate() ? 2 : 1);
        const QChar bar(0x00AF);
        const int letterWidth = metrics_->horizontalAdvance(letter);
        const QRect letterInk = letter.size() == 1 ? metrics_->boundingRect(letter.front())
                                                   : metrics_->tightBoundingRect(letter);
        // The spacing macron sits at the height of a small letter's accent: raised to clear the
        // letter's top by a twentieth of the em.
        const int raise =
            std::max(0, metrics_->boundingRect(bar).bottom() - letterInk.top() + FontEm() / 20);
        painter_->drawText(QPoint(x + runWidth - letterWidth +
                                      (letterWidth - metrics_->horizontalAdvance(bar)) / 2,
                                  baseline - raise),
                           QString(bar));
        x += runWidth;
        from = at + 1;
    }
    painter_->drawText(QPoint(x, baseline), from == 0 ? text : text.mid(from));
}

void TPainterCanvas::ApplyPen() {
    Qt::PenStyle style = Qt::SolidLine;
    switch (PenStyle()) {
    case TPenStyle::psSolid:
        style = Qt::SolidLine;
        break;
    case TPenStyle::psDash:
        style = Qt::DashLine;
        break;
    case TPenStyle::psDot:
        style = Qt::DotLine;
        break;
    case TPenStyle::psDashDot:
        style = Qt::DashDotLine;
        break;
    case TPenStyle::psDashDotDot:
        style = Qt::DashDotDotLine;
        break;
    case TPenStyle::psClear:
        style = Qt::NoPen;
        break;
    }
    // A pen of width 0 or 1 is one device pixel wide, with round ends as printer pens have.
    const QPen pen(PenColor(), std::max(1, PenWidth()), style, Qt::RoundCap, Qt::RoundJoin);
    if (painter_->pen() != pen)
        painter_->setPen(pen);
}

void TPainterCanvas::DrawLine(const QPoint& from, const QPoint& to) {
    ApplyPen();
    painter_->drawLine(from, to);
}

void TPainterCanvas::DrawPolyline(const std::vector<QPoint>& points) {
    ApplyPen();
    painter_->drawPolyline(points.data(), int(points.size()));
}

void TPainterCanvas::DrawSegments(const std::vector<QPoint>& ends) {
    ApplyPen();
    std::vector<QLine> lines;
    lines.reserve(ends.size() / 2);
    for (size_t i = 0; i + 1 < ends.size(); i += 2)
        lines.emplace_back(ends[i], ends[i + 1]);
    painter_->drawLines(lines.data(), int(lines.size()));
}

void TPainterCanvas::FillRect(int x1, int y1, int x2, int y2) {
    if (BrushStyle() == TBrushStyle::bsClear)
        return;
    painter_->fillRect(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)).normalized(), BrushColor());
}

void TPainterCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    ApplyPen();
    if (BrushStyle() == TBrushStyle::bsClear)
        painter_->setBrush(Qt::NoBrush);
    else
        painter_->setBrush(BrushColor());
    painter_->drawEllipse(QRect(x1, y1, x2 - x1, y2 - y1));
    painter_->setBrush(Qt::NoBrush);
}

int TPainterCanvas::DeviceCaps(TDeviceCap cap) const {
    return cap == TDeviceCap::LogPixelsX ? dpiX_ : dpiY_;
}

} // namespace tv
