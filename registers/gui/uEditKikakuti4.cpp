#include "registers/gui/uEditKikakuti4.h"

#include "platform/gui/AppGuard.h"
#include "platform/gui/ClickLabel.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/FormFrame.h"
#include "platform/gui/Help.h"
#include "platform/gui/RadioGroup.h"
#include "printing/Printer.h"
#include "printing/gui/ShowPreview.h"
#include "registers/Codes.h"
#include "registers/gui/uListBox.h"
#include "registers/print/PrintKikakuti4List.h"
#include "registers/uKikakuti4.h"
#include "settings/RegistryUtility.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

namespace tv {
namespace {

const QString kSettingName = QStringLiteral("JisyaKikakumei");
const QString kDefaultCaption = QStringLiteral("自社規格");

// A caption panel: raised, its text centred.
template <class Label = QLabel>
Label* Panel(QWidget* parent, const char* name, const QString& text, int x, int y, int width,
             int height) {
    auto* panel = new Label(text, parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setAlignment(Qt::AlignCenter);
    panel->setGeometry(x, y, width, height);
    return panel;
}

// An edit box for a value: input method off, at most the bytes its column stores.
QLineEdit* ValueEdit(QWidget* parent, const char* name, int x, int y, const QString& field) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(x, y, 81, 20);
    SetImeOff(edit);
    LimitBytes(edit, 16, field);
    return edit;
}

TComboBox* NameCombo(QWidget* parent, const char* name, int y, int bytes, const QString& field) {
    auto* box = new TComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setGeometry(88, y, 153, 20);
    SetImeOn(box);
    SetImeOn(box->lineEdit());
    LimitBytes(box->lineEdit(), bytes, field);
    return box;
}

} // namespace

TfrmEditKikakuti4::TfrmEditKikakuti4(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmEditKikakuti4"));
    setWindowTitle(QStringLiteral("規格値の登録"));
    setWindowFlags(Qt::Window);

    auto* menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* file = menuBar->addMenu(QStringLiteral("ファイル"));
    Print1 = AddMenuItem(file, QStringLiteral("一覧印刷"), "Print1");
    Delete1 = AddMenuItem(file, QStringLiteral("削除"), "Delete1");
    Close1 = AddMenuItem(file, QStringLiteral("閉じる"), "Close1");
    QMenu* data = menuBar->addMenu(QStringLiteral("データ"));
    N1 = AddMenuItem(data, QStringLiteral("工種データ"), "N1");
    Help1 = AddHelpItem(menuBar);
    connect(Help1, &QAction::triggered, this, [] { ShowHelpTopic(QStringLiteral("HID00000006")); });

    QWidget* client = BuildClientArea(this, menuBar, 254, 264, false);

    RadioGroup1 = new TRadioGroup(
        QStringLiteral("区分"),
        {QStringLiteral("開発局"), QStringLiteral("土木現業所"), QStringLiteral("支庁")},
        QStringLiteral("RadioGroup1"), client);
    // 233 x 33 in the layout, whose frame has its caption inside the line; here the caption sits
    // above the frame, so the frame is made a few pixels taller (the next box starts at 40) for
    // the radio circles to fit inside it whole.
    RadioGroup1->setGeometry(8, 0, 233, 38);
    // Three columns; each item as wide as its caption needs, the room left shared between
    // them, so "土木現業所" does not run into "支庁". The circles sit below the frame's caption.
    QList<QRadioButton*> items;
    int needed = 0;
    for (int i = 0; i < RadioGroup1->Count(); ++i) {
        items << RadioGroup1->Item(i);
        needed += items.back()->sizeHint().width();
    }
    RadioGroup1->ensurePolished();
    const QRect frame = RadioGroup1->contentsRect();
    const int inner = frame.width() - 4;
    const int gap = std::max(0, (inner - needed) / 2);
    int x = frame.left() + 2;
    for (QRadioButton* item : items) {
        const int w = std::min(item->sizeHint().width(), inner / 3 + gap);
        const int h = std::min(item->sizeHint().height(), frame.height());
        item->setGeometry(x, frame.top() + (frame.height() - h) / 2, w, h);
        x += w + gap;
    }

    Panel7 = Panel(client, "Panel7", QStringLiteral("工種名"), 8, 40, 81, 20);
    ComboBox1 = NameCombo(client, "ComboBox1", 40, 32, QStringLiteral("工種名"));
    Panel8 = Panel<TClickLabel>(client, "Panel8", QStringLiteral("項目名"), 8, 64, 81, 20);
    ComboBox2 = NameCombo(client, "ComboBox2", 64, 16, QStringLiteral("項目名"));

    Panel1 = Panel(client, "Panel1", QStringLiteral("規格値(㎜)"), 8, 96, 105, 41);
    Panel2 = Panel(client, "Panel2", QStringLiteral("上限値"), 112, 96, 49, 20);
    Edit2 = ValueEdit(client, "Edit2", 160, 96, QStringLiteral("規格値の上限値"));
    Panel3 = Panel(client, "Panel3", QStringLiteral("下限値"), 112, 117, 49, 20);
    Edit3 = ValueEdit(client, "Edit3", 160, 117, QStringLiteral("規格値の下限値"));

    CheckBox1 = new QCheckBox(QStringLiteral("合格判定値"), client);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(8, 144, 89, 17);
    Label1 = new QLabel(QStringLiteral("条件"), client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(128, 148);
    Label1->adjustSize();
    Edit1 = ValueEdit(client, "Edit1", 160, 144, QStringLiteral("条件"));

    Panel4 = Panel(client, "Panel4", QStringLiteral("自社規格値"), 8, 168, 105, 22);
    Edit4 = new QLineEdit(client);
    Edit4->setObjectName(QStringLiteral("Edit4"));
    Edit4->setGeometry(8, 189, 105, 20);
    SetImeOn(Edit4);
    Panel5 = Panel(client, "Panel5", QStringLiteral("上限値"), 112, 168, 49, 20);
    Edit5 = ValueEdit(client, "Edit5", 160, 168, QStringLiteral("自社規格値の上限値"));
    Panel6 = Panel(client, "Panel6", QStringLiteral("下限値"), 112, 189, 49, 20);
    Edit6 = ValueEdit(client, "Edit6", 160, 189, QStringLiteral("自社規格値の下限値"));

    Button1 = new QPushButton(QStringLiteral("登録"), client);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(88, 224, 75, 25);
    Button1->setEnabled(false);
    Button2 = new QPushButton(QStringLiteral("閉じる"), client);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(168, 224, 75, 25);

    SaveSign = AddSaveSign(client, 8, 228, 78);
    TabInLayoutOrder(this);
    SaveKeys = new TSaveKeys(this, Button1, SaveSign);

    kikakuti4_ = std::make_unique<TKikakuti4>();

    const auto changed = Handler(this, &TfrmEditKikakuti4::ControlChange);
    for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6})
        connect(edit, &QLineEdit::textChanged, this, changed);
    for (TComboBox* box : {ComboBox1, ComboBox2})
        connect(box, &QComboBox::editTextChanged, this, [this] {
            if (!showingCombos_)
                Guarded([this] { ControlChange(); });
        });
    connect(RadioGroup1, &TRadioGroup::Click, this,
            Handler(this, &TfrmEditKikakuti4::RadioGroup1Click));
    connect(Panel8, &TClickLabel::Click, this, Handler(this, &TfrmEditKikakuti4::Panel8Click));
    // Only the user's own changes count as unsaved; what the window shows of an entry does not.
    const auto userChanged = [this] { changed_ = true; };
    for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6})
        connect(edit, &QLineEdit::textEdited, this, userChanged);
    for (TComboBox* box : {ComboBox1, ComboBox2})
        connect(box->lineEdit(), &QLineEdit::textEdited, this, userChanged);
    connect(CheckBox1, &QCheckBox::clicked, this, userChanged);
    connect(RadioGroup1, &TRadioGroup::Click, this, userChanged);
    connect(CheckBox1, &QCheckBox::toggled, this,
            Handler(this, &TfrmEditKikakuti4::CheckBox1Click));
    connect(ComboBox1, &TComboBox::DropDown, this,
            Handler(this, &TfrmEditKikakuti4::ComboBox1DropDown));
    connect(ComboBox1, &QComboBox::activated, this,
            Handler(this, &TfrmEditKikakuti4::ComboBox1Click));
    connect(ComboBox2, &TComboBox::DropDown, this,
            Handler(this, &TfrmEditKikakuti4::ComboBox2DropDown));
    connect(ComboBox2, &QComboBox::activated, this,
            Handler(this, &TfrmEditKikakuti4::ComboBox2Click));
    connect(Button1, &QPushButton::clicked, this, Handler(this, &TfrmEditKikakuti4::Button1Click));
    connect(Button2, &QPushButton::clicked, this, Handler(this, &TfrmEditKikakuti4::Button2Click));
    connect(Print1, &QAction::triggered, this, Handler(this, &TfrmEditKikakuti4::Print1Click));
    connect(Delete1, &QAction::triggered, this, Handler(this, &TfrmEditKikakuti4::Delete1Click));
    connect(Close1, &QAction::triggered, this, Handler(this, &TfrmEditKikakuti4::Close1Click));
    connect(N1, &QAction::triggered, this, Handler(this, &TfrmEditKikakuti4::N1Click));

    // A missing table is created now; a failure (no data folder configured, for example) is
    // reported and leaves the window usable once the folder is set.
    Guarded([this] { kikakuti4_->CheckTable(); });
}

