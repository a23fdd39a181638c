#include "app/Startup.h"

#include "app/Windows.h"
#include "app/uTavelon.h"
#include "measurement/uRokuma.h"
#include "platform/EngineConfig.h"
#include "platform/Messages.h"
#include "platform/gui/AppGuard.h"
#include "platform/gui/Installed.h"
#include "printing/PainterCanvas.h"
#include "printing/gui/ProgramDialogs.h"
#include "registers/gui/uEditHacchusya.h"
#include "registers/gui/uEditKikakuti4.h"
#include "registers/gui/uEditKoji.h"
#include "registers/gui/uEditKosyu.h"
#include "registers/gui/uEditSimei.h"
#include "registers/gui/uEditUkeoisya.h"
#include "registers/gui/uListBox.h"
#include "settings/DataFolder.h"
#include "settings/gui/ServerBoxes.h"
#include "settings/gui/uSetDataPath.h"

#include <memory>

namespace tv {

bool ChooseDataFolderWhenUnusable() {
    const QString kestran = QStringLiteral("kestran");
    for (int round = 0;; ++round) {
        const QString problem = EngineConfigProblem(kestran);
        if (problem.isEmpty()) {
            // A server must answer, and have the tables or get them with the user's consent
            // (its failure is told by ConfirmServer).
            const QString server = DatabaseServer(kestran);
            if (server.isEmpty() || ConfirmServer(server))
                return true;
        } else if (round == 0) {
            ShowMessage(problem +
                        QStringLiteral("\n\n「環境設定」でデータフォルダを選んでください。"));
        }
        if (round > 0)
            return false;
        TfrmSetDataPath window;
        window.SetAfterSwitch(CheckMeasurementTables);
        window.exec();
    }
}

int RunDesktopProgram(int argc, char** argv) {
    TApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pTavelon"));
    SetApplicationTitle(QStringLiteral("平坦性試験"));
    InstallFontSubstitutes();
    // Message boxes and every other dialog; they stay until the program ends.
    static TProgramDialogs dialogs;
    SetDialogs(&dialogs);
    // A server that wants a password asks for it once a run.
    InstallServerPasswordPrompt();
    // Qt's own dialogs and buttons in Japanese.
    InstallQtTranslation();

    int result = 1;
    Guarded([&] {
        // The first start records the default data folder, as an installer would.
        EnsureDefaultDatabase();
        if (!ChooseDataFolderWhenUnusable())
            return;
        // Said once a run: a shared folder is no place for several users' tables.
        const QString notice = NetworkFolderNotice(QStringLiteral("kestran"));
        if (!notice.isEmpty())
            ShowMessage(notice);

        // The windows, created once in this order; only the main window is shown.
        TAppWindows& windows = AppWindows();
        auto mainWindow = std::make_unique<TfrmEditTavelon>();
        windows.frmEditTavelon = mainWindow.get();
        std::unique_ptr<QWidget> others[] = {
            std::unique_ptr<QWidget>(windows.frmEditKoji = new TfrmEditKoji),
            std::unique_ptr<QWidget>(windows.frmEditSimei = new TfrmEditSimei),
            std::unique_ptr<QWidget>(windows.frmListBox = new TfrmListBox),
            std::unique_ptr<QWidget>(windows.frmEditUkeoisya = new TfrmEditUkeoisya),
            std::unique_ptr<QWidget>(windows.frmEditHacchusya = new TfrmEditHacchusya),
            std::unique_ptr<QWidget>(windows.frmEditKosyu = new TfrmEditKosyu),
            std::unique_ptr<QWidget>(windows.frmEditKikakuti4 = new TfrmEditKikakuti4),
            std::unique_ptr<QWidget>(windows.frmSetDataPath = new TfrmSetDataPath),
        };
        windows.frmEditKikakuti4->SetWorkTypeWindow(windows.frmEditKosyu);
        // Closing the main window ends the program, even with another window open.
        mainWindow->setAttribute(Qt::WA_QuitOnClose, true);
        for (auto& window : others)
            window->setAttribute(Qt::WA_QuitOnClose, false);
        mainWindow->show();
        result = app.exec();
    });
    return result;
}

} // namespace tv
