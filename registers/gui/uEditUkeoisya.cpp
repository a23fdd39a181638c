#include "registers/gui/uEditUkeoisya.h"

#include "platform/gui/AppGuard.h"
#include "platform/gui/Controls.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tv {

TfrmEditUkeoisya::TfrmEditUkeoisya(QWidget* parent)
    : TNameRegisterWindow(parent,
                          {"frmEditUkeoisya", QStringLiteral("請負者の登録"),
                           QStringLiteral("HID00000004"), 371, 157, true},
                          std::make_unique<TUkeoisya>()) {
    auto label = [this](const QString& text, int x, int y) {
        auto* l = new QLabel(text, Client());
        l->move(x, y);
        return l;
    };
    auto edit = [this](const char* name, int y, const QString& field) {
        auto* e = new QLineEdit(Client());
        e->setObjectName(QLatin1String(name));
        e->setGeometry(80, y, 281, 20);
        SetImeOn(e);
        LimitBytes(e, 48, field);
        return e;
    };
    AddNameBox(QStringLiteral("請負者名"), 80, 281, 48);
    label(QStringLiteral("住所"), 8, 36);
    Edit1 = edit("Edit1", 32, QStringLiteral("住所"));
    label(QStringLiteral("会社名"), 8, 60);
    Edit2 = edit("Edit2", 56, QStringLiteral("会社名"));
    label(QStringLiteral("代表者"), 8, 84);
    Edit3 = edit("Edit3", 80, QStringLiteral("代表者"));
    CheckBox1 = new QCheckBox(QStringLiteral("JVの代表会社である"), Client());
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(80, 106, 200, 17);
    AddSaveButton(286, 126);

    Edit2->installEventFilter(this);
    Client()->installEventFilter(this);
}

void TfrmEditUkeoisya::StoreFields() {
    Ukeoisya().Ukeoisyamei = ComboBox1->currentText().trimmed();
    Ukeoisya().Jusyo = Edit1->text().trimmed();
    Ukeoisya().Kaisya = Edit2->text().trimmed();
    Ukeoisya().Daihyosya = Edit3->text().trimmed();
    Ukeoisya().JVFlag = CheckBox1->isChecked();
}

void TfrmEditUkeoisya::ShowFields() {
    ComboBox1->setEditText(Ukeoisya().Ukeoisyamei);
    Edit1->setText(Ukeoisya().Jusyo);
    Edit2->setText(Ukeoisya().Kaisya);
    Edit3->setText(Ukeoisya().Daihyosya);
    CheckBox1->setChecked(Ukeoisya().JVFlag);
}

void TfrmEditUkeoisya::Edit2Enter() {
    // The company is most often the contractor itself: offer its name in an empty box.
    if (Edit2->text().isEmpty())
        Edit2->setText(ComboBox1->currentText());
}

bool TfrmEditUkeoisya::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit2 && event->type() == QEvent::FocusIn)
        Guarded([this] { Edit2Enter(); });
    else if (watched == Client() && event->type() == QEvent::Resize)
        FitToClientArea();
    return TNameRegisterWindow::eventFilter(watched, event);
}

void TfrmEditUkeoisya::FitToClientArea() {
    // The text boxes widen with the window; the register button keeps to the lower right.
    const int width = qMax(Client()->width() - 80 - 10, 100);
    for (QWidget* box : {static_cast<QWidget*>(ComboBox1), static_cast<QWidget*>(Edit1),
                         static_cast<QWidget*>(Edit2), static_cast<QWidget*>(Edit3)})
        box->resize(width, box->height());
    Button1->move(qMax(Client()->width() - 85, 80), qMax(Client()->height() - 31, 126));
    if (SaveSign)
        SaveSign->setGeometry(8, Button1->y() + 4, Button1->x() - 16, SaveSign->height());
}

} // namespace tv
