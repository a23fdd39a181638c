#pragma once
// The current printer of the process: the system's default printer, or Qt's PDF output (A4,
// 600 dpi) standing in for it on a machine without one. The source is replaceable, so tests can
// print into a PDF file of their own or simulate a machine with no printer at all.
#include "platform/Errors.h"

#include <QString>
#include <functional>
#include <memory>

class QPrinter;

namespace tv {

// Errors of the page canvas.
class EPrevError : public TError {
public:
    using TError::TError;
};

enum class TOrientation { Portrait, Landscape };

// Device capabilities of a printer, in printer pixels.
struct TPrinterCaps {
    int logPixelsX = 0, logPixelsY = 0;           // resolution
    int physicalWidth = 0, physicalHeight = 0;    // the sheet
    int physicalOffsetX = 0, physicalOffsetY = 0; // top-left corner of the printable area
    int horzRes = 0, vertRes = 0;                 // size of the printable area
};

TPrinterCaps PrinterCaps(const QPrinter& printer);

using TPrinterSource = std::function<std::unique_ptr<QPrinter>()>;

// The current printer, made by the source on first use; nullptr when the source has none.
QPrinter* CurrentPrinter();
// Raises EPrevError "プリンタが登録されていません" when there is no current printer.
void CheckPrinter();
// CheckPrinter, then the current printer's capabilities.
TPrinterCaps CurrentPrinterCaps();
TOrientation CurrentOrientation();
void SetCurrentOrientation(TOrientation orientation);

// Turns the current printer to an orientation for the guard's lifetime, then back. Raises
// EPrevError when there is no current printer.
class TOrientationGuard {
public:
    explicit TOrientationGuard(TOrientation orientation);
    ~TOrientationGuard();
    TOrientationGuard(const TOrientationGuard&) = delete;
    TOrientationGuard& operator=(const TOrientationGuard&) = delete;

private:
    TOrientation old_;
};

// Replaces the source and drops the current printer, so the next use makes a new one. Returns
// the previous source. An empty source means the system's.
TPrinterSource SetPrinterSource(TPrinterSource source);

// The system's default printer, or the PDF stand-in when the system has none.
std::unique_ptr<QPrinter> SystemPrinter();
// Qt's PDF output as a printer: A4 portrait at the given resolution, with an unprintable margin
// of `marginPt` points on every side as a real printer has.
std::unique_ptr<QPrinter> PdfPrinter(int dpi = 600, double marginPt = 12.0);
// True when printing on this printer writes a PDF file rather than sending a job.
bool PrintsToPdf(const QPrinter& printer);

} // namespace tv
