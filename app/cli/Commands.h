#pragma once

namespace tv::cli {

// Runs "tavelon COMMAND ..." and returns the exit code.
int Run(int argc, char** argv);

} // namespace tv::cli
