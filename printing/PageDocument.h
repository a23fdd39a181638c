#pragma once
// A document recorded page by page for the current printer. Each page is a vector picture in the
// printer's pixel space (origin at the top-left corner of the printable area, fonts sized for the
// printer's resolution) and is replayed stretched into any rectangle: a zoomed preview on screen,
// a printer page or a PDF page. One renderer serves all three.
#include "printing/PageTarget.h"
#include "printing/PainterCanvas.h"
#include "printing/Printer.h"

#include <QPainter>
#include <QPicture>
#include <QRectF>
#include <memory>
#include <vector>

class QPrinter;

namespace tv {

struct TPage {
    QPicture picture;
    int width = 0, height = 0; // printable area of the printer when the page was started
    int dpiX = 0, dpiY = 0;    // that printer's resolution
    bool Landscape() const { return width > height; }
};

class TPageDocument : public TPageTarget {
public:
    TPageDocument() = default;
    ~TPageDocument() override;
    TPageDocument(const TPageDocument&) = delete;
    TPageDocument& operator=(const TPageDocument&) = delete;

    // Discards all pages and starts recording the first one for the current printer.
    void BeginDoc();
    // Completes the page being recorded and starts the next one (with a fresh canvas).
    void NewPage() override;
    // Completes the last page; afterwards there is no canvas.
    void EndDoc();

    // The canvas of the page being recorded; nullptr when none is.
    TPrintCanvas* Canvas() override { return canvas_.get(); }
    bool Recording() const { return canvas_ != nullptr; }

    int PageCount() const { return int(pages_.size()) + (canvas_ ? 1 : 0); }
    // Completed pages, in order.
    const std::vector<TPage>& Pages() const { return pages_; }

private:
    void StartPage();
    void FinishPage();

    std::vector<TPage> pages_;
    TPage current_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<TPainterCanvas> canvas_;
};

// Plays a page stretched into `target` (device units of the painter).
void PlayPage(QPainter& painter, const TPage& page, const QRectF& target);

// Prints pages `from` .. min(count, to) (from 1) on the printer, each on its own sheet turned to
// the page's orientation, stretched by zoomX / zoomY percent. The first page is printed even when
// `to` is below `from`. Returns the number of sheets; raises EPrevError when the printer cannot
// start.
int PrintPages(const std::vector<TPage>& pages, int from, int to, int zoomX, int zoomY,
               QPrinter& printer);

// Writes pages from..to as a PDF file, page for page as they would print on `like` (its paper,
// margins and resolution). Raises EPrevError when the file cannot be written; the file is
// replaced only by a complete PDF, never left empty or half-written.
int SavePagesAsPdf(const std::vector<TPage>& pages, int from, int to, int zoomX, int zoomY,
                   const QPrinter& like, const QString& fileName, const QString& title);

} // namespace tv
