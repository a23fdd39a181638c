#include "settings/gui/ServerBoxes.h"

#include "platform/Messages.h"
#include "platform/TableEngine.h"
#include "platform/gui/AppGuard.h"
#include "platform/gui/Dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tv {
namespace {

// The settings shown in boxes, by libpq's keyword.
const QString kHost = QStringLiteral("host");
const QString kPort = QStringLiteral("port");
const QString kDatabase = QStringLiteral("dbname");
const QString kUser = QStringLiteral("user");

// A table every data location of the program holds.
const QString kHeaderTable = QStringLiteral("RokumaKanri");

// Why the server cannot be used: it cannot be reached, or it has none of the program's tables
// and the user may not create them. `hasTables` says whether it holds them.
QString ServerUseProblem(const QString& server, bool& hasTables) {
    QString failure = ServerConnectionProblem(server, false);
    if (!failure.isEmpty())
        return failure;
    hasTables = TableExists(server, kHeaderTable);
    return hasTables ? QString() : ServerConnectionProblem(server, true);
}

QLineEdit* AddRow(QWidget* parent, int y, int width, const QString& caption, QLabel*& label,
                  const QString& labelName, const QString& editName) {
    label = new QLabel(caption, parent);
    label->setObjectName(labelName);
    label->setGeometry(18, y + 3, 78, 14);
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(editName);
    edit->setGeometry(98, y, width, 21);
    label->setBuddy(edit);
    return edit;
}

} // namespace

TServerBoxes::TServerBoxes(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ServerBoxes"));
    resize(361, 96);
    Edit4 = AddRow(this, 0, 253, QStringLiteral("ホスト"), Label4, QStringLiteral("Label4"),
                   QStringLiteral("Edit4"));
    Edit4->setPlaceholderText(QStringLiteral("空欄: このコンピュータ"));
    Edit5 = AddRow(this, 24, 60, QStringLiteral("ポート"), Label5, QStringLiteral("Label5"),
                   QStringLiteral("Edit5"));
    Edit5->setPlaceholderText(QStringLiteral("5432"));
    Edit6 = AddRow(this, 48, 160, QStringLiteral("データベース"), Label6, QStringLiteral("Label6"),
                   QStringLiteral("Edit6"));
    Edit7 = AddRow(this, 72, 160, QStringLiteral("ユーザー"), Label7, QStringLiteral("Label7"),
                   QStringLiteral("Edit7"));
    Button3 = new QPushButton(QStringLiteral("接続テスト"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(271, 70, 80, 25);
    Button3->setAutoDefault(false);
    connect(Button3, &QPushButton::clicked, this, Handler(this, &TServerBoxes::Button3Click));
}

void TServerBoxes::SetAddress(const QString& server) {
    QMap<QString, QString> fields = SplitServerAddress(server).value_or(QMap<QString, QString>());
    Edit4->setText(fields.take(kHost));
    Edit5->setText(fields.take(kPort));
    Edit6->setText(fields.take(kDatabase));
    Edit7->setText(fields.take(kUser));
    fields.remove(QStringLiteral("password"));
    kept_ = fields;
}

QString TServerBoxes::Address() const {
    QMap<QString, QString> fields = kept_;
    fields.insert(kHost, Edit4->text().trimmed());
    fields.insert(kPort, Edit5->text().trimmed());
    fields.insert(kDatabase, Edit6->text().trimmed());
    fields.insert(kUser, Edit7->text().trimmed());
    return JoinServerAddress(fields);
}

QString TServerBoxes::Problem() const {
    if (Edit6->text().trimmed().isEmpty())
        return QStringLiteral("「データベース」にサーバーのデータベース名を入力してください");
    const QString port = Edit5->text().trimmed();
    bool number = false;
    const int value = port.toInt(&number);
    if (!port.isEmpty() && (!number || value < 1 || value > 65535))
        return QStringLiteral("「ポート」には 1～65535 の数を入力してください");
    return QString();
}

void TServerBoxes::Button3Click() {
    const QString problem = Problem();
    if (!problem.isEmpty()) {
        Dialogs().ShowMessage(problem);
        return;
    }
    bool hasTables = false;
    const QString failure = ServerUseProblem(Address(), hasTables);
    Dialogs().ShowMessage(
        !failure.isEmpty() ? failure
        : hasTables
            ? QStringLiteral("サーバーに接続できました。このプログラムのデータがあります。")
            : QStringLiteral("サーバーに接続できました。このプログラムのテーブルはまだありません"
                             "（使い始めるときに作成します）。"));
}

void InstallServerPasswordPrompt() {
    SetServerPasswordPrompt([](const QString& server, const QString& failure) {
        QString text = QStringLiteral("サーバー（%1）のパスワードを入力してください。\n"
                                      "パスワードはこのプログラムを終わるまで覚えておき、"
                                      "どこにも保存しません。")
                           .arg(server);
        if (!failure.isEmpty())
            text = failure + QStringLiteral("\n\n") + text;
        return Dialogs().AskPassword(text);
    });
}

bool ConfirmServer(const QString& server) {
    bool hasTables = false;
    const QString failure = ServerUseProblem(server, hasTables);
    if (!failure.isEmpty()) {
        Dialogs().ShowMessage(failure);
        return false;
    }
    if (hasTables)
        return true;
    return Dialogs().AskYesNo(QStringLiteral("サーバー（%1）にはこのプログラムのテーブルが"
                                             "ありません。作成しますか？")
                                  .arg(server),
                              TQuestion::YesNo) == TAnswer::Yes;
}

} // namespace tv
