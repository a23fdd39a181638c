#include "printing/Primitives.h"

#include "printing/Printer.h"
#include "printing/StyleLine.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace tv {

float PageShiftX = 0.0f;
float PageShiftY = 0.0f;

namespace {

TPrintMetrics gMetrics;

// Truncation toward zero of a value formed in double precision.
int Trunc(double v) {
    return int(std::trunc(v));
}

// The line separator of multi-line labels: two backslash characters.
const QString& LineSeparator() {
    static const QString separator = QStringLiteral("\\\\");
    return separator;
}

// The characters of a text (a surrogate pair is one character).
QStringList Characters(const QString& text) {
    QStringList chars;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() &&
            text.at(i + 1).isLowSurrogate()) {
            chars << text.mid(i, 2);
            ++i;
        } else {
            chars << text.mid(i, 1);
        }
    }
    return chars;
}

// The unit mark: "m2" / "m3" at `pos`, drawn left to right from the box's left edge with the
// digit raised at 80 % of the font size.
void DrawUnitMark(TPrintCanvas* canvas, const QString& text, int pos, float L, float T, float R,
                  float B) {
    const QString before = text.left(pos);
    const QString after = text.mid(pos + 2);
    const QString digit = text.mid(pos + 1, 1);
    DrawTextBox(canvas, before, baLeft, L, T, R, B, 0, 1.0f);
    L = L + TextWidthCm(canvas, before);
    R = L + TextWidthCm(canvas, QStringLiteral("m"));
    DrawTextBox(canvas, QStringLiteral("m"), baLeft, L, T, R, B, 0, 1.0f);
    const float h = TextHeightCm(canvas, QStringLiteral("m"));
    const float supTop = T + (B - T - h) / 2;
    const int size = canvas->FontSize();
    canvas->SetFontSize(Trunc(size * 0.8));
    L = R;
    R = L + TextWidthCm(canvas, digit);
    DrawTextBox(canvas, digit, baLeft, L, supTop, R, supTop + TextHeightCm(canvas, digit), 0, 1.0f);
    canvas->SetFontSize(size);
    L = R;
    R = L + TextWidthCm(canvas, after);
    DrawTextBox(canvas, after, baLeft, L, T, R, B, 0, 1.0f);
}

// One line of horizontal text in the box (W x H pixels from L, T), aligned and with its em box
// centred vertically; no splitting.
void DrawOneLine(TPrintCanvas* canvas, const QString& text, const QStringList& chars,
                 TBoxAlign align, float L, float T, int W, int H) {
    const TPrintMetrics& m = gMetrics;
    if (chars.isEmpty())
        return;
    const int em = canvas->FontEm();
    const int y = Trunc(m.dpiY * double(T) / 2.54 - m.offY) + Trunc((H - em) / 2.0);
    const double x0 = m.dpiX * double(L) / 2.54 - m.offX;
    const int TW = canvas->TextWidth(text);
    switch (align) {
    case baCenter:
        canvas->TextOut(Trunc(x0 + (W - TW) / 2.0), y, text);
        break;
    case baRight:
        canvas->TextOut(Trunc(x0 + W - TW), y, text);
        break;
    case baJustify:
        if (chars.size() == 1) {
            canvas->TextOut(Trunc(x0 + (W - TW) / 2.0), y, text);
        } else {
            const float gap = float(W - TW) / float(chars.size() - 1);
            float x = float(x0);
            for (const QString& c : chars) {
                canvas->TextOut(Trunc(x), y, c);
                x = x + float(canvas->TextWidth(c)) + gap;
            }
        }
        break;
    default:
        canvas->TextOut(Trunc(x0), y, text);
        break;
    }
}

