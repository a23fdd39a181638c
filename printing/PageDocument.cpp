#include "printing/PageDocument.h"

#include <QFileInfo>
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

void TurnTo(QPrinter& printer, const TPage& page) {
    printer.setPageOrientation(page.Landscape() ? QPageLayout::Landscape : QPageLayout::Portrait);
}

// The page's rectangle on the printer: its recorded size stretched by the zoom and by the ratio
// of the printer's resolution to the one the page was recorded for.
QRectF SheetRect(const TPage& page, int zoomX, int zoomY, const QPrinter& printer) {
    const double rx = page.dpiX > 0 ? double(printer.resolution()) / page.dpiX : 1.0;
    const double ry = page.dpiY > 0 ? double(printer.resolution()) / page.dpiY : 1.0;
    const int w = int(std::trunc(page.width * rx * zoomX / 100.0));
    const int h = int(std::trunc(page.height * ry * zoomY / 100.0));
    return QRectF(0, 0, w, h);
}

} // namespace

int PrintPages(const std::vector<TPage>& pages, int from, int to, int zoomX, int zoomY,
               QPrinter& printer) {
    const int count = int(pages.size());
    if (count == 0 || from < 1 || from > count)
        return 0;
    const int last = std::min(count, to);
    int i = from;
    TurnTo(printer, pages[size_t(i - 1)]);
    QPainter painter;
    if (!painter.begin(&printer))
        throw EPrevError(QStringLiteral("印刷を開始できませんでした"));
    int sheets = 0;
    for (;;) {
        const TPage& page = pages[size_t(i - 1)];
        PlayPage(painter, page, SheetRect(page, zoomX, zoomY, printer));
        ++sheets;
        ++i;
        if (i > last)
            break;
        TurnTo(printer, pages[size_t(i - 1)]);
        printer.newPage();
    }
    painter.end();
    return sheets;
}

int SavePagesAsPdf(const std::vector<TPage>& pages, int from, int to, int zoomX, int zoomY,
                   const QPrinter& like, const QString& fileName, const QString& title) {
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(fileName);
    pdf.setResolution(like.resolution());
    pdf.setPageLayout(like.pageLayout());
    pdf.setDocName(title);
    pdf.setCreator(QStringLiteral("平坦性試験"));
    const int sheets = PrintPages(pages, from, to, zoomX, zoomY, pdf);
    if (sheets > 0 && !QFileInfo(fileName).isFile())
        throw EPrevError(QStringLiteral("PDFファイルを書き込めませんでした: ") + fileName);
    return sheets;
}

} // namespace tv
