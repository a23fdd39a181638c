#include "registers/gui/uEditKosyu.h"

#include "platform/TableEngine.h"
#include "platform/gui/AppGuard.h"
#include "platform/gui/Controls.h"
#include "platform/gui/FormFrame.h"
#include "platform/gui/Help.h"
#include "registers/uKosyu.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>

namespace tv {

TfrmEditKosyu::TfrmEditKosyu(QWidget* parent)
    : QMainWindow(parent), kosyu_(std::make_unique<TKosyu>()) {
    setObjectName(QStringLiteral("frmEditKosyu"));
    setWindowTitle(QStringLiteral("工種の登録"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    SetWindowFont(this);

    AddFileMenu(menuBar(), N1, Delete1, Close1);
    Help1 = AddHelpItem(menuBar());
    connect(Help1, &QAction::triggered, this, [] { ShowHelpTopic(QStringLiteral("HID00000007")); });

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);

    ListBox1 = new QListWidget(client);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(8, 0, 217, 217);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);

    SpeedButton1 = new QToolButton(client);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("↑"));
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setGeometry(232, 24, 23, 22);
    SpeedButton2 = new QToolButton(client);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->setText(QStringLiteral("↓"));
    SpeedButton2->setAutoRaise(true);
    SpeedButton2->setGeometry(232, 176, 23, 22);

    Label2 = new QLabel(QStringLiteral("工種名"), client);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(10, 228);
    Label2->adjustSize();
    Edit2 = new QLineEdit(client);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(48, 224, 177, 20);
    LimitBytes(Edit2, 32, QStringLiteral("工種名"));
    SetImeOn(Edit2);

    Button1 = new QPushButton(QStringLiteral("工種追加"), client);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(16, 248, 75, 20);
    Button1->setEnabled(false);
    Button3 = new QPushButton(QStringLiteral("工種削除"), client);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(96, 248, 75, 20);
    Button2 = new QPushButton(QStringLiteral("登録(&O)"), client);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(176, 248, 75, 20);

    SaveSign = AddSaveSign(statusBar());
    statusBar()->setSizeGripEnabled(false);

    // The client area is 262 x 277 between the menu bar and the status bar.
    resize(262, 277 + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());

    connect(Edit2, &QLineEdit::textChanged, this, Handler(this, &TfrmEditKosyu::Edit2Change));
    connect(Button1, &QPushButton::clicked, this, Handler(this, &TfrmEditKosyu::Button1Click));
    connect(Button3, &QPushButton::clicked, this, Handler(this, &TfrmEditKosyu::Button3Click));
    connect(Button2, &QPushButton::clicked, this, Handler(this, &TfrmEditKosyu::Button2Click));
    connect(SpeedButton1, &QToolButton::clicked, this,
            Handler(this, &TfrmEditKosyu::SpeedButton1Click));
    connect(SpeedButton2, &QToolButton::clicked, this,
            Handler(this, &TfrmEditKosyu::SpeedButton2Click));
    connect(N1, &QAction::triggered, this, Handler(this, &TfrmEditKosyu::N1Click));
    connect(Delete1, &QAction::triggered, this, Handler(this, &TfrmEditKosyu::Delete1Click));
    connect(Close1, &QAction::triggered, this, Handler(this, &TfrmEditKosyu::Close1Click));
    TabInLayoutOrder(this);
    SaveKeys = new TSaveKeys(
        this, [this] { SaveOnEnter(); }, SaveSign);

    // A missing table is created now; a failure (no data folder configured, for example) is
    // reported and leaves the window usable once the folder is set.
    Guarded([this] { kosyu_->CheckTable(); });
}

TfrmEditKosyu::~TfrmEditKosyu() = default;

QStringList TfrmEditKosyu::ShowStoredList() {
    QStringList names;
    kosyu_->ListNames(names);
    ListBox1->clear();
    ListBox1->addItems(names);
    return names;
}

