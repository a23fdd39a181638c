#include "printing/PageDocument.h"

#include "platform/SafeOutput.h"

#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

namespace tv {

TPageDocument::~TPageDocument() {
    FinishPage();
}

void TPageDocument::StartPage() {
    const TPrinterCaps caps = CurrentPrinterCaps();
    current_ = TPage();
    current_.width = caps.horzRes;
    current_.height = caps.vertRes;
    current_.dpiX = caps.logPixelsX;
    current_.dpiY = caps.logPixelsY;
    current_.picture.setBoundingRect(QRect(0, 0, caps.horzRes, caps.vertRes));
    painter_ = std::make_unique<QPainter>(&current_.picture);
    canvas_ = std::make_unique<TPainterCanvas>(painter_.get(), caps.logPixelsX, caps.logPixelsY);
}

void TPageDocument::FinishPage() {
    if (!painter_)
        return;
    canvas_.reset();
    painter_->end();
    painter_.reset();
    current_.picture.setBoundingRect(QRect(0, 0, current_.width, current_.height));
    pages_.push_back(current_);
    current_ = TPage();
}

void TPageDocument::BeginDoc() {
    CheckPrinter();
    canvas_.reset();
    if (painter_) {
        painter_->end();
        painter_.reset();
    }
    pages_.clear();
    StartPage();
}

void TPageDocument::NewPage() {
    CheckPrinter();
    FinishPage();
    StartPage();
}

void TPageDocument::EndDoc() {
    FinishPage();
}

void PlayPage(QPainter& painter, const TPage& page, const QRectF& target) {
    if (page.width <= 0 || page.height <= 0)
        return;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / page.width, target.height() / page.height);
    // A picture plays itself at its own logical resolution, scaling its commands by the ratio of
    // the target's resolution to its own; undo that, the page is already in target units.
    if (const QPaintDevice* device = painter.device()) {
        const QPicture& picture = page.picture;
        painter.scale(double(picture.logicalDpiX()) / device->logicalDpiX(),
                      double(picture.logicalDpiY()) / device->logicalDpiY());
    }
    painter.drawPicture(0, 0, page.picture);
    painter.restore();
}

namespace {

void TurnTo(QPagedPaintDevice& device, const TPage& page) {
    device.setPageOrientation(page.Landscape() ? QPageLayout::Landscape : QPageLayout::Portrait);
}

// The page's rectangle on a device of `resolution` pixels per inch: its recorded size stretched
// by the zoom and by the ratio of that resolution to the one the page was recorded for.
QRectF SheetRect(const TPage& page, int zoomX, int zoomY, int resolution) {
    const double rx = page.dpiX > 0 ? double(resolution) / page.dpiX : 1.0;
    const double ry = page.dpiY > 0 ? double(resolution) / page.dpiY : 1.0;
    const int w = int(std::trunc(page.width * rx * zoomX / 100.0));
    const int h = int(std::trunc(page.height * ry * zoomY / 100.0));
    return QRectF(0, 0, w, h);
}

// Plays pages from..min(count, to) on a paged device, one sheet each, turned to each page's
// orientation; the first page is played even when `to` is below `from`. Returns the sheets.
int PlayPages(const std::vector<TPage>& pages, int from, int to, int zoomX, int zoomY,
              QPagedPaintDevice& device, int resolution) {
    const int count = int(pages.size());
    if (count == 0 || from < 1 || from > count)
        return 0;
    const int last = std::min(count, to);
    int i = from;
    TurnTo(device, pages[size_t(i - 1)]);
    QPainter painter;
    if (!painter.begin(&device))
        throw EPrevError(QStringLiteral("印刷を開始できませんでした"));
    int sheets = 0;
    for (;;) {
        const TPage& page = pages[size_t(i - 1)];
        PlayPage(painter, page, SheetRect(page, zoomX, zoomY, resolution));
        ++sheets;
        ++i;
        if (i > last)
            break;
        TurnTo(device, pages[size_t(i - 1)]);
        device.newPage();
    }
    painter.end();
    return sheets;
}

} // namespace

int PrintPages(const std::vector<TPage>& pages, int from, int to, int zoomX, int zoomY,
               QPrinter& printer) {
    return PlayPages(pages, from, to, zoomX, zoomY, printer, printer.resolution());
}

int SavePagesAsPdf(const std::vector<TPage>& pages, int from, int to, int zoomX, int zoomY,
                   const QPrinter& like, const QString& fileName, const QString& title) {
    const int count = int(pages.size());
    if (count == 0 || from < 1 || from > count)
        return 0;
    // The file appears only when it is complete (TOutputFile: written beside the target, synced
    // and renamed), so a failure leaves no empty or partial file and keeps a file that was there;
    // a table or a file of the data folder is never replaced.
    try {
        TOutputFile file(fileName);
        int sheets = 0;
        {
            QPdfWriter pdf(&file.Device());
            pdf.setResolution(like.resolution());
            pdf.setPageLayout(like.pageLayout());
            pdf.setTitle(title);
            pdf.setCreator(QStringLiteral("平坦性試験"));
            sheets = PlayPages(pages, from, to, zoomX, zoomY, pdf, like.resolution());
        }
        file.Commit();
        return sheets;
    } catch (const EPrevError&) {
        throw;
    } catch (const TError& e) {
        throw EPrevError(QStringLiteral("PDFファイルを書き込めませんでした: %1").arg(e.Message()));
    }
}

} // namespace tv
