#include "app/uMoveToServer.h"

#include "app/uImportParadox.h"
#include "measurement/CopyData.h"
#include "platform/EngineConfig.h"
#include "platform/Messages.h"
#include "platform/TableEngine.h"
#include "platform/gui/AppGuard.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/FormFrame.h"
#include "platform/gui/Help.h"
#include "settings/DataFolder.h"
#include "settings/gui/ServerBoxes.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace tv {
namespace {

const QString kDatabase = QStringLiteral("kestran");

// "Name: rows" lines of a copy as the user reads them: "測定（RokumaKanri）: 12".
QString CopiedTables(const QStringList& lines) {
    QStringList shown;
    for (const QString& line : lines) {
        const int colon = line.indexOf(QLatin1Char(':'));
        const QString table = line.left(colon);
        shown << QStringLiteral("%1（%2）%3").arg(TableCaption(table), table, line.mid(colon));
    }
    return shown.join(QLatin1Char('\n'));
}

} // namespace

TfrmMoveToServer::TfrmMoveToServer(QWidget* parent) : QDialog(parent) {
    SetUpFixedDialog(this, QStringLiteral("frmMoveToServer"), QStringLiteral("サーバーへ移す"), 378,
                     206);

    Label1 = new QLabel(QStringLiteral("このコンピュータのデータ（すべてのテーブル）をサーバーの"
                                       "データベースへコピーします。コピー先のデータベースには"
                                       "このプログラムのテーブルがあってはいけません。"),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 8, 361, 48);
    Label1->setWordWrap(true);
    ServerBoxes1 = new TServerBoxes(this);
    ServerBoxes1->setObjectName(QStringLiteral("ServerBoxes1"));
    ServerBoxes1->setGeometry(8, 62, 361, 96);

    BitBtn1 = new QPushButton(QStringLiteral("移す"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(200, 170, 81, 27);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                              QStringLiteral("閉じる"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(288, 170, 81, 27);
    BitBtn2->setAutoDefault(false);
    Help1 = AddHelpKey(this, QStringLiteral("HID00000017"));

    connect(BitBtn1, &QPushButton::clicked, this, Handler(this, &TfrmMoveToServer::BitBtn1Click));
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmMoveToServer::BitBtn1Click() {
    const QString problem = ServerBoxes1->Problem();
    if (!problem.isEmpty()) {
        Dialogs().ShowMessage(problem);
        return;
    }
    const QString server = ServerBoxes1->Address();
    // Reached (its password asked) and empty of the program's tables before anything is asked.
    const QString failure = ServerConnectionProblem(server);
    if (!failure.isEmpty()) {
        Dialogs().ShowMessage(failure);
        return;
    }
    const QString filled = CopyDestinationProblem(server);
    if (!filled.isEmpty()) {
        Dialogs().ShowMessage(filled);
        return;
    }
    const QString folder = GetDataFolder(kDatabase);
    if (!Dialogs().AskOkCancel(QStringLiteral("このコンピュータのデータ（%1）をサーバー（%2）へ"
                                              "コピーします。よろしいですか？")
                                   .arg(folder, server)) ||
        (beforeCopy_ && !beforeCopy_()))
        return;
    QStringList copied;
    {
        TWaitCursor wait;
        copied = CopyData(folder, server);
    }
    if (Dialogs().AskYesNo(QStringLiteral("サーバーへコピーしました。\n\n%1\n\n"
                                          "これからはサーバーのデータを使いますか？"
                                          "（このコンピュータのデータはそのまま残ります）")
                               .arg(CopiedTables(copied)),
                           TQuestion::YesNo) != TAnswer::Yes) {
        accept();
        return;
    }
    CloseAllConnections();
    if (!SetDatabaseParam(kDatabase, QStringLiteral("Server"), server)) {
        Dialogs().ShowMessage(
            QStringLiteral("設定ファイル %1 に書き込めないため、切り替えられませんでした。")
                .arg(EngineConfigFile()));
        accept();
        return;
    }
    switched_ = true;
    accept();
}

} // namespace tv