void TfrmEditKosyu::FormActivate() {
    const QStringList names = ShowStoredList();
    Edit2->clear();
    ListBox1->setCurrentRow(names.isEmpty() ? -1 : 0);
    SaveKeys->Clear();
}

void TfrmEditKosyu::Edit2Change() {
    Button1->setEnabled(true);
}

void TfrmEditKosyu::Button1Click() {
    const int row = ListBox1->currentRow();
    if (row >= 0 && ListBox1->item(row)->isSelected())
        ListBox1->insertItem(row, Edit2->text());
    else
        ListBox1->addItem(Edit2->text());
    Edit2->clear();
    Edit2->setFocus();
    Button1->setEnabled(false);
}

void TfrmEditKosyu::Button3Click() {
    const int row = ListBox1->currentRow();
    if (row < 0 || !ListBox1->item(row)->isSelected())
        return;
    delete ListBox1->takeItem(row);
    // No line is selected afterwards, so a second click does not remove another line.
    ListBox1->setCurrentRow(-1);
    ListBox1->clearSelection();
}

void TfrmEditKosyu::SpeedButton1Click() {
    const int row = ListBox1->currentRow();
    if (row <= 0 || !ListBox1->item(row)->isSelected())
        return;
    QListWidgetItem* item = ListBox1->takeItem(row);
    ListBox1->insertItem(row - 1, item);
    ListBox1->setCurrentRow(row - 1);
}

void TfrmEditKosyu::SpeedButton2Click() {
    const int row = ListBox1->currentRow();
    if (row < 0 || row >= ListBox1->count() - 1 || !ListBox1->item(row)->isSelected())
        return;
    QListWidgetItem* item = ListBox1->takeItem(row);
    ListBox1->insertItem(row + 1, item);
    ListBox1->setCurrentRow(row + 1);
}

void TfrmEditKosyu::WriteList() {
    // The list replaces the register as a whole or not at all: a failure part-way (a name too
    // long for its column, a full disk) rolls back, the error is reported, and the window stays
    // open with the user's list.
    TTransaction transaction(QStringLiteral("KESTRAN"), {QStringLiteral("Kosyu4")});
    kosyu_->DeleteAll();
    for (int i = 0; i < ListBox1->count(); ++i) {
        kosyu_->ID = i + 1;
        kosyu_->FindByName(ListBox1->item(i)->text());
        kosyu_->Save();
    }
    transaction.Commit();
    SaveKeys->ShowSaved();
}

void TfrmEditKosyu::Button2Click() {
    // A name typed but not yet added goes in at the selected position first.
    if (Button1->isEnabled())
        Button1Click();
    WriteList();
    close();
}

void TfrmEditKosyu::SaveOnEnter() {
    // Only a name is added: Enter in an emptied box adds no blank line.
    if (!Edit2->text().trimmed().isEmpty())
        Button1Click();
    Edit2->clear();
    Button1->setEnabled(false);
    const QListWidgetItem* current = ListBox1->currentItem();
    const QString selected = current && current->isSelected() ? current->text() : QString();
    WriteList();
    // The list shows what is stored now (blank and repeated lines are not), the same line chosen.
    const QStringList names = ShowStoredList();
    if (!selected.isEmpty())
        ListBox1->setCurrentRow(int(names.indexOf(selected)));
    Edit2->setFocus();
}

void TfrmEditKosyu::N1Click() {
    kosyu_->Clear();
    Edit2->setText(kosyu_->Kosyumei);
}

void TfrmEditKosyu::Delete1Click() {
    kosyu_->DeleteAll();
}

void TfrmEditKosyu::Close1Click() {
    close();
}

bool TfrmEditKosyu::event(QEvent* event) {
    if (activation_.Activates(event))
        Guarded([this] { FormActivate(); });
    return QMainWindow::event(event);
}

void TfrmEditKosyu::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    CenterOnScreen(this);
}

} // namespace tv
