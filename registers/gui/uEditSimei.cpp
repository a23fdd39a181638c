#include "registers/gui/uEditSimei.h"

#include "platform/gui/AppGuard.h"
#include "platform/gui/Controls.h"
#include "platform/gui/FormFrame.h"
#include "registers/gui/uListBox.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

namespace tv {

TfrmEditSimei::TfrmEditSimei(QWidget* parent)
    : TRegisterWindow(parent, {"frmEditSimei", QStringLiteral("氏名の登録"),
                               QStringLiteral("HID00000005"), 287, 88, false}),
      simei_(std::make_unique<TSimei>()) {
    QWidget* client = Client();
    (new QLabel(QStringLiteral("ふりがな"), client))->move(8, 12);
    Edit1 = new QLineEdit(client);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(64, 8, 129, 20);
    SetImeOn(Edit1);
    LimitBytes(Edit1, 16, QStringLiteral("ふりがな"));
    Button2 = new QPushButton(QStringLiteral("氏名検索"), client);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(200, 7, 79, 22);
    Button2->setAutoDefault(false);
    (new QLabel(QStringLiteral("氏名"), client))->move(8, 40);
    Edit2 = new QLineEdit(client);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(64, 36, 129, 20);
    SetImeOn(Edit2);
    LimitBytes(Edit2, 16, QStringLiteral("氏名"));
    Button1 = new QPushButton(QStringLiteral("登録"), client);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(200, 35, 79, 22);
    Button1->setAutoDefault(false);
    StatusBar1 = new QStatusBar(client);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(0, 88 - 19, 287, 19);

    SaveSign = AddSaveSign(StatusBar1);

    // Enter registers once a name is typed and says so; 登録 also hands the name to the works
    // window, so it closes the window, and Enter does not.
    FinishLayout([this] { SaveOnEnter(); }, [this] { return !Edit2->text().trimmed().isEmpty(); });

    connect(Button1, &QPushButton::clicked, this, Handler(this, &TfrmEditSimei::Button1Click));
    connect(Button2, &QPushButton::clicked, this, Handler(this, &TfrmEditSimei::Button2Click));
    connect(N1, &QAction::triggered, this, Handler(this, &TfrmEditSimei::N1Click));
    connect(Delete1, &QAction::triggered, this, Handler(this, &TfrmEditSimei::Delete1Click));
}

TfrmEditSimei::~TfrmEditSimei() = default;

QString TfrmEditSimei::EnteredName() const {
    return Edit2->text();
}

void TfrmEditSimei::StoreFields() {
    simei_->Furigana = Edit1->text();
    simei_->Simei = Edit2->text();
}

void TfrmEditSimei::ShowFields() {
    SaveKeys->Clear();
    Edit1->setText(simei_->Furigana);
    Edit2->setText(simei_->Simei);
}

void TfrmEditSimei::Button1Click() {
    StoreFields();
    simei_->Save();
    done(QDialog::Accepted);
}

void TfrmEditSimei::SaveOnEnter() {
    StoreFields();
    simei_->Save();
    SaveKeys->ShowSaved();
}

void TfrmEditSimei::Button2Click() {
    QStringList names;
    simei_->ListNames(names);
    QString chosen;
    if (!TfrmListBox::Pick(this, QStringLiteral("氏名の選択"), names, chosen))
        return;
    simei_->FindByName(chosen);
    ShowFields();
}

void TfrmEditSimei::N1Click() {
    // Only the boxes: the record stays the one last found or saved.
    Edit1->clear();
    Edit2->clear();
    SaveKeys->Clear();
    Edit1->setFocus();
}

void TfrmEditSimei::Delete1Click() {
    simei_->Delete();
}

} // namespace tv
