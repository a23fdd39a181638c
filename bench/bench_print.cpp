// Recording and PDF output of a long document: 50 pages of a reading form with 100 numbers each,
// recorded for the PDF stand-in printer and written to a PDF file. Prints the times.
//
//   bench_print [--keep FILE]   the benchmark (keeping its PDF as FILE)
//   bench_print --sample FILE   writes a two-page sample using every primitive and alignment to
//                               FILE (PDF), for looking at the output
//   bench_print --preview FILE.png [ZOOM]
//                               the preview window showing that sample, as a picture
#include "printing/PageDocument.h"
#include "printing/Primitives.h"
#include "printing/gui/PrintView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

using namespace tv;

namespace {

void ReadingForm(TPrintCanvas* c, int sheet) {
    c->SetFontName(QStringLiteral("ＭＳ 明朝"));
    c->SetFontSize(11);
    SetPenWidthMm(c, 0.3f);
    DrawFrame(c, 0, 1.5f, 15.8f, 24.3f);
    SetPenWidthMm(c, 0.1f);
    DrawFrame(c, 2.22f, 1.5f, 13.6f, 2.5f);
    DrawTextBox(c, QStringLiteral("舗装路面の平坦性測定"), baJustify, 5.12f, 1.5f, 10.7f, 2.5f);
    DrawStyledLine(c, 0, 2.5f, 15.8f, 2.5f);
    DrawTextBox(c, QStringLiteral("試験\\\\報告"), baJustifyInset, 13.6f, 1.5f, 14.65f, 2.5f);
    DrawTextBox(c, QStringLiteral("用紙"), baJustifyInset, 14.65f, 1.5f, 15.8f, 2.5f);
    const QString labels[] = {QStringLiteral("調査・工事名"), QStringLiteral("測定開始点"),
                              QStringLiteral("測定終了点"), QStringLiteral("測定距離"),
                              QStringLiteral("シート番号")};
    for (int j = 0; j < 5; ++j) {
        const float y = 2.7f + 0.5f * j;
        DrawTextBox(c, labels[j], baJustify, 0.5f, y, 3.0f, y + 0.5f);
        DrawTextBox(c, QStringLiteral("No.%1 から 200m").arg(sheet), baLeft, 3.5f, y, 15.5f,
                    y + 0.5f);
    }
    DrawStyledLine(c, 0, 5.4f, 15.8f, 5.4f);
    for (int b = 0; b < 10; ++b) {
        const float X0 = (b / 2) * 3.16f, Y0 = (b % 2) * 6.5f + 5.4f;
        c->SetFontSize(10);
        SetPenWidthMm(c, 0.2f);
        DrawFrame(c, X0, Y0, X0 + 3.16f, Y0 + 6.5f);
        SetPenWidthMm(c, 0.1f);
        for (int i = 1; i <= 11; ++i)
            DrawStyledLine(c, X0, Y0 + 0.5f * i, X0 + 3.16f, Y0 + 0.5f * i);
        for (int i = 1; i <= 10; ++i)
            DrawTextBox(c, QString::number((sheet - 1) * 100 + 10 * b + i), baRight, X0,
                        Y0 + 0.5f * i, X0 + 1.0f, Y0 + 0.5f * i + 0.5f);
        DrawFrame(c, X0 + 1.1f, Y0, X0 + 2.1f, Y0 + 6.5f);
        DrawTextBox(c, QStringLiteral("№"), baCenter, X0, Y0, X0 + 1.1f, Y0 + 0.5f);
        DrawTextBox(c, QStringLiteral("ｄ"), baCenter, X0 + 1.1f, Y0, X0 + 2.1f, Y0 + 0.5f);
        c->SetFontSize(11);
        DrawTextBox(c, QStringLiteral("計"), baCenter, X0, Y0 + 5.5f, X0 + 1.1f, Y0 + 6.5f);
    }
}

void Readings(TPrintCanvas* c, int sheet) {
    c->SetFontSize(9);
    for (int b = 0; b < 10; ++b) {
        const float X0 = (b / 2) * 3.16f, Y0 = (b % 2) * 6.5f + 5.4f;
        float y = Y0 + 0.5f;
        for (int i = 0; i < 10; ++i) {
            const double d = ((sheet * 37 + b * 11 + i * 7) % 61 - 30) / 10.0;
            DrawTextBox(c, QString::asprintf("%1.1f", d), baRight, X0 + 1.1f, y, X0 + 2.05f,
                        y + 0.5f);
            DrawTextBox(c, QString::asprintf("%1.2f", d * d), baRight, X0 + 2.1f, y, X0 + 3.11f,
                        y + 0.5f);
            y += 0.5f;
        }
    }
}

int Benchmark(const QString& keep) {
    SetPrinterSource([] { return PdfPrinter(); });
    PageShiftX = -2.6f;
    PageShiftY = -2.7f;
    const int pages = 50;
    QTemporaryDir dir;
    const QString file = keep.isEmpty() ? dir.filePath(QStringLiteral("bench.pdf")) : keep;
    double bestRecord = 1e9, bestPdf = 1e9;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpu0 = std::clock();
        TPageDocument doc;
        doc.BeginDoc();
        for (int p = 1; p <= pages; ++p) {
            if (p > 1)
                doc.NewPage();
            ReadingForm(doc.Canvas(), p);
            Readings(doc.Canvas(), p);
        }
        doc.EndDoc();
        const double record = timer.nsecsElapsed() / 1e6;
        timer.restart();
        SavePagesAsPdf(doc.Pages(), 1, pages, 100, 100, *CurrentPrinter(), file,
                       QStringLiteral("bench"));
        const double pdf = timer.nsecsElapsed() / 1e6;
        const double cpu = double(std::clock() - cpu0) * 1000.0 / CLOCKS_PER_SEC;
        std::printf("run %d: recording %d pages %.1f ms, writing PDF %.1f ms, total %.1f ms, "
                    "processor time %.1f ms (%lld bytes)\n",
                    run + 1, pages, record, pdf, record + pdf, cpu,
                    static_cast<long long>(QFileInfo(file).size()));
        bestRecord = std::min(bestRecord, record);
        bestPdf = std::min(bestPdf, pdf);
    }
    std::printf("best: recording %.1f ms + PDF %.1f ms = %.1f ms for %d pages (target < 1000 "
                "ms)\n",
                bestRecord, bestPdf, bestRecord + bestPdf, pages);
    return 0;
}

