// The desktop program.
#include "app/Startup.h"

int main(int argc, char** argv) {
    return tv::RunDesktopProgram(argc, argv);
}
