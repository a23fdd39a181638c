#include "registers/gui/uEditKoji.h"

#include "platform/Cp932.h"
#include "platform/Messages.h"
#include "platform/gui/AppGuard.h"
#include "platform/gui/Controls.h"
#include "platform/gui/FormFrame.h"
#include "platform/gui/Help.h"
#include "platform/gui/RadioGroup.h"
#include "registers/gui/uEditHacchusya.h"
#include "registers/gui/uEditSimei.h"
#include "registers/gui/uEditUkeoisya.h"
#include "registers/gui/uListBox.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

namespace tv {
namespace {

const QString kSave = QStringLiteral("登録");
const QString kClose = QStringLiteral("閉じる");

TComboBox* NameCombo(QWidget* parent, const char* name, int x, int y, int width) {
    auto* box = new TComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setGeometry(x, y, width, 20);
    SetImeOn(box);
    SetImeOn(box->lineEdit());
    return box;
}

// The code of a "code:name" line: the text before the first ":" (all of it without one).
QString CodeOfLine(const QString& line) {
    return line.section(QLatin1Char(':'), 0, 0);
}

} // namespace

TfrmEditKoji::TfrmEditKoji(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmEditKoji"));
    setWindowTitle(QStringLiteral("工事名の登録"));
    setWindowFlags(Qt::Window | kFixedTitleBar);

    auto* menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* file = menuBar->addMenu(QStringLiteral("ファイル"));
    N1 = file->addAction(QStringLiteral("新規"));
    N1->setObjectName(QStringLiteral("N1"));
    N5 = file->addAction(QStringLiteral("一覧印刷"));
    N5->setObjectName(QStringLiteral("N5"));
    Delete1 = file->addAction(QStringLiteral("削除"));
    Delete1->setObjectName(QStringLiteral("Delete1"));
    Close1 = file->addAction(QStringLiteral("閉じる"));
    Close1->setObjectName(QStringLiteral("Close1"));
    QMenu* data = menuBar->addMenu(QStringLiteral("データ"));
    N2 = data->addAction(QStringLiteral("氏名"));
    N2->setObjectName(QStringLiteral("N2"));
    N4 = data->addAction(QStringLiteral("発注者"));
    N4->setObjectName(QStringLiteral("N4"));
    N3 = data->addAction(QStringLiteral("請負者"));
    N3->setObjectName(QStringLiteral("N3"));
    Help1 = AddHelpItem(menuBar);

    QWidget* client = BuildClientArea(this, menuBar, 468, 182, true);

    auto label = [client](const char* name, const QString& text, int x, int y) {
        auto* l = new QLabel(text, client);
        l->setObjectName(QLatin1String(name));
        l->move(x, y);
    };
    label("Label1", QStringLiteral("工事コード"), 8, 12);
    Edit1 = new QLineEdit(client);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(72, 8, 65, 20);
    LimitBytes(Edit1, 8, QStringLiteral("工事コード"));
    SetImeOff(Edit1);
    Button1 = new QPushButton(QStringLiteral("工事検索"), client);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(144, 8, 65, 20);
    label("Label2", QStringLiteral("工事名"), 26, 36);
    Edit2 = new QLineEdit(client);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(72, 32, 385, 20);
    LimitBytes(Edit2, 128, QStringLiteral("工事名"));
    SetImeOn(Edit2);
    label("Label3", QStringLiteral("発注者名"), 14, 60);
    ComboBox3 = NameCombo(client, "ComboBox3", 72, 56, 241);
    LimitBytes(ComboBox3->lineEdit(), 20, QStringLiteral("発注者名"));
    // The client and contractor registers hold longer names than a work does.
    RefuseLongChoices(ComboBox3, 20, QStringLiteral("発注者の登録の「発注者名」"),
                      QStringLiteral("工事の「発注者名」"));
    label("Label4", QStringLiteral("請負者名"), 14, 84);
    ComboBox2 = NameCombo(client, "ComboBox2", 72, 80, 241);
    LimitBytes(ComboBox2->lineEdit(), 40, QStringLiteral("請負者名"));
    RefuseLongChoices(ComboBox2, 40, QStringLiteral("請負者の登録の「請負者名」"),
                      QStringLiteral("工事の「請負者名」"));
    label("Label5", QStringLiteral("現場代理人"), 2, 108);
    ComboBox1 = NameCombo(client, "ComboBox1", 72, 104, 145);
    LimitBytes(ComboBox1->lineEdit(), 16, QStringLiteral("現場代理人"));

    RadioGroup1 = new TRadioGroup(
        QStringLiteral("印刷様式"),
        {QStringLiteral("開発局"), QStringLiteral("土木現業所"), QStringLiteral("支庁")},
        QStringLiteral("RadioGroup1"), client);
    RadioGroup1->setGeometry(8, 128, 305, 41);
    const int column = (305 - 16) / 3;
    for (int i = 0; i < RadioGroup1->Count(); ++i)
        RadioGroup1->Item(i)->setGeometry(8 + i * column, 17, column - 4, 18);
    RadioGroup1->SetItemIndex(0);

    Button2 = new QPushButton(kClose, client);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(384, 144, 75, 25);

    SaveSign = AddSaveSign(client, 320, 124, 139);
    SaveSign->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    TabInLayoutOrder(this);
    // Enter saves while the button says 登録; once saved it closes the window, which Enter must
    // not do.
    SaveKeys = new TSaveKeys(this, Button2, SaveSign, [this] { return Button2->text() == kSave; });

    koji_ = std::make_unique<TKoji>();
    koji_->CheckTable();

    const auto changed = Handler(this, &TfrmEditKoji::ControlChange);
    connect(Edit1, &QLineEdit::textChanged, this, changed);
    connect(Edit2, &QLineEdit::textChanged, this, changed);
    connect(ComboBox1, &QComboBox::editTextChanged, this, changed);
    connect(ComboBox2, &QComboBox::editTextChanged, this, changed);
    connect(ComboBox3, &QComboBox::editTextChanged, this, changed);
    connect(RadioGroup1, &TRadioGroup::Changed, this, changed);

    connect(Button1, &QPushButton::clicked, this, Handler(this, &TfrmEditKoji::Button1Click));
    connect(Button2, &QPushButton::clicked, this, Handler(this, &TfrmEditKoji::Button2Click));
    connect(N1, &QAction::triggered, this, Handler(this, &TfrmEditKoji::N1Click));
    connect(N5, &QAction::triggered, this, Handler(this, &TfrmEditKoji::N5Click));
    connect(Delete1, &QAction::triggered, this, Handler(this, &TfrmEditKoji::Delete1Click));
    connect(Close1, &QAction::triggered, this, Handler(this, &TfrmEditKoji::Close1Click));
    connect(N2, &QAction::triggered, this, Handler(this, &TfrmEditKoji::N2Click));
    connect(N3, &QAction::triggered, this, Handler(this, &TfrmEditKoji::N3Click));
    connect(N4, &QAction::triggered, this, Handler(this, &TfrmEditKoji::N4Click));
    connect(Help1, &QAction::triggered, this, Handler(this, &TfrmEditKoji::Help1Click));
    connect(ComboBox1, &TComboBox::DropDown, this, Handler(this, &TfrmEditKoji::ComboBox1DropDown));
    connect(ComboBox1, &QComboBox::activated, this, Handler(this, &TfrmEditKoji::ComboBox1Click));
    connect(ComboBox2, &TComboBox::DropDown, this, Handler(this, &TfrmEditKoji::ComboBox2DropDown));
    connect(ComboBox2, &QComboBox::activated, this, Handler(this, &TfrmEditKoji::ComboBox2Click));
    connect(ComboBox3, &TComboBox::DropDown, this, Handler(this, &TfrmEditKoji::ComboBox3DropDown));
    connect(ComboBox3, &QComboBox::activated, this, Handler(this, &TfrmEditKoji::ComboBox3Click));
}

TfrmEditKoji::~TfrmEditKoji() = default;

void TfrmEditKoji::StoreFields() {
    koji_->Code = Edit1->text();
    koji_->Kojimei = Edit2->text();
    koji_->Hacchusya->FindByName(ComboBox3->currentText());
    koji_->Ukeoisya->FindByName(ComboBox2->currentText());
    koji_->Dairinin->FindByName(ComboBox1->currentText());
    koji_->Yoshiki = RadioGroup1->ItemIndex();
}

void TfrmEditKoji::ShowFields() {
    if (SaveKeys)
        SaveKeys->Clear();
    Edit1->setText(koji_->Code);
    Edit2->setText(koji_->Kojimei);
    ComboBox3->setEditText(koji_->Hacchusya->Hacchusyamei);
    ComboBox2->setEditText(koji_->Ukeoisya->Ukeoisyamei);
    ComboBox1->setEditText(koji_->Dairinin->Simei);
    RadioGroup1->SetItemIndex(koji_->Yoshiki);
    // Setting the controls marked them changed; what they show now is the object. After a save
    // that failed the object holds typing that is not stored yet, and the button keeps saving.
    Button2->setText(objectUnsaved_ ? kSave : kClose);
}

void TfrmEditKoji::FormActivate() {
    koji_->CheckTable();
    ShowFields();
}

void TfrmEditKoji::ControlChange() {
    Button2->setText(kSave);
}

void TfrmEditKoji::Button1Click() {
    QStringList lines;
    koji_->ListWorks(lines);
    QString chosen;
    if (!TfrmListBox::Pick(this, QStringLiteral("工事選択"), lines, chosen))
        return;
    koji_->LoadByCode(CodeOfLine(chosen));
    objectUnsaved_ = false;
    ShowFields();
}

void TfrmEditKoji::Button2Click() {
    if (Button2->text() != kSave) {
        close();
        return;
    }
    StoreFields();
    objectUnsaved_ = true;
    // Checked before anything is written, naming the boxes: a name chosen from a list may be
    // longer than this register keeps.
    const std::pair<const char16_t*, std::pair<QString, int>> boxes[] = {
        {u"工事コード", {Edit1->text(), 8}},
        {u"工事名", {Edit2->text(), 128}},
        {u"発注者名", {ComboBox3->currentText(), 20}},
        {u"請負者名", {ComboBox2->currentText(), 40}},
        {u"現場代理人", {ComboBox1->currentText(), 16}}};
    for (const auto& [label, box] : boxes)
        CheckFitsBytes(QStringLiteral("「%1」").arg(QString::fromUtf16(label)), box.first,
                       box.second);
    koji_->Save();
    objectUnsaved_ = false;
    Button2->setText(kClose);
    SaveKeys->ShowSaved();
}

void TfrmEditKoji::N1Click() {
    Edit1->clear();
    Edit2->clear();
    ComboBox3->setEditText(QString());
    ComboBox2->setEditText(QString());
    ComboBox1->setEditText(QString());
    Edit1->setFocus();
}

void TfrmEditKoji::N5Click() {
    // The list of works has no printout yet.
}

void TfrmEditKoji::Delete1Click() {
    if (!AskOkCancel(QStringLiteral("本当に削除しますか？")))
        return;
    StoreFields();
    koji_->Delete();
    objectUnsaved_ = false;
}

void TfrmEditKoji::Close1Click() {
    close();
}

void TfrmEditKoji::RunRegisterWindow(const std::function<void()>& run) {
    const QString code = Edit1->text();
    const QString name = Edit2->text();
    const QString client = ComboBox3->currentText();
    const QString contractor = ComboBox2->currentText();
    const QString person = ComboBox1->currentText();
    const int form = RadioGroup1->ItemIndex();
    const QString button = Button2->text();
    run();
    // Whatever the return to this window did, the typing is shown as it was.
    activation_.SkipNext();
    Edit1->setText(code);
    Edit2->setText(name);
    ComboBox3->setEditText(client);
    ComboBox2->setEditText(contractor);
    ComboBox1->setEditText(person);
    RadioGroup1->SetItemIndex(form);
    Button2->setText(button);
}

void TfrmEditKoji::N2Click() {
    std::optional<QString> entered;
    RunRegisterWindow([&] {
        auto form = std::make_unique<TfrmEditSimei>(this);
        if (form->exec() == QDialog::Accepted)
            entered = form->EnteredName();
    });
    // The person entered there goes into the site-agent box.
    if (entered && *entered != ComboBox1->currentText()) {
        ComboBox1->setEditText(*entered);
        ControlChange();
    }
}

void TfrmEditKoji::N4Click() {
    RunRegisterWindow([this] { TfrmEditHacchusya(this).exec(); });
}

void TfrmEditKoji::N3Click() {
    RunRegisterWindow([this] { TfrmEditUkeoisya(this).exec(); });
}

void TfrmEditKoji::Help1Click() {
    ShowHelpTopic(QStringLiteral("HID00000002"));
}

void TfrmEditKoji::ComboBox1DropDown() {
    QStringList names;
    koji_->Dairinin->ListNames(names);
    RefillKeepingText(ComboBox1, names);
}

void TfrmEditKoji::ComboBox1Click() {
    const int index = ComboBox1->currentIndex();
    if (index >= 0)
        ComboBox1->setEditText(ComboBox1->itemText(index));
}

void TfrmEditKoji::ComboBox2DropDown() {
    QStringList names;
    koji_->Ukeoisya->ListNames(names);
    RefillKeepingText(ComboBox2, names);
}

void TfrmEditKoji::ComboBox2Click() {
    koji_->Ukeoisya->FindByName(ComboBox2->currentText());
}

void TfrmEditKoji::ComboBox3DropDown() {
    QStringList names;
    koji_->Hacchusya->ListNames(names);
    RefillKeepingText(ComboBox3, names);
}

void TfrmEditKoji::ComboBox3Click() {
    koji_->Hacchusya->FindByName(ComboBox3->currentText());
}

bool TfrmEditKoji::event(QEvent* event) {
    if (activation_.Activates(event)) {
        bool failed = false;
        Guarded([&] {
            try {
                FormActivate();
            } catch (...) {
                // Closing the message about it activates this window again.
                failed = true;
                throw;
            }
        });
        if (failed)
            activation_.SkipNext();
    }
    return QWidget::event(event);
}

void TfrmEditKoji::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!centred_) {
        centred_ = true;
        CenterOnScreen(this);
    }
}

} // namespace tv