// Every primitive and alignment on two pages (the second one landscape).
// Records the sample on a preview control (recording starts with `beginDoc`, `newPage` starts
// page 2).
template <class Doc> void RecordSample(Doc& doc) {
    PageShiftX = -2.6f;
    PageShiftY = -2.7f;
    doc.BeginDoc();
    TPrintCanvas* c = doc.Canvas();
    c->SetFontName(QStringLiteral("ＭＳ 明朝"));
    c->SetFontSize(11);
    SetPenWidthMm(c, 0.3f);
    DrawFrame(c, 0, 0, 15.8f, 24.3f);
    SetPenWidthMm(c, 0.1f);
    const char* names[] = {"baLeft", "baCenter", "baRight", "baJustify", "baJustifyInset"};
    for (int a = 0; a < 5; ++a) {
        const float y = 0.5f + a * 1.0f;
        DrawFrame(c, 1, y, 9, y + 0.8f);
        DrawTextBox(c, QStringLiteral("明朝の文字列"), TBoxAlign(a), 1, y, 9, y + 0.8f);
        DrawTextBox(c, QString::fromLatin1(names[a]), baLeft, 9.5f, y, 15, y + 0.8f);
    }
    DrawFrame(c, 1, 5.5f, 9, 6.5f);
    DrawTextBox(c, QStringLiteral("12.345"), baPointSplit, 1, 5.5f, 9, 6.5f);
    c->SetFontName(QStringLiteral("ＭＳ Ｐゴシック"));
    DrawFrame(c, 1, 7, 5, 8);
    DrawTextBox(c, QStringLiteral("試験\\\\報告"), baCenter, 1, 7, 5, 8);
    DrawFrame(c, 5.5f, 7, 9, 8);
    DrawTextBox(c, QStringLiteral("グループ\\\\の番号"), baJustify, 5.5f, 7, 9, 8);
    DrawFrame(c, 1, 8.5f, 9, 9.3f);
    DrawTextBox(c, QStringLiteral("面積 100m2 と 体積 20m3"), baCenter, 1, 8.5f, 9, 9.3f);
    DrawFrame(c, 1, 9.8f, 4, 10.8f);
    DrawTextBox(c, QStringLiteral("この文字列は枠より長いので二行に分かれます"), baLeft, 1, 9.8f, 4,
                10.8f);
    DrawFrame(c, 4.5f, 9.8f, 5.0f, 10.8f);
    DrawTextBox(c, QStringLiteral("幅"), baLeft, 4.5f, 9.8f, 5.0f, 10.8f, 0, 3.0f);
    const TBoxAlign vAligns[] = {baLeft, baCenter, baRight, baJustify, baJustifyInset};
    for (int a = 0; a < 5; ++a) {
        const float x = 1 + a * 1.2f;
        DrawFrame(c, x, 11.5f, x + 1, 16);
        DrawTextBox(c, QStringLiteral("データー"), vAligns[a], x, 11.5f, x + 1, 16, 1);
    }
    c->SetFontSize(9);
    DrawBoxText(c, QStringLiteral("記事"), baJustifyInset, 7.5f, 11.5f, 8.5f, 14, 1);
    c->SetFontSize(11);
    c->SetPenStyle(TPenStyle::psDot);
    DrawStyledLine(c, 10, 11.5f, 15, 11.5f);
    c->SetPenStyle(TPenStyle::psDashDot);
    DrawStyledLine(c, 10, 12, 15, 12);
    c->SetPenStyle(TPenStyle::psDash);
    DrawStyledLine(c, 10, 12.5f, 15, 12.5f);
    c->SetPenStyle(TPenStyle::psSolid);
    for (int w = 1; w <= 5; ++w) {
        SetPenWidthMm(c, 0.1f * w);
        DrawStyledLine(c, 10, 13 + 0.4f * w, 15, 13 + 0.4f * w);
    }
    SetPenWidthMm(c, 0.1f);
    c->SetBrushColor(QColor(0xE0, 0xE0, 0xE0));
    FillBox(c, 10, 16.5f, 12, 18);
    c->SetBrushColor(Qt::white);
    DrawCircle(c, 13.5f, 17.25f, 0.7f);
    DrawTextBox(c, QStringLiteral("印"), baCenter, 12.8f, 16.55f, 14.2f, 17.95f);
    // The drawing origin: a cross at (0, 0), 2.6 cm / 2.7 cm from the paper's corner.
    DrawStyledLine(c, -0.5f, 0, 0.5f, 0);
    DrawStyledLine(c, 0, -0.5f, 0, 0.5f);
    c->SetFontStyle({false, true});
    DrawTextBox(c, QStringLiteral("Ｒ= σ= (italic)"), baLeft, 1, 19, 9, 19.8f);
    c->SetFontStyle({});
    DrawTextBox(c, QStringLiteral("\"*\"印のデータは計算から除外"), baLeft, 0.5f, 23.8f, 15.8f,
                24.3f);
    SetCurrentOrientation(TOrientation::Landscape);
    doc.NewPage();
    c = doc.Canvas();
    c->SetFontName(QStringLiteral("ＭＳ 明朝"));
    c->SetFontSize(16);
    SetPenWidthMm(c, 0.2f);
    DrawFrame(c, 0, 0, 24, 15);
    DrawTextBox(c, QStringLiteral("横置きの二ページ目"), baCenter, 0, 0, 24, 2);
    doc.EndDoc();
    SetCurrentOrientation(TOrientation::Portrait);
}