void DrawHorizontal(TPrintCanvas* canvas, const QString& text, TBoxAlign align, float L, float T,
                    float R, float B, float scale, int S0, int W, int H) {
    const QStringList chars = Characters(text);
    if (canvas->TextWidth(text) > W) {
        // The shortest prefix that reaches the width ends the first line without its last
        // character.
        int k = 0;
        QString prefix;
        while (k < chars.size()) {
            prefix += chars.at(k);
            ++k;
            if (canvas->TextWidth(prefix) >= W)
                break;
        }
        // Splitting needs at least one character on the first line; a first character that
        // alone fills the box cannot be split off, and the text is drawn on one line instead.
        if (k >= 2) {
            const QString first = chars.mid(0, k - 1).join(QString());
            const QString second = chars.mid(k - 1).join(QString());
            canvas->SetFontSize(S0);
            const float mid = (T + B) / 2;
            DrawTextBox(canvas, first, align, L, T, R, mid, 0, scale);
            DrawTextBox(canvas, second, align, L, mid, R, B, 0, scale);
            return;
        }
    }
    DrawOneLine(canvas, text, chars, align, L, T, W, H);
}

// Condenses the canvas font (already at the drawing size) until `text` is at most W pixels wide:
// the width factor just small enough, down to 50 %; at 50 % the font size goes down instead, to
// the largest size that fits (at least 1 point).
void CondenseToFit(TPrintCanvas* canvas, const QString& text, int W) {
    constexpr int kNarrowest = 50;
    const int normal = canvas->FontWidthPercent();
    const int TW = canvas->TextWidth(text);
    if (TW <= W)
        return;
    // Widths are not exactly proportional to the factor (advances are whole pixels): start a
    // little wider than the proportion and take the first factor that fits.
    int percent = W > 0 ? int(std::floor(double(normal) * W / TW)) + 2 : 0;
    percent = std::min(percent, normal - 1);
    for (; percent >= kNarrowest; --percent) {
        canvas->SetFontWidthPercent(percent);
        if (canvas->TextWidth(text) <= W)
            return;
    }
    canvas->SetFontWidthPercent(kNarrowest);
    while (canvas->FontSize() > 1 && canvas->TextWidth(text) > W)
        canvas->SetFontSize(canvas->FontSize() - 1);
}

void DrawVertical(TPrintCanvas* canvas, const QString& text, TBoxAlign align, float L, float T,
                  int W, int H) {
    const TPrintMetrics& m = gMetrics;
    const QStringList chars = Characters(text);
    if (chars.isEmpty())
        return;
    // The column height is measured with the characters as given, before "ー" is turned.
    int total = 0;
    for (const QString& c : chars)
        total += canvas->TextHeight(c);
    float y = float(Trunc(m.dpiY * double(T) / 2.54) - m.offY);
    float gap = 0;
    switch (align) {
    case baCenter:
        y += float((H - total) / 2);
        break;
    case baRight:
        y += float(H - total);
        break;
    case baJustify:
        if (H > total) {
            if (chars.size() == 1)
                y += float((H - total) / 2);
            else
                gap = float(H - total) / float(chars.size() - 1);
        }
        break;
    default:
        break;
    }
    const int left = Trunc(m.dpiX * double(L) / 2.54 - m.offX);
    for (QString c : chars) {
        if (c == QStringLiteral("ー"))
            c = QStringLiteral("｜");
        const int x = Trunc((W - canvas->TextWidth(c)) / 2.0) + left;
        canvas->TextOut(x, Trunc(y), c);
        y = y + float(canvas->TextHeight(c)) + gap;
    }
}

} // namespace

const TPrintMetrics& PrintMetrics() {
    return gMetrics;
}

void UpdatePrintMetrics() {
    if (!CurrentPrinter())
        return;
    const TPrinterCaps caps = PrinterCaps(*CurrentPrinter());
    gMetrics.dpiX = caps.logPixelsX;
    gMetrics.dpiY = caps.logPixelsY;
    gMetrics.offX = caps.physicalOffsetX + Trunc(caps.logPixelsX * double(PageShiftX) / 2.54);
    gMetrics.offY = caps.physicalOffsetY + Trunc(caps.logPixelsY * double(PageShiftY) / 2.54);
}

int DevX(float x) {
    return Trunc(gMetrics.dpiX * double(x) / 2.54 - gMetrics.offX);
}
int DevY(float y) {
    return Trunc(gMetrics.dpiY * double(y) / 2.54 - gMetrics.offY);
}

