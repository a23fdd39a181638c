#pragma once
#include <QStringList>

namespace tv::cli {

// "tavelon print --work CODE --type NAME --form handbook|bureau (--pdf FILE | --printer NAME)"
// and "tavelon print --standard-values (--pdf FILE | --printer NAME)": records the form's pages
// exactly as the preview does (A4 portrait) and writes them as a PDF file or sends them to the
// named printer. Reads only; nothing stored changes. Exit 0, or 2 with a one-line message on
// standard error (unknown pair or form, no readings, a file that cannot be written, an unknown
// printer); a failed run leaves no PDF file behind.
int RunPrint(int argc, char** argv, const QStringList& args);

// "tavelon printers": the names of the installed printers, one a line.
int RunPrinters(int argc, char** argv, const QStringList& args);

} // namespace tv::cli
