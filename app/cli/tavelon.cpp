// The command line: batch calculations and exports without the window.
#include "app/cli/Commands.h"

int main(int argc, char** argv) {
    return tv::cli::Run(argc, argv);
}