void DrawTextBox(TPrintCanvas* canvas, const QString& text, TBoxAlign align, float L, float T,
                 float R, float B, std::uint8_t vertical, float scale) {
    if (!canvas)
        return;
    if (align == baPointSplit) {
        // Without a "." the whole text is the part before it.
        int p = text.indexOf(QLatin1Char('.'));
        if (p < 0)
            p = text.size();
        const float mid = (T + B) / 2;
        DrawTextBox(canvas, text.left(p), baLeft, L + 0.01f, mid, R, B, 0, scale);
        const int size = canvas->FontSize();
        canvas->SetFontSize(Trunc(size * 0.8 * scale));
        DrawTextBox(canvas, text.mid(p), baRight, L, T, R, mid, 0, scale);
        canvas->SetFontSize(size);
        return;
    }
    if (align == baJustifyInset) {
        if (vertical == 0) {
            const float d = (R - L) / 10;
            DrawTextBox(canvas, text, baJustify, L + d, T, R - d, B, vertical, scale);
        } else {
            const float d = (B - T) / 10;
            DrawTextBox(canvas, text, baJustify, L, T + d, R, B - d, vertical, scale);
        }
        return;
    }
    // Separators are counted as SplitField finds them, left to right, each consuming both
    // backslashes: three backslashes in a row are one separator, not two overlapping ones.
    const int n = int(text.split(LineSeparator()).size());
    if (n > 1) {
        for (int i = 1; i <= n; ++i) {
            const QString line = SplitField(text, LineSeparator(), i);
            if (vertical == 0) {
                const float h = (B - T) / n;
                DrawTextBox(canvas, line, align, L, T + (i - 1) * h, R, T + i * h, vertical, scale);
            } else {
                const float h = (R - L) / n;
                DrawTextBox(canvas, line, align, L + (i - 1) * h, T, L + i * h, B, vertical, scale);
            }
        }
        return;
    }
    int unit = text.indexOf(QStringLiteral("m3"));
    if (unit < 0)
        unit = text.indexOf(QStringLiteral("m2"));
    if (unit >= 0) {
        DrawUnitMark(canvas, text, unit, L, T, R, B);
        return;
    }

    const int S0 = canvas->FontSize();
    canvas->SetFontSize(Trunc(S0 * double(scale)));
    UpdatePrintMetrics();
    const int W = Trunc((R - L) * double(gMetrics.dpiX) / 2.54);
    const int H = Trunc((B - T) * double(gMetrics.dpiY) / 2.54);
    const TBrushStyle brush = canvas->BrushStyle();
    canvas->SetBrushStyle(TBrushStyle::bsClear);
    if (vertical == 0)
        DrawHorizontal(canvas, text, align, L, T, R, B, scale, S0, W, H);
    else
        DrawVertical(canvas, text, align, L, T, W, H);
    canvas->SetFontSize(S0);
    canvas->SetBrushStyle(brush);
}

void DrawValueBox(TPrintCanvas* canvas, const QString& text, TBoxAlign align, float L, float T,
                  float R, float B, float scale) {
    if (!canvas)
        return;
    if (align == baJustifyInset) {
        const float d = (R - L) / 10;
        DrawValueBox(canvas, text, baJustify, L + d, T, R - d, B, scale);
        return;
    }
    if (align == baPointSplit) {
        DrawTextBox(canvas, text, align, L, T, R, B, 0, scale);
        return;
    }
    const int S0 = canvas->FontSize();
    canvas->SetFontSize(Trunc(S0 * double(scale)));
    UpdatePrintMetrics();
    const int W = Trunc((R - L) * double(gMetrics.dpiX) / 2.54);
    const bool fits = canvas->TextWidth(text) <= W;
    if (fits && !text.contains(LineSeparator())) {
        // A value that fits is drawn as any text is.
        canvas->SetFontSize(S0);
        DrawTextBox(canvas, text, align, L, T, R, B, 0, scale);
        return;
    }
    // Too wide (or holding the line separator, which a value never means): one line, condensed,
    // drawn as it stands.
    const int H = Trunc((B - T) * double(gMetrics.dpiY) / 2.54);
    const int P0 = canvas->FontWidthPercent();
    const TBrushStyle brush = canvas->BrushStyle();
    canvas->SetBrushStyle(TBrushStyle::bsClear);
    CondenseToFit(canvas, text, W);
    DrawOneLine(canvas, text, Characters(text), align, L, T, W, H);
    canvas->SetFontWidthPercent(P0);
    canvas->SetFontSize(S0);
    canvas->SetBrushStyle(brush);
}