TfrmEditKikakuti4::~TfrmEditKikakuti4() = default;

void TfrmEditKikakuti4::StoreFields() {
    TKikakuti4& k = *kikakuti4_;
    k.Kubun = RadioGroup1->ItemIndex();
    k.Kosyu->FindByName(ComboBox1->currentText());
    k.Koumokumei = ComboBox2->currentText();
    k.KikakutiU1 = Edit2->text();
    k.KikakutiD1 = Edit3->text();
    k.GokakuHantei = CheckBox1->isChecked();
    k.Joken = Edit1->text();
    WriteSetting(kSettingName, Edit4->text());
    k.KikakutiU2 = Edit5->text();
    k.KikakutiD2 = Edit6->text();
}

void TfrmEditKikakuti4::ShowFields() {
    if (SaveKeys)
        SaveKeys->Clear();
    const TKikakuti4& k = *kikakuti4_;
    RadioGroup1->SetItemIndex(k.Kubun);
    showingCombos_ = true;
    ComboBox1->setEditText(k.Kosyu->Kosyumei);
    ComboBox2->setEditText(k.Koumokumei);
    showingCombos_ = false;
    Edit2->setText(k.KikakutiU1);
    Edit3->setText(k.KikakutiD1);
    CheckBox1->setChecked(k.GokakuHantei);
    Edit1->setText(k.Joken);
    Edit5->setText(k.KikakutiU2);
    Edit6->setText(k.KikakutiD2);
    changed_ = false;
}

