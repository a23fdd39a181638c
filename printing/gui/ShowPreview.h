#pragma once
// Shows a document in the print preview window.
#include "printing/Printer.h"

#include <QString>
#include <functional>

class QWidget;

namespace tv {

class TPageTarget;

// Records the pages `draw` draws on the canvas of a new preview window owned by `owner`, with the
// current printer turned to `orientation` for the recording (and back afterwards; every page keeps
// the orientation it was recorded in), shows the preview modally and releases it when it closes.
// The title names the print job and proposes the PDF file name. Raises EPrevError when there is
// no printer, before any window opens.
void ShowPreview(QWidget* owner, const QString& title, TOrientation orientation,
                 const std::function<void(TPageTarget& pages)>& draw);

} // namespace tv