void DrawBoxText(TPrintCanvas* canvas, const QString& text, TBoxAlign align, float L, float T,
                 float R, float B, std::uint8_t vertical, float scale) {
    FillBox(canvas, L, T, R, B);
    DrawFrame(canvas, L, T, R, B, scale);
    DrawTextBox(canvas, text, align, L, T, R, B, vertical, scale);
}

void DrawStyledLine(TPrintCanvas* canvas, float x1, float y1, float x2, float y2, float f) {
    if (!canvas)
        return;
    const int w = canvas->PenWidth();
    const int width = Trunc(w * double(f));
    canvas->SetPenWidth(width);
    UpdatePrintMetrics();
    TStyleLine line(canvas);
    line.SetWidth(width);
    switch (canvas->PenStyle()) {
    case TPenStyle::psSolid:
        line.SetStyle(1);
        break;
    case TPenStyle::psDot:
        line.SetStyle(2);
        break;
    case TPenStyle::psDashDot:
        line.SetStyle(4);
        break;
    default:
        break;
    }
    line.MoveTo(DevX(x1), DevY(y1));
    line.LineTo(DevX(x2), DevY(y2));
    canvas->SetPenWidth(w);
}

void DrawFrame(TPrintCanvas* canvas, float L, float T, float R, float B, float f) {
    if (!canvas)
        return;
    const int w = canvas->PenWidth();
    canvas->SetPenWidth(Trunc(w * double(f)));
    UpdatePrintMetrics();
    canvas->MoveTo(DevX(L), DevY(T));
    canvas->LineTo(DevX(R), DevY(T));
    canvas->MoveTo(DevX(R), DevY(T));
    canvas->LineTo(DevX(R), DevY(B));
    canvas->MoveTo(DevX(R), DevY(B));
    canvas->LineTo(DevX(L), DevY(B));
    canvas->MoveTo(DevX(L), DevY(B));
    canvas->LineTo(DevX(L), DevY(T));
    canvas->SetPenWidth(w);
}

void FillBox(TPrintCanvas* canvas, float L, float T, float R, float B) {
    if (!canvas)
        return;
    UpdatePrintMetrics();
    const TPenMode mode = canvas->PenMode();
    const QColor color = canvas->PenColor();
    canvas->FillRect(DevX(L), DevY(T), DevX(R), DevY(B));
    canvas->SetPenMode(mode);
    canvas->SetPenColor(color);
}

void DrawCircle(TPrintCanvas* canvas, float cx, float cy, float r) {
    if (!canvas)
        return;
    UpdatePrintMetrics();
    canvas->Ellipse(DevX(cx - r), DevY(cy - r), DevX(cx + r), DevY(cy + r));
}

void SetPenWidthMm(TPrintCanvas* canvas, float mm) {
    if (!canvas)
        return;
    const float p = float(canvas->DeviceCaps(TDeviceCap::LogPixelsX) * (double(mm) * 0.1 / 2.54));
    canvas->SetPenWidth(int(RoundUpTo(0, p)));
}

float TextWidthCm(TPrintCanvas* canvas, const QString& text) {
    if (!canvas)
        return 0;
    UpdatePrintMetrics();
    return float(canvas->TextWidth(text) * 2.55 / gMetrics.dpiX);
}

float TextHeightCm(TPrintCanvas* canvas, const QString& text) {
    if (!canvas)
        return 0;
    UpdatePrintMetrics();
    return float(canvas->TextHeight(text) * 2.55 / gMetrics.dpiY);
}

QString SplitField(const QString& text, const QString& separator, int n) {
    if (text.isEmpty() || n < 1)
        return QString();
    if (separator.isEmpty())
        return n == 1 ? text : QString();
    const QStringList fields = text.split(separator);
    return n <= fields.size() ? fields.at(n - 1) : QString();
}

double RoundUpTo(int n, double x) {
    const double p = std::pow(10.0, n);
    return std::trunc(x * p + 0.99999) / p;
}

} // namespace tv
