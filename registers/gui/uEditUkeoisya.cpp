#include "registers/gui/uEditUkeoisya.h"

#include "platform/gui/AppGuard.h"
#include "platform/gui/Controls.h"
#include "platform/gui/FormFrame.h"
#include "platform/gui/Help.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

namespace tv {

TfrmEditUkeoisya::TfrmEditUkeoisya(QWidget* parent)
    : QDialog(parent), ukeoisya_(std::make_unique<TUkeoisya>()) {
    setObjectName(QStringLiteral("frmEditUkeoisya"));
    setWindowTitle(QStringLiteral("請負者の登録"));
    // A sizeable window with the usual title-bar buttons.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);

    auto* menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("MainMenu1"));
    AddFileMenu(menuBar, N1, Delete1, Close1);
    Help1 = AddHelpItem(menuBar);

    client_ = BuildClientArea(this, menuBar, 371, 157, false);

    auto label = [this](const QString& text, int x, int y) {
        auto* l = new QLabel(text, client_);
        l->move(x, y);
        return l;
    };
    auto edit = [this](const char* name, int y, const QString& field) {
        auto* e = new QLineEdit(client_);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(80, y, 281, 20);
        SetImeOn(e);
        LimitBytes(e, 48, field);
        return e;
    };
    label(QStringLiteral("請負者名"), 8, 12);
    ComboBox1 = new TComboBox(client_);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setGeometry(80, 8, 281, 20);
    SetImeOn(ComboBox1);
    SetImeOn(ComboBox1->lineEdit());
    LimitBytes(ComboBox1->lineEdit(), 48, QStringLiteral("請負者名"));
    label(QStringLiteral("住所"), 8, 36);
    Edit1 = edit("Edit1", 32, QStringLiteral("住所"));
    label(QStringLiteral("会社名"), 8, 60);
    Edit2 = edit("Edit2", 56, QStringLiteral("会社名"));
    label(QStringLiteral("代表者"), 8, 84);
    Edit3 = edit("Edit3", 80, QStringLiteral("代表者"));
    CheckBox1 = new QCheckBox(QStringLiteral("JVの代表会社である"), client_);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(80, 106, 200, 17);
    Button1 = new QPushButton(QStringLiteral("登録(&O)"), client_);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(286, 126, 75, 25);
    Button1->setAutoDefault(false);

    SaveSign = AddSaveSign(client_, 8, 130, 200);
    TabInLayoutOrder(this);
    SaveKeys = new TSaveKeys(this, Button1, SaveSign);

    Edit2->installEventFilter(this);
    client_->installEventFilter(this);
    connect(ComboBox1, &TComboBox::DropDown, this,
            Handler(this, &TfrmEditUkeoisya::ComboBox1DropDown));
    connect(ComboBox1, &QComboBox::activated, this,
            Handler(this, &TfrmEditUkeoisya::ComboBox1Click));
    connect(Button1, &QPushButton::clicked, this, Handler(this, &TfrmEditUkeoisya::Button1Click));
    connect(N1, &QAction::triggered, this, Handler(this, &TfrmEditUkeoisya::N1Click));
    connect(Delete1, &QAction::triggered, this, Handler(this, &TfrmEditUkeoisya::Delete1Click));
    connect(Close1, &QAction::triggered, this, Handler(this, &TfrmEditUkeoisya::Close1Click));
    connect(Help1, &QAction::triggered, this, Handler(this, &TfrmEditUkeoisya::Help1Click));
}

TfrmEditUkeoisya::~TfrmEditUkeoisya() = default;

void TfrmEditUkeoisya::StoreFields() {
    ukeoisya_->Ukeoisyamei = ComboBox1->currentText().trimmed();
    ukeoisya_->Jusyo = Edit1->text().trimmed();
    ukeoisya_->Kaisya = Edit2->text().trimmed();
    ukeoisya_->Daihyosya = Edit3->text().trimmed();
    ukeoisya_->JVFlag = CheckBox1->isChecked();
}

void TfrmEditUkeoisya::ShowFields() {
    if (SaveKeys)
        SaveKeys->Clear();
    ComboBox1->setEditText(ukeoisya_->Ukeoisyamei);
    Edit1->setText(ukeoisya_->Jusyo);
    Edit2->setText(ukeoisya_->Kaisya);
    Edit3->setText(ukeoisya_->Daihyosya);
    CheckBox1->setChecked(ukeoisya_->JVFlag);
}

void TfrmEditUkeoisya::ComboBox1DropDown() {
    QStringList names;
    ukeoisya_->ListNames(names);
    RefillKeepingText(ComboBox1, names);
}

void TfrmEditUkeoisya::ComboBox1Click() {
    ukeoisya_->FindByName(ComboBox1->currentText());
    ShowFields();
}

void TfrmEditUkeoisya::Button1Click() {
    StoreFields();
    ukeoisya_->Save();
    SaveKeys->ShowSaved();
}

void TfrmEditUkeoisya::N1Click() {
    ukeoisya_->Clear();
    ShowFields();
}

void TfrmEditUkeoisya::Delete1Click() {
    StoreFields();
    ukeoisya_->Delete();
}

void TfrmEditUkeoisya::Close1Click() {
    close();
}

void TfrmEditUkeoisya::Help1Click() {
    ShowHelpTopic(QStringLiteral("HID00000004"));
}

void TfrmEditUkeoisya::Edit2Enter() {
    // The company is most often the contractor itself: offer its name in an empty box.
    if (Edit2->text().isEmpty())
        Edit2->setText(ComboBox1->currentText());
}

bool TfrmEditUkeoisya::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit2 && event->type() == QEvent::FocusIn)
        Guarded([this] { Edit2Enter(); });
    else if (watched == client_ && event->type() == QEvent::Resize)
        FitToClientArea();
    return QDialog::eventFilter(watched, event);
}

void TfrmEditUkeoisya::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
}

void TfrmEditUkeoisya::FitToClientArea() {
    // The text boxes widen with the window; the register button keeps to the lower right.
    const int width = qMax(client_->width() - 80 - 10, 100);
    for (QWidget* box : {static_cast<QWidget*>(ComboBox1), static_cast<QWidget*>(Edit1),
                         static_cast<QWidget*>(Edit2), static_cast<QWidget*>(Edit3)})
        box->resize(width, box->height());
    Button1->move(qMax(client_->width() - 85, 80), qMax(client_->height() - 31, 126));
    if (SaveSign)
        SaveSign->setGeometry(8, Button1->y() + 4, Button1->x() - 16, SaveSign->height());
}

} // namespace tv
