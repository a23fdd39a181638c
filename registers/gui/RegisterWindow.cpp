#include "registers/gui/RegisterWindow.h"

#include "platform/gui/AppGuard.h"
#include "platform/gui/Controls.h"
#include "platform/gui/FormFrame.h"
#include "platform/gui/Help.h"
#include "registers/NameRegister.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

namespace tv {

TRegisterWindow::TRegisterWindow(QWidget* parent, const TFrame& frame)
    : QDialog(parent), helpTopic_(frame.helpTopic) {
    setObjectName(QLatin1String(frame.objectName));
    setWindowTitle(frame.caption);
    if (frame.resizable)
        setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    else
        setWindowFlags(Qt::Dialog | kFixedTitleBar);

    auto* menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("MainMenu1"));
    AddFileMenu(menuBar, N1, Delete1, Close1);
    Help1 = AddHelpItem(menuBar);
    client_ = BuildClientArea(this, menuBar, frame.width, frame.height, !frame.resizable);

    connect(Close1, &QAction::triggered, this, Handler(this, &TRegisterWindow::Close1Click));
    connect(Help1, &QAction::triggered, this, Handler(this, &TRegisterWindow::Help1Click));
}

TRegisterWindow::~TRegisterWindow() = default;

void TRegisterWindow::Close1Click() {
    close();
}

void TRegisterWindow::Help1Click() {
    ShowHelpTopic(helpTopic_);
}

void TRegisterWindow::FinishLayout(std::function<void()> save, std::function<bool()> ready) {
    TabInLayoutOrder(this);
    SaveKeys = new TSaveKeys(this, std::move(save), SaveSign, std::move(ready));
}

void TRegisterWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
}

TNameRegisterWindow::TNameRegisterWindow(QWidget* parent, const TFrame& frame,
                                         std::unique_ptr<TNameRegister> names)
    : TRegisterWindow(parent, frame), names_(std::move(names)) {
    connect(N1, &QAction::triggered, this, Handler(this, &TNameRegisterWindow::N1Click));
    connect(Delete1, &QAction::triggered, this, Handler(this, &TNameRegisterWindow::Delete1Click));
}

TNameRegisterWindow::~TNameRegisterWindow() = default;

void TNameRegisterWindow::AddNameBox(const QString& caption, int x, int width, int bytes) {
    (new QLabel(caption, Client()))->move(8, 12);
    ComboBox1 = new TComboBox(Client());
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setGeometry(x, 8, width, 20);
    SetImeOn(ComboBox1);
    SetImeOn(ComboBox1->lineEdit());
    LimitBytes(ComboBox1->lineEdit(), bytes, caption);
    connect(ComboBox1, &TComboBox::DropDown, this,
            Handler(this, &TNameRegisterWindow::ComboBox1DropDown));
    connect(ComboBox1, &QComboBox::activated, this,
            Handler(this, &TNameRegisterWindow::ComboBox1Click));
}

void TNameRegisterWindow::AddSaveButton(int x, int y) {
    Button1 = new QPushButton(QStringLiteral("登録(&O)"), Client());
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(x, y, 75, 25);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this,
            Handler(this, &TNameRegisterWindow::Button1Click));
    SaveSign = AddSaveSign(Client(), 8, y + 4, x - 14);
    FinishLayout([this] { Button1->click(); }, [this] { return Button1->isEnabled(); });
}

void TNameRegisterWindow::ShowRecord() {
    if (SaveKeys)
        SaveKeys->Clear();
    ShowFields();
}

void TNameRegisterWindow::ComboBox1DropDown() {
    QStringList names;
    names_->ListNames(names);
    RefillKeepingText(ComboBox1, names);
}

void TNameRegisterWindow::ComboBox1Click() {
    names_->FindByName(ComboBox1->currentText());
    ShowRecord();
}

void TNameRegisterWindow::Button1Click() {
    StoreFields();
    names_->Save();
    SaveKeys->ShowSaved();
}

void TNameRegisterWindow::N1Click() {
    names_->Clear();
    ShowRecord();
}

void TNameRegisterWindow::Delete1Click() {
    StoreFields();
    names_->Delete();
}

} // namespace tv
