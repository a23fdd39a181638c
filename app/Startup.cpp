#include "app/Startup.h"

#include "platform/gui/AppGuard.h"

namespace tv {

int RunDesktopProgram(int argc, char** argv) {
    TApplication app(argc, argv);
    return 0;
}

} // namespace tv
