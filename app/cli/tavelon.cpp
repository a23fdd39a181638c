// The command line: batch calculations, exports and printouts without a window.
#include "app/cli/Commands.h"

int main(int argc, char** argv) {
    return tv::cli::Run(argc, argv);
}
