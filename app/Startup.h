#pragma once

namespace tv {

// Starts the desktop program: application title, the windows in their order, the event loop.
int RunDesktopProgram(int argc, char** argv);

// When the engine configuration names no usable data folder (a file that cannot be read, an
// empty or relative path) or a server that cannot be reached, says why and lets the user choose
// in the settings window. A server without the program's tables gets them once the user agrees.
// The file is written only when the user confirms a place there. False when no usable place
// was chosen.
bool ChooseDataFolderWhenUnusable();

} // namespace tv
