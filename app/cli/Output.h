#pragma once
// Output of the command line, always UTF-8.
#include <QString>
#include <functional>

namespace tv::cli {

// Writes text to standard output as it stands.
void PrintOut(const QString& text);
// Writes "tavelon: " and the message as one line to standard error.
void PrintError(const QString& message);
// Runs a command's work: prints the text it returns on standard output and gives exit code 0, or
// prints the message of the TError it raises as one line on standard error and gives 2.
int PrintResult(const std::function<QString()>& work);

} // namespace tv::cli
