#pragma once
// Output of the command line, always UTF-8.
#include <QString>

namespace tv::cli {

// Writes text to standard output as it stands.
void PrintOut(const QString& text);
// Writes "tavelon: " and the message as one line to standard error.
void PrintError(const QString& message);

} // namespace tv::cli
