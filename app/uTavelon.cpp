#include "app/uTavelon.h"

#include "Version.h"
#include "platform/gui/AppGuard.h"
#include "platform/gui/Controls.h"
#include "platform/gui/vaSpread.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>

namespace tv {

namespace {
constexpr int kEditHeight = 20;

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, int left, int top) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

// A label placed to the left of a box, its right edge 4 pixels before the box.
QLabel* LabelBefore(QWidget* parent, const char* name, const QString& caption, int boxLeft,
                    int top) {
    QLabel* label = MakeLabel(parent, name, caption, 0, top);
    label->move(boxLeft - 4 - label->width(), top);
    return label;
}

template <class Box> Box* Place(Box* box, const char* name, int left, int top, int width) {
    box->setObjectName(QLatin1String(name));
    box->setGeometry(left, top, width, kEditHeight);
    return box;
}
} // namespace

TfrmEditTavelon::TfrmEditTavelon(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmEditTavelon"));
    setWindowTitle(QStringLiteral("舗装路面の平坦性測定"));
    QFont windowFont(QStringLiteral("ＭＳ Ｐゴシック"));
    windowFont.setPixelSize(12);
    setFont(windowFont);
    BuildControls();
    BuildMenus();
    // The outer size is 645 x 549 with the frame; Qt sizes the inside of the frame.
    resize(637, 515);
    CentreInWorkArea();
    StatusPanel0->setText(QStringLiteral(TAVELON_FILE_VERSION));
}

TfrmEditTavelon::~TfrmEditTavelon() = default;

