#include "registers/gui/uEditHacchusya.h"

#include "platform/gui/AppGuard.h"
#include "platform/gui/Controls.h"
#include "platform/gui/FormFrame.h"
#include "platform/gui/Help.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

namespace tv {

TfrmEditHacchusya::TfrmEditHacchusya(QWidget* parent)
    : QDialog(parent), hacchusya_(std::make_unique<THacchusya>()) {
    setObjectName(QStringLiteral("frmEditHacchusya"));
    setWindowTitle(QStringLiteral("発注者の登録"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    auto* menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("MainMenu1"));
    AddFileMenu(menuBar, N1, Delete1, Close1);
    Help1 = AddHelpItem(menuBar);

    QWidget* client = BuildClientArea(this, menuBar, 258, 106, true);

    (new QLabel(QStringLiteral("発注者名"), client))->move(8, 12);
    ComboBox1 = new TComboBox(client);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setGeometry(64, 8, 185, 20);
    SetImeOn(ComboBox1);
    SetImeOn(ComboBox1->lineEdit());
    LimitBytes(ComboBox1->lineEdit(), 32, QStringLiteral("発注者名"));
    (new QLabel(QStringLiteral("職氏名"), client))->move(8, 44);
    Edit1 = new QLineEdit(client);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(64, 40, 185, 20);
    SetImeOn(Edit1);
    LimitBytes(Edit1, 32, QStringLiteral("職氏名"));
    Button1 = new QPushButton(QStringLiteral("登録(&O)"), client);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(174, 72, 75, 25);
    Button1->setAutoDefault(false);

    SaveSign = AddSaveSign(client, 8, 76, 160);
    TabInLayoutOrder(this);
    SaveKeys = new TSaveKeys(this, Button1, SaveSign);

    connect(ComboBox1, &TComboBox::DropDown, this,
            Handler(this, &TfrmEditHacchusya::ComboBox1DropDown));
    connect(ComboBox1, &QComboBox::activated, this,
            Handler(this, &TfrmEditHacchusya::ComboBox1Click));
    connect(Button1, &QPushButton::clicked, this, Handler(this, &TfrmEditHacchusya::Button1Click));
    connect(N1, &QAction::triggered, this, Handler(this, &TfrmEditHacchusya::N1Click));
    connect(Delete1, &QAction::triggered, this, Handler(this, &TfrmEditHacchusya::Delete1Click));
    connect(Close1, &QAction::triggered, this, Handler(this, &TfrmEditHacchusya::Close1Click));
    connect(Help1, &QAction::triggered, this, Handler(this, &TfrmEditHacchusya::Help1Click));
}

TfrmEditHacchusya::~TfrmEditHacchusya() = default;

void TfrmEditHacchusya::StoreFields() {
    // The name as typed; the representative is taken over the stored one.
    hacchusya_->FindByName(ComboBox1->currentText());
    hacchusya_->SyokuSimei = Edit1->text();
}

void TfrmEditHacchusya::ShowFields() {
    if (SaveKeys)
        SaveKeys->Clear();
    ComboBox1->setEditText(hacchusya_->Hacchusyamei);
    Edit1->setText(hacchusya_->SyokuSimei);
}

void TfrmEditHacchusya::ComboBox1DropDown() {
    QStringList names;
    hacchusya_->ListNames(names);
    RefillKeepingText(ComboBox1, names);
}

void TfrmEditHacchusya::ComboBox1Click() {
    hacchusya_->FindByName(ComboBox1->currentText());
    ShowFields();
}

void TfrmEditHacchusya::Button1Click() {
    StoreFields();
    hacchusya_->Save();
    SaveKeys->ShowSaved();
}

void TfrmEditHacchusya::N1Click() {
    hacchusya_->Clear();
    ShowFields();
}

void TfrmEditHacchusya::Delete1Click() {
    StoreFields();
    hacchusya_->Delete();
}

void TfrmEditHacchusya::Close1Click() {
    close();
}

void TfrmEditHacchusya::Help1Click() {
    ShowHelpTopic(QStringLiteral("HID00000003"));
}

void TfrmEditHacchusya::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
}

} // namespace tv
