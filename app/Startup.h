#pragma once

namespace tv {

// Starts the desktop program: application title, the windows in their order, the event loop.
int RunDesktopProgram(int argc, char** argv);

// When the engine configuration names no usable data folder (a file that cannot be read, an
// empty or relative path), says why and lets the user choose the folder in the settings window.
// The file is written only when the user confirms a folder there. False when no usable folder
// was chosen.
bool ChooseDataFolderWhenUnusable();

} // namespace tv