void TfrmEditTavelon::BuildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);

    ComboBox1 = Place(new TComboBox(client), "ComboBox1", 48, 0, 401);
    ComboBox4 = Place(new TComboBox(client), "ComboBox4", 48, 24, 145);
    Edit1 = Place(new QLineEdit(client), "Edit1", 80, 56, 137);
    Edit2 = Place(new QLineEdit(client), "Edit2", 80, 76, 137);
    Edit3 = Place(new QLineEdit(client), "Edit3", 80, 96, 137);
    Edit4 = Place(new QLineEdit(client), "Edit4", 288, 56, 121);
    ComboBox2 = Place(new TComboBox(client), "ComboBox2", 288, 76, 169);
    ComboBox3 = Place(new TComboBox(client), "ComboBox3", 288, 96, 169);
    Edit5 = Place(new QLineEdit(client), "Edit5", 536, 32, 89);
    Edit6 = Place(new QLineEdit(client), "Edit6", 536, 53, 89);
    Edit7 = Place(new QLineEdit(client), "Edit7", 536, 75, 89);
    Edit8 = Place(new QLineEdit(client), "Edit8", 536, 96, 89);
    vaSpread1 = new TvaSpread(client);
    vaSpread1->setObjectName(QStringLiteral("vaSpread1"));
    vaSpread1->setGeometry(8, 120, 619, 273);
    Edit9 = Place(new QLineEdit(client), "Edit9", 8, 440, 33);
    Edit10 = Place(new QLineEdit(client), "Edit10", 48, 440, 33);
    Edit11 = Place(new QLineEdit(client), "Edit11", 88, 440, 49);
    Edit13 = Place(new QLineEdit(client), "Edit13", 142, 440, 20);
    Edit12 = Place(new QLineEdit(client), "Edit12", 168, 440, 73);

    for (TComboBox* combo : {ComboBox1, ComboBox4, ComboBox2, ComboBox3}) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setMaxVisibleItems(16);
    }
    for (QWidget* box :
         {static_cast<QWidget*>(ComboBox1), static_cast<QWidget*>(ComboBox4),
          static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Edit2), static_cast<QWidget*>(Edit3),
          static_cast<QWidget*>(Edit4), static_cast<QWidget*>(Edit9), static_cast<QWidget*>(Edit10),
          static_cast<QWidget*>(Edit11), static_cast<QWidget*>(Edit13),
          static_cast<QWidget*>(Edit12)})
        SetImeOff(box);
    SetImeOn(ComboBox2);
    SetImeOn(ComboBox3);
    // The result boxes of the readings are grey.
    for (QLineEdit* box : {Edit5, Edit6, Edit7, Edit8}) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
        box->setPalette(palette);
    }

    MakeLabel(client, "Label1", QStringLiteral("工事名"), 8, 4);
    Label16 = MakeLabel(client, "Label16", QStringLiteral("工種名"), 8, 28);
    Label16->setCursor(Qt::PointingHandCursor);
    Label16->installEventFilter(this);
    LabelBefore(client, "Label2", QStringLiteral("測定開始点"), 80, 60);
    LabelBefore(client, "Label3", QStringLiteral("測定終了点"), 80, 80);
    LabelBefore(client, "Label4", QStringLiteral("測定距離"), 80, 100);
    LabelBefore(client, "Label5", QStringLiteral("測定日"), 288, 60);
    LabelBefore(client, "Label6", QStringLiteral("測定器"), 288, 80);
    LabelBefore(client, "Label7", QStringLiteral("測定者"), 288, 100);
    LabelBefore(client, "Label8", QStringLiteral("Σd"), 536, 36);
    LabelBefore(client, "Label9", QStringLiteral("Σ(d2)"), 536, 57);
    LabelBefore(client, "Label10", QStringLiteral("データ数"), 536, 79);
    LabelBefore(client, "Label11", QStringLiteral("標準偏差"), 536, 100);
    MakeLabel(client, "Label13", QStringLiteral("ΣＲ"), 8, 424);
    MakeLabel(client, "Label14", QStringLiteral("測定数"), 48, 424);
    MakeLabel(client, "Label15", QStringLiteral("標準偏差"), 88, 424);
    MakeLabel(client, "Label17", QStringLiteral("Ｇ"), 142, 424);
    MakeLabel(client, "Label12", QStringLiteral("仕様書の範囲"), 168, 424);

    RadioGroup1 = new QGroupBox(QStringLiteral("印刷フォーム"), client);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(248, 400, 121, 65);
    RadioGroup1Items = new QButtonGroup(RadioGroup1);
    auto* item0 = new QRadioButton(QStringLiteral("舗装試験法便覧"), RadioGroup1);
    auto* item1 = new QRadioButton(QStringLiteral("北海道開発局"), RadioGroup1);
    item0->setObjectName(QStringLiteral("RadioGroup1Item0"));
    item1->setObjectName(QStringLiteral("RadioGroup1Item1"));
    item0->setGeometry(8, 18, 110, 18);
    item1->setGeometry(8, 40, 110, 18);
    RadioGroup1Items->addButton(item0, 0);
    RadioGroup1Items->addButton(item1, 1);
    item0->setChecked(true);

    auto makeButton = [client](const char* name, const QString& caption,
                               QStyle::StandardPixmap icon, int left, int top) {
        auto* button = new QPushButton(client->style()->standardIcon(icon), caption, client);
        button->setObjectName(QLatin1String(name));
        button->setGeometry(left, top, 75, 25);
        return button;
    };
    BitBtn4 =
        makeButton("BitBtn4", QStringLiteral("設定"), QStyle::SP_FileDialogDetailedView, 392, 408);
    BitBtn1 = makeButton("BitBtn1", QStringLiteral("印刷"), QStyle::SP_FileIcon, 392, 440);
    BitBtn2 = makeButton("BitBtn2", QStringLiteral("登録"), QStyle::SP_DialogSaveButton, 472, 440);
    BitBtn3 =
        makeButton("BitBtn3", QStringLiteral("閉じる"), QStyle::SP_DialogCloseButton, 552, 440);
    // 閉じる is the window's cancel button: Esc closes.
    BitBtn3->setShortcut(QKeySequence(Qt::Key_Escape));

    StatusPanel0 = new QLabel(this);
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusPanel0->setAlignment(Qt::AlignCenter);
    StatusPanel0->setFixedWidth(50);
    StatusPanel1 = new QLabel(this);
    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    statusBar()->addWidget(StatusPanel0);
    statusBar()->addWidget(StatusPanel1, 1);
    statusBar()->setSizeGripEnabled(false);

    // Tab order.
    QWidget* order[] = {ComboBox1, ComboBox4, Edit1,     Edit2,   Edit3,  Edit4,
                        ComboBox2, ComboBox3, vaSpread1, Edit9,   Edit10, Edit11,
                        Edit13,    Edit12,    item0,     Edit5,   Edit6,  Edit7,
                        Edit8,     BitBtn1,   BitBtn2,   BitBtn3, BitBtn4};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    connect(ComboBox1, &TComboBox::DropDown, this,
            Handler(this, &TfrmEditTavelon::ComboBox1DropDown));
    connect(ComboBox1, &QComboBox::activated, this,
            Handler(this, &TfrmEditTavelon::ComboBox1Click));
    connect(ComboBox4, &TComboBox::DropDown, this,
            Handler(this, &TfrmEditTavelon::ComboBox4DropDown));
    connect(ComboBox4, &QComboBox::activated, this,
            Handler(this, &TfrmEditTavelon::ComboBox4Click));
    connect(ComboBox2, &TComboBox::DropDown, this,
            Handler(this, &TfrmEditTavelon::ComboBox2DropDown));
    connect(ComboBox3, &TComboBox::DropDown, this,
            Handler(this, &TfrmEditTavelon::ComboBox3DropDown));
    connect(vaSpread1, &TvaSpread::Click, this,
            [this](int col, int row) { Guarded([&] { vaSpread1Click(col, row); }); });
    connect(vaSpread1, &TvaSpread::KeyPress, this,
            [this](int key) { Guarded([&] { vaSpread1KeyPress(key); }); });
    connect(Edit11, &QLineEdit::textChanged, this, Handler(this, &TfrmEditTavelon::Edit11Change));
    connect(BitBtn1, &QPushButton::clicked, this, Handler(this, &TfrmEditTavelon::BitBtn1Click));
    connect(BitBtn2, &QPushButton::clicked, this, Handler(this, &TfrmEditTavelon::BitBtn2Click));
    connect(BitBtn3, &QPushButton::clicked, this, Handler(this, &TfrmEditTavelon::BitBtn3Click));
    connect(BitBtn4, &QPushButton::clicked, this, Handler(this, &TfrmEditTavelon::BitBtn4Click));
}