void TfrmEditKikakuti4::FormActivate() {
    const QString caption = ReadSetting(kSettingName);
    Edit4->setText(caption.isEmpty() ? kDefaultCaption : caption);
}

void TfrmEditKikakuti4::RadioGroup1Click() {
    kikakuti4_->Kubun = RadioGroup1->ItemIndex();
}

void TfrmEditKikakuti4::ComboBox1DropDown() {
    QStringList names;
    kikakuti4_->Kosyu->ListNames(names);
    RefillKeepingText(ComboBox1, names);
}

void TfrmEditKikakuti4::ComboBox1Click() {
    kikakuti4_->Kosyu->FindByName(ComboBox1->currentText());
    kikakuti4_->FindByKey();
    ShowFields();
}

void TfrmEditKikakuti4::ComboBox2DropDown() {
    QStringList names;
    kikakuti4_->ListItemNames(names);
    RefillKeepingText(ComboBox2, names);
}

void TfrmEditKikakuti4::ComboBox2Click() {
    kikakuti4_->Koumokumei = ComboBox2->currentText();
    kikakuti4_->FindByKey();
    ShowFields();
}

void TfrmEditKikakuti4::Panel8Click() {
    QStringList lines;
    kikakuti4_->ListRegistered(lines);
    QString chosen;
    if (!TfrmListBox::Pick(this, QStringLiteral("登録済データの選択"), lines, chosen))
        return;
    kikakuti4_->Kosyu->FindByName(CodePart(chosen));
    kikakuti4_->Koumokumei = NamePart(chosen);
    kikakuti4_->FindByKey();
    ShowFields();
    Button1->setEnabled(false);
}

void TfrmEditKikakuti4::CheckBox1Click() {
    const bool ticked = CheckBox1->isChecked();
    Label1->setEnabled(ticked);
    Edit1->setEnabled(ticked);
    Button1->setEnabled(true);
}

void TfrmEditKikakuti4::ControlChange() {
    Button1->setEnabled(true);
}

void TfrmEditKikakuti4::Button1Click() {
    StoreFields();
    kikakuti4_->Save();
    Button1->setEnabled(false);
    changed_ = false;
    SaveKeys->ShowSaved();
}

void TfrmEditKikakuti4::Button2Click() {
    if (changed_) {
        // No icon, and Qt's own buttons with Cancel the default: "No" drops what was typed.
        switch (Dialogs().AskYesNo(QStringLiteral("未登録データを保存しますか"),
                                   TQuestion::PlainYesNoCancel)) {
        case TAnswer::Cancel:
            return;
        case TAnswer::Yes:
            Button1Click();
            break;
        case TAnswer::No:
            break;
        }
    }
    close();
}

void TfrmEditKikakuti4::Delete1Click() {
    kikakuti4_->Delete();
}

void TfrmEditKikakuti4::Close1Click() {
    // As the 閉じる button: unsaved changes are not dropped without asking.
    Button2Click();
}

void TfrmEditKikakuti4::N1Click() {
    if (!workTypeWindow_)
        return;
    workTypeWindow_->show();
    workTypeWindow_->raise();
    workTypeWindow_->activateWindow();
}

void TfrmEditKikakuti4::Print1Click() {
    // The list is laid out on an upright sheet.
    SetCurrentOrientation(TOrientation::Portrait);
    ShowPreview(this, QStringLiteral("規格値一覧"), TOrientation::Portrait,
                [](TPageTarget& pages) { PrintKikakuti4List(pages); });
}

bool TfrmEditKikakuti4::event(QEvent* event) {
    if (activation_.Activates(event))
        Guarded([this] { FormActivate(); });
    return QWidget::event(event);
}

void TfrmEditKikakuti4::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    changed_ = false;
    if (!placed_) {
        placed_ = true;
        move(452, 246);
    }
}

} // namespace tv
