#include "registers/gui/uEditHacchusya.h"

#include "platform/gui/Controls.h"

#include <QLabel>
#include <QLineEdit>

namespace tv {

TfrmEditHacchusya::TfrmEditHacchusya(QWidget* parent)
    : TNameRegisterWindow(parent,
                          {"frmEditHacchusya", QStringLiteral("発注者の登録"),
                           QStringLiteral("HID00000003"), 258, 106, false},
                          std::make_unique<THacchusya>()) {
    AddNameBox(QStringLiteral("発注者名"), 64, 185, 32);
    (new QLabel(QStringLiteral("職氏名"), Client()))->move(8, 44);
    Edit1 = new QLineEdit(Client());
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(64, 40, 185, 20);
    SetImeOn(Edit1);
    LimitBytes(Edit1, 32, QStringLiteral("職氏名"));
    AddSaveButton(174, 72);
}

void TfrmEditHacchusya::StoreFields() {
    // The name as typed; the representative is taken over the stored one.
    Hacchusya().FindByName(ComboBox1->currentText());
    Hacchusya().SyokuSimei = Edit1->text();
}

void TfrmEditHacchusya::ShowFields() {
    ComboBox1->setEditText(Hacchusya().Hacchusyamei);
    Edit1->setText(Hacchusya().SyokuSimei);
}

} // namespace tv