int Sample(const QString& file) {
    SetPrinterSource([] { return PdfPrinter(); });
    TPageDocument doc;
    RecordSample(doc);
    SavePagesAsPdf(doc.Pages(), 1, doc.PageCount(), 100, 100, *CurrentPrinter(), file,
                   QStringLiteral("sample"));
    std::printf("wrote %s (%d pages)\n", qPrintable(file), doc.PageCount());
    return 0;
}

// The preview window showing the sample at the given size, saved as a picture.
int Preview(const QString& file, int width, int height, int zoom) {
    SetPrinterSource([] { return PdfPrinter(); });
    TfrmPreView window;
    RecordSample(*window.PrevX1);
    window.show();
    window.resize(width, height);
    // Let the activation (which fits the page) happen before zooming.
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents();
    window.FormActivate(&window);
    bool allow = true;
    if (zoom > 0)
        window.UpDown1ChangingEx(zoom, allow);
    QApplication::processEvents();
    window.grab().save(file);
    std::printf("wrote %s (zoom %d)\n", qPrintable(file), window.PrevX1->ZoomScale());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args.at(1) == QStringLiteral("--sample"))
        return Sample(args.at(2));
    if (args.size() >= 3 && args.at(1) == QStringLiteral("--preview"))
        return Preview(args.at(2), 900, 800, args.size() >= 4 ? args.at(3).toInt() : 0);
    if (args.size() >= 3 && args.at(1) == QStringLiteral("--keep"))
        return Benchmark(args.at(2));
    return Benchmark(QString());
}
