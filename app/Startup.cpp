#include "app/Startup.h"

#include "app/uTavelon.h"
#include "platform/EngineConfig.h"
#include "platform/gui/AppGuard.h"
#include "platform/gui/Controls.h"

namespace tv {

int RunDesktopProgram(int argc, char** argv) {
    TApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pTavelon"));
    SetApplicationTitle(QStringLiteral("平坦性試験"));
    InstallFontSubstitutes();
    InstallMessageBoxes();

    int result = 1;
    Guarded([&] {
        // The first start records the default data folder, as an installer would.
        EnsureDefaultDatabase();
        TfrmEditTavelon mainWindow;
        mainWindow.show();
        result = app.exec();
    });
    return result;
}

} // namespace tv
