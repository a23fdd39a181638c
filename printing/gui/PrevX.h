#pragma once
// The page canvas and preview control: records a document page by page for the current printer,
// shows one page at a zoom on a picture of the paper with the printable area dotted, and prints
// any range of the pages.
#include "printing/PageDocument.h"
#include "printing/PageTarget.h"

#include <QWidget>

namespace tv {

// Asks for the name of a PDF file to write (empty when the user cancels): a save-file dialog for
// PDF files (Dialogs().SaveFileName) proposing `suggested` in the folder last written to (the
// documents folder at first). Adds ".pdf" when missing.
QString AskPdfFileName(QWidget* parent, const QString& caption, const QString& suggested);

class TPrevX : public QWidget, public TPageTarget {
    Q_OBJECT
public:
    explicit TPrevX(QWidget* parent = nullptr);
    ~TPrevX() override;

    QString Title() const { return title_; }
    // The document's name: the print job's name and the PDF file name proposed.
    void SetTitle(const QString& title) { title_ = title; }
    // The PDF file name proposed for the document: its title with characters a file name cannot
    // hold replaced, and ".pdf".
    QString SuggestedPdfName() const;
    int ZoomScale() const { return zoomScale_; }
    int ZoomPrintX() const { return zoomPrintX_; }
    void SetZoomPrintX(int percent) { zoomPrintX_ = percent; }
    int ZoomPrintY() const { return zoomPrintY_; }
    void SetZoomPrintY(int percent) { zoomPrintY_ = percent; }

    void BeginDoc();
    void NewPage() override;
    void EndDoc();
    // The canvas of the page being recorded; nullptr outside BeginDoc .. EndDoc.
    TPrintCanvas* Canvas() override { return document_.Canvas(); }

    // Prints pages PrintFrom .. min(PageCount, PrintTo); PrintFrom is printed in any case. On the
    // PDF stand-in printer the pages go to a PDF file whose name is asked for.
    void Print();
    // Writes every page to a PDF file, page for page as printed.
    void SaveAsPdf(const QString& fileName);

    // Page and range setters ignore values out of range.
    void SetPageNo(int n);
    void SetPrintFrom(int n);
    void SetPrintTo(int n);
    void SetZoomScale(int percent);
    int PageNo() const { return pageNo_; }
    int PageCount() const { return pageCount_; }
    int PrintFrom() const { return printFrom_; }
    int PrintTo() const { return printTo_; }

    void CheckPrinter();
    // Recomputes the preview geometry for the current printer, page and zoom.
    void UpdateGeometry();
    // Paints the paper, the printable area and the page shown.
    void Paint(QPainter& painter);

    // Preview geometry in screen pixels (after UpdateGeometry).
    int PaperWidth() const { return paperWidth_; }
    int PaperHeight() const { return paperHeight_; }
    int OffsetX() const { return offsetX_; }
    int OffsetY() const { return offsetY_; }
    int PrintableWidth() const { return printableWidth_; }
    int PrintableHeight() const { return printableHeight_; }
    // The control's size at zoom 100 for the current printer and page (paper plus margin).
    QSize FullSize();

    const std::vector<TPage>& Pages() const { return document_.Pages(); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // UpdateGeometry and the control's size, without raising when there is no printer.
    void Relayout();

    TPageDocument document_;
    QString title_;
    int zoomScale_ = 25;
    int zoomPrintX_ = 100, zoomPrintY_ = 100;
    int pageNo_ = 1, pageCount_ = 0, printFrom_ = 1, printTo_ = 9999;
    int paperWidth_ = 0, paperHeight_ = 0, offsetX_ = 0, offsetY_ = 0;
    int printableWidth_ = 0, printableHeight_ = 0;
};

} // namespace tv