void TfrmEditTavelon::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル"));
    file->setObjectName(QStringLiteral("File1"));
    Delete1 = file->addAction(QStringLiteral("削除"));
    Delete1->setObjectName(QStringLiteral("Delete1"));
    Close1 = file->addAction(QStringLiteral("閉じる"));
    Close1->setObjectName(QStringLiteral("Close1"));
    QMenu* data = menuBar()->addMenu(QStringLiteral("データ"));
    data->setObjectName(QStringLiteral("Data1"));
    N1 = data->addAction(QStringLiteral("データ格納場所"));
    N2 = data->addAction(QStringLiteral("工事データ"));
    N3 = data->addAction(QStringLiteral("工種データ"));
    N4 = data->addAction(QStringLiteral("規格値データ"));
    N1->setObjectName(QStringLiteral("N1"));
    N2->setObjectName(QStringLiteral("N2"));
    N3->setObjectName(QStringLiteral("N3"));
    N4->setObjectName(QStringLiteral("N4"));
    connect(Delete1, &QAction::triggered, this, Handler(this, &TfrmEditTavelon::Delete1Click));
    connect(Close1, &QAction::triggered, this, Handler(this, &TfrmEditTavelon::Close1Click));
    connect(N1, &QAction::triggered, this, Handler(this, &TfrmEditTavelon::N1Click));
    connect(N2, &QAction::triggered, this, Handler(this, &TfrmEditTavelon::N2Click));
    connect(N3, &QAction::triggered, this, Handler(this, &TfrmEditTavelon::N3Click));
    connect(N4, &QAction::triggered, this, Handler(this, &TfrmEditTavelon::N4Click));
}

void TfrmEditTavelon::CentreInWorkArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect work = screen->availableGeometry();
    const int width = 645, height = 549;
    move(work.left() + (work.width() - width) / 2, work.top() + (work.height() - height) / 2);
}

bool TfrmEditTavelon::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label16 && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            Label16->rect().contains(mouse->position().toPoint()))
            Guarded([this] { Label16Click(); });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

