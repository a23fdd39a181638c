#pragma once

namespace tv {

// Starts the desktop program: application title, the windows in their order, the event loop.
int RunDesktopProgram(int argc, char** argv);

} // namespace tv
