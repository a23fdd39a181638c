#include "settings/gui/uSetDataPath.h"

#include "platform/EngineConfig.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"
#include "platform/TableEngine.h"
#include "platform/gui/AppGuard.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/FormFrame.h"
#include "platform/gui/Help.h"
#include "settings/DataFolder.h"
#include "settings/RegistryUtility.h"
#include "settings/gui/FolderDialog.h"
#include "settings/gui/ServerBoxes.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <cmath>

namespace tv {
namespace {

const QString kDatabase = QStringLiteral("KESTRAN");

bool ReadFlag(const QString& name) {
    return ReadSetting(name) == QStringLiteral("TRUE");
}

QString FlagText(bool checked) {
    return checked ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

// The server of the configuration, empty for a folder or a configuration that cannot be read.
QString CurrentServer() {
    try {
        return DatabaseServer(kDatabase);
    } catch (const EngineError&) {
        return QString();
    }
}

// The data folder of the configuration, empty when it has none that can be used.
QString CurrentFolder() {
    try {
        return GetDataFolder(kDatabase);
    } catch (const EngineError&) {
        return QString();
    }
}

// True when tables can be kept in the folder: it exists and can be written.
bool FolderUsable(const QString& folder) {
    const QFileInfo info(folder);
    return !folder.isEmpty() && info.isDir() && info.isWritable();
}

} // namespace

QColor ColorFromWinColor(int value) {
    const auto v = static_cast<quint32>(value);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

int WinColorFromColor(const QColor& color) {
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

int WinColorFromText(const QString& text) {
    const double value = std::trunc(TextToFloat(text));
    // Out of the range of a colour value: the low 32 bits of the whole number, as a 32-bit
    // colour variable would hold them; what cannot be held at all reads as black.
    if (!std::isfinite(value) || std::fabs(value) >= 9.2e18)
        return 0;
    return static_cast<int>(static_cast<quint32>(static_cast<qint64>(value)));
}

TfrmSetDataPath::TfrmSetDataPath(QWidget* parent) : QDialog(parent) {
    // The place of the data on top; below it, 168 pixels lower, the other settings.
    SetUpFixedDialog(this, QStringLiteral("frmSetDataPath"), QStringLiteral("環境設定"), 378, 326);
    setModal(false);
    constexpr int dy = 168;
    // The window has no menu; F1 opens its help page.
    Help1 = new QAction(QStringLiteral("ヘルプ"), this);
    Help1->setObjectName(QStringLiteral("Help1"));
    Help1->setShortcut(QKeySequence(Qt::Key_F1));
    addAction(Help1);
    connect(Help1, &QAction::triggered, this, [] { ShowHelpTopic(QStringLiteral("HID00000008")); });

    GroupBox1 = new QGroupBox(QStringLiteral("データ格納場所"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 4, 361, 196);
    RadioButton1 = new QRadioButton(QStringLiteral("このコンピュータのフォルダ"), GroupBox1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setGeometry(8, 18, 240, 17);
    Button2 = new QPushButton(QStringLiteral("パス"), GroupBox1);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(24, 38, 49, 21);
    Button2->setAutoDefault(false);
    Edit1 = new QLineEdit(GroupBox1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(78, 38, 275, 21);
    RadioButton2 = new QRadioButton(QStringLiteral("サーバー (PostgreSQL)"), GroupBox1);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setGeometry(8, 70, 240, 17);
    ServerBoxes1 = new TServerBoxes(GroupBox1);
    ServerBoxes1->setObjectName(QStringLiteral("ServerBoxes1"));
    ServerBoxes1->setGeometry(0, 92, 361, 96);
    RadioButton1->setChecked(true);

    CheckBox1 = new QCheckBox(QStringLiteral("社印を使わない"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(8, 40 + dy, 161, 17);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setGeometry(8, 64 + dy, 241, 86);
    Label1 = new QLabel(QStringLiteral("温度範囲"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 6, 100, 14);
    Label2 = new QLabel(QStringLiteral("出荷"), Panel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(16, 28, 97, 14);
    Label3 = new QLabel(QStringLiteral("施工"), Panel1);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(128, 28, 97, 14);
    Edit2 = new QLineEdit(Panel1);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(16, 46, 97, 21);
    Edit2->setReadOnly(true);
    Edit2->setToolTip(QStringLiteral("ダブルクリックで色を選択"));
    Edit2->installEventFilter(this);
    Edit3 = new QLineEdit(Panel1);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setGeometry(128, 46, 97, 21);
    Edit3->setReadOnly(true);
    Edit3->setToolTip(QStringLiteral("ダブルクリックで色を選択"));
    Edit3->installEventFilter(this);

    // Kept for settings not offered in this version; loaded and written back unchanged.
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(256, 40 + dy, 113, 50);
    CheckBox2 = new QCheckBox(QStringLiteral("使用/未使用"), Panel2);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox2->setGeometry(4, 4, 105, 17);
    CheckBox3 = new QCheckBox(QStringLiteral("率の印刷"), Panel2);
    CheckBox3->setObjectName(QStringLiteral("CheckBox3"));
    CheckBox3->setGeometry(4, 26, 105, 17);
    Panel2->setVisible(false);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                              QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(288, 120 + dy, 81, 27);
    BitBtn1->setDefault(true);

    FolderDialog1 = new TFolderDialog(this);
    FolderDialog1->setObjectName(QStringLiteral("FolderDialog1"));
    FolderDialog1->Title = QStringLiteral("フォルダーの選択");

    SetSwatch(Edit2, edit2Color_, 0);
    SetSwatch(Edit3, edit3Color_, 0);

    TabInLayoutOrder(this);
    ShowChoice();
    connect(RadioButton1, &QRadioButton::toggled, this, [this] { ShowChoice(); });

    connect(BitBtn1, &QPushButton::clicked, this, Handler(this, &TfrmSetDataPath::BitBtn1Click));
    connect(Button2, &QPushButton::clicked, this, Handler(this, &TfrmSetDataPath::Button2Click));
}

void TfrmSetDataPath::SetSwatch(QLineEdit* edit, int& store, int value) {
    store = value;
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, ColorFromWinColor(value));
    edit->setPalette(palette);
}

void TfrmSetDataPath::ShowChoice() {
    const bool folder = RadioButton1->isChecked();
    Button2->setEnabled(folder);
    Edit1->setEnabled(folder);
    ServerBoxes1->setEnabled(!folder);
}

void TfrmSetDataPath::FormActivate() {
    // Each step shows at once; an unreadable value stops here and leaves the rest as it was.
    // A configuration that cannot be read was reported at start-up; the user chooses here.
    const QString server = CurrentServer();
    (server.isEmpty() ? RadioButton1 : RadioButton2)->setChecked(true);
    ServerBoxes1->SetAddress(server);
    Edit1->setText(CurrentFolder());
    CheckBox1->setChecked(ReadFlag(QStringLiteral("UnUseInkan")));
    SetSwatch(Edit2, edit2Color_,
              WinColorFromText(ReadSetting(QStringLiteral("ColorOndoNeriRange"))));
    SetSwatch(Edit3, edit3Color_,
              WinColorFromText(ReadSetting(QStringLiteral("ColorOndoSikiRange"))));
    CheckBox2->setChecked(ReadFlag(QStringLiteral("UseSiyou")));
    CheckBox3->setChecked(ReadFlag(QStringLiteral("UseRate")));
}

bool TfrmSetDataPath::StorePlace(bool& moved) {
    const QString oldServer = CurrentServer();
    moved = false;
    if (RadioButton2->isChecked()) {
        const QString problem = ServerBoxes1->Problem();
        if (!problem.isEmpty()) {
            ShowMessage(problem);
            return false;
        }
        const QString server = ServerBoxes1->Address();
        if (server == oldServer)
            return true;
        // The server is reached (its password asked) and its tables confirmed before anything
        // changes; unsaved readings are saved where they came from.
        if (!ConfirmServer(server) || (beforeSwitch_ && !beforeSwitch_()))
            return false;
        CloseAllConnections();
        if (!SetDatabaseParam(kDatabase, QStringLiteral("Server"), server)) {
            ShowMessage(QStringLiteral("Failed"));
            return false;
        }
        moved = true;
        return true;
    }
    const QString folder = Edit1->text();
    const bool acceptable = IsAbsoluteFolder(folder) && DataFolderPathProblem(folder).isEmpty();
    const bool leaving = !oldServer.isEmpty() || folder != CurrentFolder();
    if (leaving && acceptable && beforeSwitch_ && !beforeSwitch_())
        return false;
    // A folder that cannot be a data folder is refused and keeps the window open for another
    // choice; a configuration that cannot be written ("Failed") still stores the rest.
    if (!SetDataFolder(kDatabase, folder) && !acceptable)
        return false;
    if (!oldServer.isEmpty())
        SetDatabaseParam(kDatabase, QStringLiteral("Server"), QString());
    moved = leaving;
    return true;
}

void TfrmSetDataPath::BitBtn1Click() {
    bool moved = false;
    if (!StorePlace(moved))
        return;
    const QString folder = Edit1->text();
    WriteSetting(QStringLiteral("UnUseInkan"), FlagText(CheckBox1->isChecked()));
    WriteSetting(QStringLiteral("UseSiyou"), FlagText(CheckBox2->isChecked()));
    WriteSetting(QStringLiteral("UseRate"), FlagText(CheckBox3->isChecked()));
    WriteSetting(QStringLiteral("ColorOndoNeriRange"), QString::number(edit2Color_));
    WriteSetting(QStringLiteral("ColorOndoSikiRange"), QString::number(edit3Color_));
    // The folder is kept as typed, but say now that its tables cannot be used, rather than
    // letting the next table operation fail unexpectedly.
    if (RadioButton1->isChecked() && !FolderUsable(folder))
        ShowMessage(QStringLiteral("フォルダー '%1' は存在しないか書き込みできません。"
                                   "このフォルダーのデータは使用できません。")
                        .arg(folder));
    close();
    if (moved && afterSwitch_)
        afterSwitch_();
}

void TfrmSetDataPath::Button2Click() {
    if (FolderDialog1->Execute())
        Edit1->setText(FolderDialog1->Folder);
}

void TfrmSetDataPath::PickSwatchColor(QLineEdit* edit, int& store) {
    const std::optional<QColor> chosen = Dialogs().PickColor(this, lastColor_);
    if (!chosen)
        return;
    lastColor_ = *chosen;
    SetSwatch(edit, store, WinColorFromColor(*chosen));
}

void TfrmSetDataPath::Edit2DblClick() {
    PickSwatchColor(Edit2, edit2Color_);
}

void TfrmSetDataPath::Edit3DblClick() {
    PickSwatchColor(Edit3, edit3Color_);
}

bool TfrmSetDataPath::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == Edit2) {
            Guarded([this] { Edit2DblClick(); });
            return true;
        }
        if (watched == Edit3) {
            Guarded([this] { Edit3DblClick(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmSetDataPath::event(QEvent* event) {
    if (activation_.Activates(event))
        Guarded([this] { FormActivate(); });
    return QDialog::event(event);
}

void TfrmSetDataPath::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
}

} // namespace tv