int TfrmEditTavelon::RadioGroup1ItemIndex() const {
    return RadioGroup1Items->checkedId();
}

void TfrmEditTavelon::SetRadioGroup1ItemIndex(int index) {
    if (QAbstractButton* button = RadioGroup1Items->button(index))
        button->setChecked(true);
}

// --- Calculations -------------------------------------------------------------------------------

QLineEdit* TfrmEditTavelon::Box(ResultBox box) const {
    switch (box) {
    case ResultBox::Edit5:
        return Edit5;
    case ResultBox::Edit6:
        return Edit6;
    case ResultBox::Edit7:
        return Edit7;
    case ResultBox::Edit8:
        return Edit8;
    case ResultBox::Edit9:
        return Edit9;
    case ResultBox::Edit10:
        return Edit10;
    case ResultBox::Edit11:
        return Edit11;
    case ResultBox::Edit13:
        return Edit13;
    }
    return nullptr;
}

QString TfrmEditTavelon::BoxText(ResultBox box) const {
    return Box(box)->text();
}

void TfrmEditTavelon::SetBoxText(ResultBox box, const QString& text) {
    Box(box)->setText(text);
}

void TfrmEditTavelon::SetGP(const QString& gp) {
    headerGP_ = gp;
}

void TfrmEditTavelon::ShowStatus(const QString& text) {
    StatusPanel1->setText(text);
}

void TfrmEditTavelon::RunCalcReadingsAndRanges() {
    CalcReadings(*vaSpread1, *this);
    CalcRanges(*vaSpread1, *this);
}

// --- Entering readings --------------------------------------------------------------------------

void TfrmEditTavelon::vaSpread1KeyPress(int key) {
    const int col = vaSpread1->ActiveCol();
    if (key == 13) {
        if (col >= 2 && col <= 11)
            RunCalcReadingsAndRanges();
        else if (col >= 14 && col <= 16)
            CalcRanges(*vaSpread1, *this);
    }
    if (col >= 1 && col <= 10)
        vaSpread1->SetEditEnterAction(kEnterRight);
    else if (col == 11)
        vaSpread1->SetEditEnterAction(kEnterNextRow);
    else if (col == 16)
        vaSpread1->SetEditEnterAction(kEnterDown);
}

void TfrmEditTavelon::vaSpread1Click(int col, int row) {
    if (col < 2 || col > 11)
        return;
    vaSpread1->SetCol(col);
    vaSpread1->SetRow(row);
    if (vaSpread1->Text().isEmpty() || vaSpread1->ForeColor() != kColorBlack)
        vaSpread1->SetForeColor(kColorBlack);
    else
        vaSpread1->SetForeColor(kColorRed);
    RunCalcReadingsAndRanges();
}

void TfrmEditTavelon::Edit11Change() {
    SetRadioGroup1ItemIndex(Edit11->text().trimmed().isEmpty() ? 0 : 1);
}

// --- Data ---------------------------------------------------------------------------------------

void TfrmEditTavelon::ComboBox1DropDown() {}
void TfrmEditTavelon::ComboBox1Click() {}
void TfrmEditTavelon::ComboBox4DropDown() {}
void TfrmEditTavelon::ComboBox4Click() {}
void TfrmEditTavelon::Label16Click() {}
void TfrmEditTavelon::ComboBox2DropDown() {}
void TfrmEditTavelon::ComboBox3DropDown() {}

void TfrmEditTavelon::BitBtn2Click() {
    BitBtn2->setEnabled(true);
}

void TfrmEditTavelon::BitBtn1Click() {
    BitBtn2->click();
}

void TfrmEditTavelon::BitBtn3Click() {
    close();
}

void TfrmEditTavelon::Close1Click() {
    close();
}

void TfrmEditTavelon::BitBtn4Click() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    dialog.exec();
}

void TfrmEditTavelon::Delete1Click() {}

void TfrmEditTavelon::N1Click() {}
void TfrmEditTavelon::N2Click() {}
void TfrmEditTavelon::N3Click() {}
void TfrmEditTavelon::N4Click() {}

} // namespace tv
