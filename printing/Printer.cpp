#include "printing/Printer.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

namespace tv {

namespace {

TPrinterSource& Source() {
    static TPrinterSource source;
    return source;
}

std::unique_ptr<QPrinter>& Current() {
    static std::unique_ptr<QPrinter> printer;
    return printer;
}

} // namespace

TPrinterCaps PrinterCaps(const QPrinter& printer) {
    TPrinterCaps caps;
    const int dpi = printer.resolution();
    const QPageLayout layout = printer.pageLayout();
    const QRect full = layout.fullRectPixels(dpi);
    const QRect paint = layout.paintRectPixels(dpi);
    caps.logPixelsX = dpi;
    caps.logPixelsY = dpi;
    caps.physicalWidth = full.width();
    caps.physicalHeight = full.height();
    caps.physicalOffsetX = paint.left();
    caps.physicalOffsetY = paint.top();
    caps.horzRes = paint.width();
    caps.vertRes = paint.height();
    return caps;
}

QPrinter* CurrentPrinter() {
    auto& current = Current();
    if (!current) {
        const TPrinterSource& source = Source();
        current = source ? source() : SystemPrinter();
    }
    return current.get();
}

void CheckPrinter() {
    if (!CurrentPrinter())
        throw EPrevError(QStringLiteral("プリンタが登録されていません"));
}

TPrinterCaps CurrentPrinterCaps() {
    CheckPrinter();
    return PrinterCaps(*CurrentPrinter());
}

TOrientation CurrentOrientation() {
    CheckPrinter();
    return CurrentPrinter()->pageLayout().orientation() == QPageLayout::Landscape
               ? TOrientation::Landscape
               : TOrientation::Portrait;
}

void SetCurrentOrientation(TOrientation orientation) {
    CheckPrinter();
    CurrentPrinter()->setPageOrientation(
        orientation == TOrientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

TOrientationGuard::TOrientationGuard(TOrientation orientation) : old_(CurrentOrientation()) {
    SetCurrentOrientation(orientation);
}

TOrientationGuard::~TOrientationGuard() {
    // A destructor must not throw: a printer that went away keeps the orientation it has.
    try {
        if (CurrentPrinter())
            SetCurrentOrientation(old_);
    } catch (...) {
    }
}

TPrinterSource SetPrinterSource(TPrinterSource source) {
    TPrinterSource old = std::move(Source());
    Source() = std::move(source);
    Current().reset();
    return old;
}

std::unique_ptr<QPrinter> SystemPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull())
        return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    return PdfPrinter();
}

std::unique_ptr<QPrinter> PdfPrinter(int dpi, double marginPt) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setResolution(dpi);
    printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                       QMarginsF(marginPt, marginPt, marginPt, marginPt),
                                       QPageLayout::Point));
    return printer;
}

bool PrintsToPdf(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat;
}

} // namespace tv
