// Printing a long measurement: 500 lines (5,000 readings, 50 sheets of the handbook test report
// sheet) stored in a fresh data folder, drawn by the real form and written to a PDF file, first in
// this process (recording and PDF timed apart), then through "tavelon print" as a whole process.
// Prints the times.
//
//   bench_print [--keep FILE]   the benchmark (keeping its PDF as FILE)
//   bench_print --sample FILE   writes a two-page sample using every primitive and alignment to
//                               FILE (PDF), for looking at the output
//   bench_print --preview FILE.png [ZOOM]
//                               the preview window showing that sample, as a picture
#include "app/forms/PrintTestReportSheet.h"
#include "bench/BenchSupport.h"
#include "measurement/uRokuma.h"
#include "platform/GridData.h"
#include "printing/PageDocument.h"
#include "printing/Primitives.h"
#include "printing/gui/PrintView.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "tests/support/Measurements.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <cstdio>
#include <sys/resource.h>

using namespace tv;

using namespace tv::bench;

namespace {

constexpr int kLines = 500;

// The 500-line measurement of the benchmark, stored in the data folder of `env` under work
// "B001" and work type "表層工": 5,000 readings, every seventh one excluded.
void StoreMeasurement(TRokumaKanri& header) {
    test::ChooseMeasurement(header, QStringLiteral("B001"), QStringLiteral("表層工"),
                            QStringLiteral("国道改良工事（舗装の平坦性試験）"));
    header.STARTP = QStringLiteral("No.0");
    header.ENDP = QStringLiteral("No.250");
    header.KYORI = QStringLiteral("5000m");
    header.SOKUTEIKI = QStringLiteral("3mプロフィルメータ");
    header.SOKUTEISYA = QStringLiteral("山田太郎");
    header.SD = QStringLiteral("123.4");
    header.SD2 = QStringLiteral("9876.54");
    header.DATACOUNT = QStringLiteral("4286");
    header.HENSA = QStringLiteral("1.52");
    TGridData grid;
    for (int r = 1; r <= kLines; ++r) {
        grid.SetCellText(1, r, QStringLiteral("No.%1+%2").arg(r / 2).arg(r % 2 * 10));
        for (int c = 2; c <= 11; ++c) {
            const int k = (r - 1) * 10 + c - 2;
            grid.SetForeColor(k % 7 == 6 ? kColorRed : kColorBlack);
            grid.SetCellText(c, r, QString::asprintf("%1.1f", ((k * 37) % 61 - 30) / 10.0));
        }
        grid.SetForeColor(kColorBlack);
        grid.SetCellText(16, r, QStringLiteral("4.5"));
    }
    SaveMeasurement(header, grid);
}

// The real form drawn in this process: recording all sheets, then writing them as a PDF file.
void InProcess(TRokumaKanri& header, const QString& file) {
    SetPrinterSource([] { return PdfPrinter(); });
    double bestRecord = 1e9, bestPdf = 1e9;
    int pages = 0;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        TPageDocument doc;
        doc.BeginDoc();
        pages = PrintTestReportSheet(doc, header);
        doc.EndDoc();
        const double record = timer.nsecsElapsed() / 1e6;
        timer.restart();
        SavePagesAsPdf(doc.Pages(), 1, pages, 100, 100, *CurrentPrinter(), file,
                       QStringLiteral("bench"));
        const double pdf = timer.nsecsElapsed() / 1e6;
        std::printf("in process, run %d: recording %d sheets %.1f ms, writing PDF %.1f ms "
                    "(%lld bytes)\n",
                    run + 1, pages, record, pdf, static_cast<long long>(QFileInfo(file).size()));
        bestRecord = std::min(bestRecord, record);
        bestPdf = std::min(bestPdf, pdf);
    }
    std::printf("in process, best: recording %.1f ms + PDF %.1f ms = %.1f ms for %d sheets\n",
                bestRecord, bestPdf, bestRecord + bestPdf, pages);
}

// "tavelon print --form handbook" as a whole process, start to exit.
void WholeProcess(const QString& file) {
    const QStringList args = {
        QStringLiteral("print"),    QStringLiteral("--work"), QStringLiteral("B001"),
        QStringLiteral("--type"),   QStringLiteral("表層工"), QStringLiteral("--form"),
        QStringLiteral("handbook"), QStringLiteral("--pdf"),  file};
    double best = 1e9, bestCpu = 1e9;
    for (int run = 0; run < 5; ++run) {
        QFile::remove(file);
        const double cpu0 = ChildrenCpuMs();
        QElapsedTimer timer;
        timer.start();
        QProcess process;
        process.start(QStringLiteral(TAVELON_EXE), args);
        process.waitForFinished(120000);
        const double ms = timer.nsecsElapsed() / 1e6;
        const double cpu = ChildrenCpuMs() - cpu0;
        if (process.exitCode() != 0) {
            std::printf("tavelon print failed: %s\n", process.readAllStandardError().constData());
            return;
        }
        std::printf("tavelon print, run %d: %.1f ms, processor time %.1f ms (%lld bytes)\n",
                    run + 1, ms, cpu, static_cast<long long>(QFileInfo(file).size()));
        best = std::min(best, ms);
        bestCpu = std::min(bestCpu, cpu);
    }
    std::printf("tavelon print --form handbook, %d readings: best %.1f ms, processor time %.1f ms "
                "(target < 1000 ms)\n",
                kLines * 10, best, bestCpu);
}

int Benchmark(const QString& keep) {
    test::TestEnv env;
    TRokumaKanri header;
    StoreMeasurement(header);
    const QString file =
        keep.isEmpty() ? QDir(env.Root()).filePath(QStringLiteral("bench.pdf")) : keep;
    InProcess(header, file);
    WholeProcess(file);
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
