#include "printing/gui/PrevX.h"

#include "platform/gui/Dialogs.h"
#include "settings/RegistryUtility.h"

#include <QDir>
#include <QFileInfo>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cmath>

namespace tv {

namespace {

// The folder of the last PDF written, kept as a per-user setting so the next run proposes it too.
const QString kLastPdfFolder = QStringLiteral("LastPdfFolder");

QString LastPdfFolder() {
    try {
        return ReadSetting(kLastPdfFolder);
    } catch (const std::exception&) {
        return QString(); // a damaged value only costs the proposal
    }
}

void RememberPdfFolder(const QString& folder) {
    try {
        WriteSetting(kLastPdfFolder, folder);
    } catch (const std::exception&) {
        // The file is written all the same; only the proposal next time is lost.
    }
}

int RoundEven(double v) {
    return int(std::nearbyint(v));
}

} // namespace

QString AskPdfFileName(QWidget* parent, const QString& caption, const QString& suggested) {
    QString folder = LastPdfFolder();
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    TFileRequest request;
    request.title = caption;
    request.start = QDir(folder).filePath(suggested);
    request.filters = QStringList{QStringLiteral("PDF (*.pdf)")};
    const std::optional<TChosenFile> chosen = Dialogs().SaveFileName(parent, request);
    QString name = chosen ? chosen->path : QString();
    if (!name.isEmpty() && !name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        name += QStringLiteral(".pdf");
    if (!name.isEmpty())
        RememberPdfFolder(QFileInfo(name).absolutePath());
    return name;
}

TPrevX::TPrevX(QWidget* parent) : QWidget(parent) {
    InstallFontSubstitutes();
}

TPrevX::~TPrevX() = default;

void TPrevX::CheckPrinter() {
    tv::CheckPrinter();
}

void TPrevX::BeginDoc() {
    UpdateGeometry();
    pageNo_ = 1;
    printFrom_ = 1;
    printTo_ = 9999;
    document_.BeginDoc();
    pageCount_ = document_.PageCount();
}

void TPrevX::NewPage() {
    CheckPrinter();
    document_.NewPage();
    pageCount_ = document_.PageCount();
}

void TPrevX::EndDoc() {
    document_.EndDoc();
    Relayout();
    update();
}

void TPrevX::SetPageNo(int n) {
    if (n != pageNo_ && n >= 1 && n <= pageCount_) {
        pageNo_ = n;
        Relayout();
        update();
    }
}

void TPrevX::SetPrintFrom(int n) {
    if (n != printFrom_ && n >= 1 && n <= pageCount_)
        printFrom_ = n;
}

void TPrevX::SetPrintTo(int n) {
    if (n != printTo_ && n >= 1)
        printTo_ = n;
}

void TPrevX::SetZoomScale(int percent) {
    if (percent != zoomScale_ && percent >= 25 && percent <= 200) {
        zoomScale_ = percent;
        Relayout();
        update();
    }
}

void TPrevX::UpdateGeometry() {
    CheckPrinter();
    const auto& pages = document_.Pages();
    if (pageNo_ >= 1 && pageNo_ <= int(pages.size()))
        SetCurrentOrientation(pages[size_t(pageNo_ - 1)].Landscape() ? TOrientation::Landscape
                                                                     : TOrientation::Portrait);
    const TPrinterCaps caps = CurrentPrinterCaps();
    // The printer's vertical resolution serves both axes, so the paper keeps its proportions.
    const double f = double(logicalDpiY()) / caps.logPixelsY * zoomScale_ / 100.0;
    paperWidth_ = RoundEven(caps.physicalWidth * f);
    paperHeight_ = RoundEven(caps.physicalHeight * f);
    offsetX_ = RoundEven(caps.physicalOffsetX * f);
    offsetY_ = RoundEven(caps.physicalOffsetY * f);
    printableWidth_ = RoundEven(caps.horzRes * f);
    printableHeight_ = RoundEven(caps.vertRes * f);
}

QSize TPrevX::FullSize() {
    UpdateGeometry();
    const TPrinterCaps caps = CurrentPrinterCaps();
    const double f = double(logicalDpiY()) / caps.logPixelsY;
    return QSize(RoundEven(caps.physicalWidth * f) + 20, RoundEven(caps.physicalHeight * f) + 20);
}

void TPrevX::Relayout() {
    try {
        UpdateGeometry();
        resize(paperWidth_ + 20, paperHeight_ + 20);
    } catch (const EPrevError&) {
        // Reported by the operation that needs the printer; the control keeps its size.
    }
}

QSize TPrevX::sizeHint() const {
    if (paperWidth_ > 0)
        return QSize(paperWidth_ + 20, paperHeight_ + 20);
    return QSize(814, 1143);
}

void TPrevX::Paint(QPainter& painter) {
    UpdateGeometry();
    if (size() != QSize(paperWidth_ + 20, paperHeight_ + 20))
        resize(paperWidth_ + 20, paperHeight_ + 20);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine));
    painter.setBrush(Qt::white);
    painter.drawRect(QRect(QPoint(10, 10), QPoint(paperWidth_ + 10, paperHeight_ + 10)));
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(
        QRect(QPoint(offsetX_ + 10, offsetY_ + 10),
              QPoint(offsetX_ + 10 + printableWidth_, offsetY_ + 10 + printableHeight_)));
    painter.setBrush(Qt::NoBrush);
    const auto& pages = document_.Pages();
    if (pageNo_ >= 1 && pageNo_ <= int(pages.size())) {
        const int w = int(std::trunc(printableWidth_ * double(zoomPrintX_) / 100.0));
        const int h = int(std::trunc(printableHeight_ * double(zoomPrintY_) / 100.0));
        PlayPage(painter, pages[size_t(pageNo_ - 1)], QRectF(offsetX_ + 10, offsetY_ + 10, w, h));
    }
}

void TPrevX::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    try {
        Paint(painter);
    } catch (const EPrevError&) {
        // A message box raised from a paint would bring the next paint and the next message:
        // without a printer the control stays blank and the commands report the error.
    }
}

QString TPrevX::SuggestedPdfName() const {
    QString name = title_;
    if (name.isEmpty() && window())
        name = window()->windowTitle();
    if (name.isEmpty())
        name = QStringLiteral("印刷");
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    name.replace(unsafe, QStringLiteral("_"));
    return name + QStringLiteral(".pdf");
}

void TPrevX::Print() {
    const auto& pages = document_.Pages();
    if (pages.empty())
        return;
    CheckPrinter();
    QPrinter& printer = *CurrentPrinter();
    if (PrintsToPdf(printer) && printer.outputFileName().isEmpty()) {
        // No printer on this machine: the job becomes a PDF file.
        const QString name =
            AskPdfFileName(this, QStringLiteral("PDFファイルに印刷"), SuggestedPdfName());
        if (name.isEmpty())
            return;
        SavePagesAsPdf(pages, printFrom_, printTo_, zoomPrintX_, zoomPrintY_, printer, name,
                       title_);
    } else {
        printer.setDocName(title_);
        PrintPages(pages, printFrom_, printTo_, zoomPrintX_, zoomPrintY_, printer);
    }
    Relayout();
    update();
}

void TPrevX::SaveAsPdf(const QString& fileName) {
    const auto& pages = document_.Pages();
    if (pages.empty())
        return;
    CheckPrinter();
    SavePagesAsPdf(pages, 1, int(pages.size()), zoomPrintX_, zoomPrintY_, *CurrentPrinter(),
                   fileName, title_);
    Relayout();
    update();
}

} // namespace tv
