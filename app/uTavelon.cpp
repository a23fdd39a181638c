#include "app/uTavelon.h"

#include "Version.h"
#include "app/Windows.h"
#include "app/forms/PrintResultsTable.h"
#include "app/forms/PrintTestReportSheet.h"
#include "app/uChart.h"
#include "app/uImportParadox.h"
#include "app/uMoveToServer.h"
#include "measurement/ExcelSheet.h"
#include "measurement/FlatnessVerdict.h"
#include "measurement/PositionStep.h"
#include "measurement/ReadingsFile.h"
#include "measurement/uRokuma.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/GridLayout.h"
#include "platform/Messages.h"
#include "platform/SafeOutput.h"
#include "platform/TableEngine.h"
#include "platform/gui/AppGuard.h"
#include "platform/gui/ClickLabel.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/FormFrame.h"
#include "platform/gui/Help.h"
#include "platform/gui/RadioGroup.h"
#include "platform/gui/vaSpread.h"
#include "printing/PainterCanvas.h"
#include "printing/Printer.h"
#include "printing/gui/PrintView.h"
#include "printing/gui/ShowPreview.h"
#include "registers/Codes.h"
#include "registers/gui/uEditKikakuti4.h"
#include "registers/gui/uEditKoji.h"
#include "registers/gui/uEditKosyu.h"
#include "registers/gui/uListBox.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"
#include "settings/RegistryUtility.h"
#include "settings/gui/uSetDataPath.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
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
    InstallFontSubstitutes();
    setWindowTitle(QStringLiteral("舗装路面の平坦性測定"));
    QFont windowFont(QStringLiteral("ＭＳ Ｐゴシック"));
    windowFont.setPixelSize(12);
    setFont(windowFont);
    header_ = std::make_unique<TRokumaKanri>();
    line_ = std::make_unique<TRokumaLine>();
    point_ = std::make_unique<TRokumaData>();
    BuildControls();
    BuildMenus();
    BuildReadingsMenu();
    // The outer size is 645 x 549 with the frame; Qt sizes the inside of the frame. The window
    // can grow, not shrink below its layout.
    resize(637, 515);
    setMinimumSize(637, 515);
    vaSpread1->FitFontToWidth();
    CentreInWorkArea();
    RestorePlacement();
    StatusPanel0->setText(QStringLiteral(TAVELON_FILE_VERSION));
    CheckDatabases();
}

TfrmEditTavelon::~TfrmEditTavelon() {
    SavePlacement();
    // The controls go after this part of the window; what they signal while they go (a grid
    // closing the cell editor commits it) must not reach the handlers of a window that is gone.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
}

namespace {
const QString kPlacementSetting = QStringLiteral("MainWindowPlacement");
constexpr int kLayoutInnerWidth = 637, kLayoutInnerHeight = 515;
} // namespace

// The placement is kept as "left,top,width,height" of the window's inside.
void TfrmEditTavelon::RestorePlacement() {
    QString text;
    try {
        text = ReadSetting(kPlacementSetting);
    } catch (const TError&) {
        return;
    }
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return;
    }
    const QRect placement(v[0], v[1], v[2], v[3]);
    if (placement.width() < kLayoutInnerWidth || placement.height() < kLayoutInnerHeight)
        return;
    // Only where it fits a screen now: a screen unplugged or made smaller since leaves the
    // window centred at its layout size.
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().contains(placement)) {
            setGeometry(placement);
            return;
        }
    }
}

void TfrmEditTavelon::SavePlacement() {
    const QRect placement = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
    if (!placement.isValid())
        return;
    try {
        WriteSetting(kPlacementSetting, QStringLiteral("%1,%2,%3,%4")
                                            .arg(placement.left())
                                            .arg(placement.top())
                                            .arg(placement.width())
                                            .arg(placement.height()));
    } catch (const TError&) {
        // A settings file that cannot be written costs only the placement.
    }
}

bool TfrmEditTavelon::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        RefreshFlatnessLimit();
    return QMainWindow::event(event);
}

void TfrmEditTavelon::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FollowWindowSize();
}

void TfrmEditTavelon::FollowWindowSize() {
    const int dx = std::max(0, width() - kLayoutInnerWidth);
    const int dy = std::max(0, height() - kLayoutInnerHeight);
    vaSpread1->setGeometry(8, 120, 619 + dx, 273 + dy);
    for (const auto& [control, at] : bottomControls_)
        control->move(at.x(), at.y() + dy);
}

// One control after the other at its place in the layout: long, but without branches.
// NOLINTNEXTLINE(readability-function-size)
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
    // Typing stops at what the header's columns hold (code-page-932 bytes).
    LimitCodeNameBytes(ComboBox1->lineEdit(), 8, 128, QStringLiteral("工事コード"),
                       QStringLiteral("工事名"));
    LimitBytes(ComboBox4->lineEdit(), 32, QStringLiteral("工種名"));
    LimitBytes(Edit1, 10, QStringLiteral("測定開始点"));
    LimitBytes(Edit2, 10, QStringLiteral("測定終了点"));
    LimitBytes(Edit3, 10, QStringLiteral("測定距離"));
    LimitBytes(Edit4, 10, QStringLiteral("測定日"));
    LimitBytes(ComboBox2->lineEdit(), 32, QStringLiteral("測定器"));
    LimitBytes(ComboBox3->lineEdit(), 16, QStringLiteral("測定者"));
    const std::pair<QLineEdit*, const char16_t*> results[] = {
        {Edit5, u"Σd"},  {Edit6, u"Σ(d2)"},   {Edit7, u"データ数"}, {Edit8, u"標準偏差"},
        {Edit9, u"ΣＲ"}, {Edit10, u"測定数"}, {Edit11, u"標準偏差"}};
    for (const auto& [box, field] : results) {
        LimitBytes(box, 8, QString::fromUtf16(field));
        // A computed result shows whole however long it is.
        FitTextToWidth(box);
    }
    LimitBytes(Edit12, 4, QStringLiteral("仕様書の範囲"));
    LimitBytes(Edit13, 2, QStringLiteral("Ｇ"));
    // The result boxes of the readings are grey.
    for (QLineEdit* box : {Edit5, Edit6, Edit7, Edit8}) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
        box->setPalette(palette);
    }

    MakeLabel(client, "Label1", QStringLiteral("工事名"), 8, 4);
    Label16 = new TClickLabel(QStringLiteral("工種名"), client);
    Label16->setObjectName(QStringLiteral("Label16"));
    Label16->move(8, 28);
    Label16->adjustSize();
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

    RadioGroup1 =
        new TRadioGroup(QStringLiteral("印刷フォーム"),
                        {QStringLiteral("舗装試験法便覧"), QStringLiteral("北海道開発局")},
                        QStringLiteral("RadioGroup1"), client);
    RadioGroup1->setGeometry(248, 400, 121, 65);
    RadioGroup1->Item(0)->setGeometry(8, 18, 110, 18);
    RadioGroup1->Item(1)->setGeometry(8, 40, 110, 18);
    RadioGroup1->SetItemIndex(0);

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
    StatusPanel2 = new QLabel(this);
    StatusPanel2->setObjectName(QStringLiteral("StatusPanel2"));
    // Clear of the window's right edge.
    StatusPanel2->setContentsMargins(0, 0, 8, 0);
    statusBar()->addPermanentWidget(StatusPanel2);
    statusBar()->setSizeGripEnabled(false);

    // Everything below the grid moves down with the window's bottom edge.
    for (QWidget* control : client->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (control->y() >= 393)
            bottomControls_.emplace_back(control, control->pos());

    // Tab order.
    QWidget* order[] = {ComboBox1, ComboBox4, Edit1,     Edit2,     Edit3,
                        Edit4,     ComboBox2, ComboBox3, vaSpread1, Edit9,
                        Edit10,    Edit11,    Edit13,    Edit12,    RadioGroup1->Item(0),
                        Edit5,     Edit6,     Edit7,     Edit8,     BitBtn1,
                        BitBtn2,   BitBtn3,   BitBtn4};
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
    // The verdict judges the σ of the chosen form.
    connect(RadioGroup1, &TRadioGroup::Changed, this,
            Handler(this, &TfrmEditTavelon::ResultsChanged));
    connect(Label16, &TClickLabel::Click, this, Handler(this, &TfrmEditTavelon::Label16Click));

    // What the user changes marks the measurement as changed; what the program writes does not.
    for (QLineEdit* box : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9, Edit10,
                           Edit11, Edit12, Edit13})
        connect(box, &QLineEdit::textEdited, this, [this] { MarkModified(); });
    for (TComboBox* combo : {ComboBox2, ComboBox3}) {
        connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this] { MarkModified(); });
        connect(combo, &QComboBox::activated, this, [this] { MarkModified(); });
    }
    connect(ComboBox1->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { shownWork_ = text; });
    connect(ComboBox4->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { shownKosyu_ = text; });
    connect(vaSpread1, &TvaSpread::CellEdited, this,
            Handler(this, &TfrmEditTavelon::vaSpread1CellEdited));
    connect(vaSpread1, &TvaSpread::InputRefused, this, [this](const QString& message) {
        QApplication::beep();
        StatusPanel1->setText(message);
    });
    // A changed Ｇ is taken as soon as the box is left (Enter or another control).
    connect(Edit13, &QLineEdit::textEdited, this, [this] { gpEdited_ = true; });
    connect(Edit13, &QLineEdit::editingFinished, this, Handler(this, &TfrmEditTavelon::Edit13Exit));
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
    data->addSeparator();
    N5 = data->addAction(QStringLiteral("旧データの取り込み…"));
    N5->setObjectName(QStringLiteral("N5"));
    N6 = data->addAction(QStringLiteral("サーバーへ移す…"));
    N6->setObjectName(QStringLiteral("N6"));
    connect(Delete1, &QAction::triggered, this, Handler(this, &TfrmEditTavelon::Delete1Click));
    connect(Close1, &QAction::triggered, this, Handler(this, &TfrmEditTavelon::Close1Click));
    connect(N1, &QAction::triggered, this, Handler(this, &TfrmEditTavelon::N1Click));
    connect(N2, &QAction::triggered, this, Handler(this, &TfrmEditTavelon::N2Click));
    connect(N3, &QAction::triggered, this, Handler(this, &TfrmEditTavelon::N3Click));
    connect(N4, &QAction::triggered, this, Handler(this, &TfrmEditTavelon::N4Click));
    connect(N5, &QAction::triggered, this, Handler(this, &TfrmEditTavelon::N5Click));
    connect(N6, &QAction::triggered, this, Handler(this, &TfrmEditTavelon::N6Click));
    QMenu* view = menuBar()->addMenu(QStringLiteral("表示"));
    view->setObjectName(QStringLiteral("View1"));
    Graph1 = view->addAction(QStringLiteral("グラフ"));
    Graph1->setObjectName(QStringLiteral("Graph1"));
    connect(Graph1, &QAction::triggered, this, Handler(this, &TfrmEditTavelon::Graph1Click));
    Help1 = AddHelpItem(menuBar());
    connect(Help1, &QAction::triggered, this, [] { ShowHelpTopic(QStringLiteral("HID00000001")); });
}

void TfrmEditTavelon::CentreInWorkArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect work = screen->availableGeometry();
    const int width = 645, height = 549;
    move(work.left() + (work.width() - width) / 2, work.top() + (work.height() - height) / 2);
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
    header_->GP = gp;
}

void TfrmEditTavelon::ShowStatus(const QString& text) {
    StatusPanel1->setText(text);
}

void TfrmEditTavelon::RunCalcReadingsAndRanges() {
    CalcReadings(*vaSpread1, *this);
    CalcRanges(*vaSpread1, *this);
    ResultsChanged();
}

void TfrmEditTavelon::ResultsChanged() {
    ShowVerdict();
    if (chart_)
        chart_->SetChart(ChartData());
}

void TfrmEditTavelon::RefreshFlatnessLimit() {
    QString limit;
    try {
        limit = FlatnessLimitText(header_->Koji->Code, header_->Kosyu->Kosyumei);
    } catch (const std::exception&) {
        // A folder that cannot be read now keeps the verdict shown; the next load or save
        // reports the cause. A message here would itself deactivate and reactivate the window.
        return;
    }
    if (limit == flatnessLimit_)
        return;
    flatnessLimit_ = limit;
    ResultsChanged();
}

void TfrmEditTavelon::ShowVerdict() {
    const int form = RadioGroup1->ItemIndex();
    const TFlatnessJudgement judgement =
        JudgeFlatness(flatnessLimit_, JudgedSigmaText(form, Edit8->text(), Edit11->text()),
                      JudgedSigmaName(form));
    StatusPanel2->setText(judgement.text);
    QPalette palette = StatusPanel2->palette();
    QColor color = QApplication::palette().color(QPalette::WindowText);
    if (judgement.verdict == TVerdict::Fail)
        color = QColor(0xC0, 0, 0);
    else if (judgement.verdict == TVerdict::Pass)
        color = QColor(0, 0x80, 0);
    palette.setColor(QPalette::WindowText, color);
    StatusPanel2->setPalette(palette);
}

TFlatnessChart TfrmEditTavelon::ChartData() {
    TFlatnessChart chart;
    chart.work = ComboBox1->currentText();
    chart.kosyu = ComboBox4->currentText();
    chart.stretch = ChartStretchText(Edit1->text(), Edit2->text(), Edit3->text());
    chart.date = Edit4->text();
    chart.groupSize = ChartGroupSize(Edit13->text());
    chart.limit = FlatnessLimitValue(flatnessLimit_);
    chart.judgedSigma = JudgedSigmaValue(RadioGroup1->ItemIndex(), Edit8->text(), Edit11->text());
    ReadChartGrid(*vaSpread1, chart);
    return chart;
}

// --- Entering readings --------------------------------------------------------------------------

void TfrmEditTavelon::vaSpread1KeyPress(int key) {
    const int col = vaSpread1->ActiveCol();
    if (key == 13) {
        // The cell Enter committed was recalculated as it changed; an Enter that changed nothing
        // recalculates here. A typed 最大, 最小 or Ｒ of a row with readings gives way to the
        // readings' own, so both calculations always run.
        const bool done = calculatedEdit_;
        calculatedEdit_ = false;
        if (!done && (grid::IsReading(col) || (col >= grid::kColLargest && col <= grid::kColRange)))
            RunCalcReadingsAndRanges();
    }
    // A group's 最大 goes on to its 最小 as a reading goes on to the next.
    if ((col >= grid::kPositionCol && col < grid::kLastReading) || col == grid::kColLargest)
        vaSpread1->SetEditEnterAction(kEnterRight);
    else if (col == grid::kLastReading)
        vaSpread1->SetEditEnterAction(kEnterNextRow);
    else if (col == grid::kColRange)
        vaSpread1->SetEditEnterAction(kEnterDown);
    if (key == 13 && col == grid::kLastReading)
        EnterNextLine(vaSpread1->ActiveRow() + 1);
    // A group typed as its 最大 and 最小 goes on at the next line's 最大: its Ｒ is calculated.
    if (key == 13 && col == grid::kColSmallest && vaSpread1->ActiveRow() < vaSpread1->MaxRows())
        vaSpread1->SetEnterTarget(grid::kColLargest, vaSpread1->ActiveRow() + 1);
}

void TfrmEditTavelon::EnterNextLine(int row) {
    if (row > vaSpread1->MaxRows())
        return;
    const TGridData& cells = vaSpread1->Cells();
    // A line without a position gets the one that continues the two lines above, as if typed.
    if (cells.CellText(grid::kPositionCol, row).isEmpty() && row > 2) {
        const std::optional<QString> next =
            NextPosition(cells.CellText(grid::kPositionCol, row - 2),
                         cells.CellText(grid::kPositionCol, row - 1));
        if (next) {
            vaSpread1->WriteCells({TBlockCell{grid::kPositionCol, row, TCellInput{*next}}});
            MarkModified();
        }
    }
    // A line with its position goes on at its first reading.
    if (!cells.CellText(grid::kPositionCol, row).isEmpty())
        vaSpread1->SetEnterTarget(grid::kFirstReading, row);
}

void TfrmEditTavelon::vaSpread1Click(int col, int row) {
    if (!grid::IsReading(col))
        return;
    vaSpread1->SetCol(col);
    vaSpread1->SetRow(row);
    const int before = vaSpread1->ForeColor();
    if (vaSpread1->Text().isEmpty() || vaSpread1->ForeColor() != kColorBlack)
        vaSpread1->SetForeColor(kColorBlack);
    else
        vaSpread1->SetForeColor(kColorRed);
    if (vaSpread1->ForeColor() != before)
        MarkModified();
    RunCalcReadingsAndRanges();
}

void TfrmEditTavelon::Edit13Exit() {
    if (!gpEdited_)
        return;
    gpEdited_ = false;
    vaSpread1->CommitEdit();
    CalcRanges(*vaSpread1, *this);
}

void TfrmEditTavelon::vaSpread1CellEdited() {
    MarkModified();
    // Also when the calculation fails (a Ｇ that is no number): its message is shown once.
    calculatedEdit_ = true;
    RunCalcReadingsAndRanges();
}

// --- Data ---------------------------------------------------------------------------------------

void TfrmEditTavelon::CheckDatabases() {
    CheckMeasurementTables();
}

void TfrmEditTavelon::RecordToWindow() {
    TRokumaKanri& h = *header_;
    // What the status bar said of the measurement shown before ("保存しました") is not of this one.
    StatusPanel1->clear();
    ComboBox1->setEditText(h.Koji->Code + QLatin1Char(':') + h.Koji->Kojimei);
    ComboBox4->setEditText(h.Kosyu->Kosyumei);
    Edit1->setText(h.STARTP);
    Edit2->setText(h.ENDP);
    Edit3->setText(h.KYORI);
    Edit4->setText(h.SOKUTEIBI.isValid() ? FormatShortDate(h.SOKUTEIBI.date()) : QString());
    ComboBox2->setEditText(h.SOKUTEIKI);
    ComboBox3->setEditText(h.SOKUTEISYA);
    Edit5->setText(h.SD);
    Edit6->setText(h.SD2);
    Edit7->setText(h.DATACOUNT);
    Edit8->setText(h.HENSA);
    Edit9->setText(h.HOSR);
    Edit10->setText(h.HODATACOUNT);
    Edit11->setText(h.HOHENSA);
    Edit12->setText(h.SIYOUSYO);
    Edit13->setText(h.GP);
    // The report form registered for the work; the user may choose the other one.
    RadioGroup1->SetItemIndex(ReportFormOfWork(h.Koji->Code));
    LoadMeasurementGrid(h.ID, *vaSpread1);
    // The flatness standard of the pair, under the category of the work's print form.
    flatnessLimit_ = FlatnessLimitText(h.Koji->Code, h.Kosyu->Kosyumei);
    // The results shown are those of the loaded readings, also for a measurement stored with
    // results that no longer agree with them.
    try {
        RunCalcReadingsAndRanges();
    } catch (const TError& e) {
        // A stored Ｇ that is not a whole number: the measurement is shown all the same.
        ResultsChanged();
        StatusPanel1->setText(e.Message());
    }
    MarkShown();
}

void TfrmEditTavelon::MarkShown() {
    modified_ = false;
    gpEdited_ = false;
    shownWork_ = ComboBox1->currentText();
    shownKosyu_ = ComboBox4->currentText();
    loadedWorkCode_ = CodePart(shownWork_).trimmed();
    loadedKosyu_ = shownKosyu_;
}

bool TfrmEditTavelon::SaveShownMeasurement() {
    vaSpread1->CommitEdit();
    // The stored results are always those of the stored readings and the stored Ｇ.
    RunCalcReadingsAndRanges();
    gpEdited_ = false;
    WindowToRecord();
    try {
        SaveMeasurement(*header_, *vaSpread1);
    } catch (const ESaveConflict& conflict) {
        if (!AskYesNo(conflict.Message()))
            return false;
        SaveMeasurement(*header_, *vaSpread1, true);
    }
    MarkShown();
    return true;
}

bool TfrmEditTavelon::ChoosesShownPair() const {
    return CodePart(ComboBox1->currentText()).trimmed() == loadedWorkCode_ &&
           ComboBox4->currentText() == loadedKosyu_;
}

bool TfrmEditTavelon::LeaveShownMeasurement() {
    vaSpread1->CommitEdit();
    if (!modified_)
        return true;
    const QString chosenWork = ComboBox1->currentText();
    const QString chosenKosyu = ComboBox4->currentText();
    const TAnswer answer = AskYesNoCancel(QStringLiteral("変更を保存しますか？"));
    if (answer == TAnswer::No)
        return true;
    // The shown measurement is saved under its own pair, and stays shown unless that succeeds.
    ComboBox1->setEditText(shownWork_);
    ComboBox4->setEditText(shownKosyu_);
    if (answer == TAnswer::Cancel || !SaveShownMeasurement())
        return false;
    ComboBox1->setEditText(chosenWork);
    ComboBox4->setEditText(chosenKosyu);
    return true;
}

void TfrmEditTavelon::closeEvent(QCloseEvent* event) {
    bool leave = false;
    Guarded([&] { leave = LeaveShownMeasurement(); });
    if (leave)
        event->accept();
    else
        event->ignore();
}

void TfrmEditTavelon::WindowToRecord() {
    TRokumaKanri& h = *header_;
    h.Koji->LoadByCode(CodePart(ComboBox1->currentText()));
    h.Kosyu->FindByName(ComboBox4->currentText());
    h.STARTP = Edit1->text();
    h.ENDP = Edit2->text();
    h.KYORI = Edit3->text();
    h.SOKUTEIBI = QDateTime(ParseShortDate(Edit4->text()), QTime(0, 0));
    h.SOKUTEIKI = ComboBox2->currentText();
    h.SOKUTEISYA = ComboBox3->currentText();
    h.SD = Edit5->text();
    h.SD2 = Edit6->text();
    h.DATACOUNT = Edit7->text();
    h.HENSA = Edit8->text();
    h.HOSR = Edit9->text();
    h.HODATACOUNT = Edit10->text();
    h.HOHENSA = Edit11->text();
    h.GP = Edit13->text();
    h.SIYOUSYO = Edit12->text();
}

void TfrmEditTavelon::ComboBox1DropDown() {
    TKoji works;
    QStringList lines;
    works.ListWorks(lines);
    RefillKeepingText(ComboBox1, lines);
}

void TfrmEditTavelon::ComboBox1Click() {
    // Choosing the pair shown again loads nothing and asks nothing: the typing stays.
    if (modified_ && ChoosesShownPair())
        return;
    if (!LeaveShownMeasurement())
        return;
    header_->Koji->LoadByCode(CodePart(ComboBox1->currentText()));
    if (!ComboBox4->currentText().trimmed().isEmpty())
        header_->LoadByWork();
    RecordToWindow();
}

void TfrmEditTavelon::ComboBox4DropDown() {
    QStringList names;
    header_->Kosyu->ListNames(names);
    RefillKeepingText(ComboBox4, names);
}

void TfrmEditTavelon::ComboBox4Click() {
    if (modified_ && ChoosesShownPair())
        return;
    if (!LeaveShownMeasurement())
        return;
    header_->Kosyu->FindByName(ComboBox4->currentText());
    if (!ComboBox1->currentText().trimmed().isEmpty())
        header_->LoadByWork();
    // Showing the record also looks up the work type's flatness standard.
    RecordToWindow();
    if (header_->GP.isEmpty())
        header_->GP = QStringLiteral("10");
    Edit13->setText(header_->GP);
}

void TfrmEditTavelon::Label16Click() {
    TfrmListBox* pick = AppWindows().frmListBox;
    if (!pick)
        return;
    QStringList names;
    header_->ListKosyu(names);
    pick->SetLines(names);
    pick->setWindowTitle(QStringLiteral("工種の選択"));
    if (pick->exec() != QDialog::Accepted)
        return;
    ComboBox4->setEditText(pick->SelectedText());
    ComboBox4Click();
}

void TfrmEditTavelon::ComboBox2DropDown() {
    QStringList instruments;
    header_->ListSokuteiki(instruments);
    RefillKeepingText(ComboBox2, instruments);
}

void TfrmEditTavelon::ComboBox3DropDown() {
    TSimei persons;
    QStringList names;
    persons.ListNames(names);
    RefillKeepingText(ComboBox3, names);
}

void TfrmEditTavelon::BitBtn2Click() {
    ShowStatus(QString());
    if (!SaveShownMeasurement())
        return;
    BitBtn2->setEnabled(true);
    ShowStatus(QStringLiteral("保存しました ") +
               Now().toString(QStringLiteral("yyyy/MM/dd HH:mm")));
}

void TfrmEditTavelon::BitBtn1Click() {
    // The measurement is saved first; a failed save stops the print.
    const bool saved = SaveShownMeasurement();
    BitBtn2->setEnabled(true);
    if (!saved)
        return;
    SetCurrentOrientation(TOrientation::Portrait);
    const bool handbook = RadioGroup1->ItemIndex() == 0;
    // The document's name proposes the PDF file name: work code, work type and form.
    const QString title =
        header_->Koji->Code.trimmed() + QLatin1Char('_') + header_->Kosyu->Kosyumei.trimmed() +
        QLatin1Char('_') +
        (handbook ? QStringLiteral("平坦性試験") : QStringLiteral("平たん度出来形"));
    ShowPreview(this, title, TOrientation::Portrait, [&](TPageTarget& pages) {
        if (handbook)
            PrintTestReportSheet(pages, *header_);
        else
            PrintResultsTable(pages, *header_);
    });
}

void TfrmEditTavelon::BitBtn3Click() {
    close();
}

void TfrmEditTavelon::Close1Click() {
    close();
}

void TfrmEditTavelon::BitBtn4Click() {
    RunPrinterSetup(this);
}

void TfrmEditTavelon::Delete1Click() {
    // The pair shown in the window; nothing happens when nothing is stored for it.
    TRokumaKanri stored;
    stored.Koji->LoadByCode(CodePart(ComboBox1->currentText()));
    stored.Kosyu->FindByName(ComboBox4->currentText());
    stored.LoadByWork();
    if (stored.ID == 0) {
        ShowStatus(QStringLiteral(
            "この工事と工種の測定データは保存されていないため、削除するものがありません"));
        return;
    }
    if (!AskOkCancel(QStringLiteral("本当に削除しますか？"))) {
        ShowStatus(QStringLiteral("削除を取り消しました"));
        return;
    }
    header_->Koji->LoadByCode(stored.Koji->Code);
    header_->Kosyu->FindByName(stored.Kosyu->Kosyumei);
    header_->Delete();
    RecordToWindow();
    // The blank measurement of the pair, as choosing the pair shows it: Ｇ is 10.
    if (header_->GP.isEmpty())
        header_->GP = QStringLiteral("10");
    Edit13->setText(header_->GP);
    ShowStatus(QStringLiteral("削除しました"));
}

namespace {
void ShowModeless(QWidget* window) {
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}
} // namespace

void TfrmEditTavelon::N1Click() {
    TfrmSetDataPath* settings = AppWindows().frmSetDataPath;
    if (settings) {
        // Unsaved readings are saved, when the user wants, where they came from; then the
        // window shows the measurement of the pair at the new place.
        settings->SetBeforeSwitch([this] { return LeaveShownMeasurementGuarded(); });
        settings->SetAfterSwitch([this] { DataLocationChanged(); });
    }
    ShowModeless(settings);
}
void TfrmEditTavelon::N2Click() {
    ShowModeless(AppWindows().frmEditKoji);
}
void TfrmEditTavelon::N3Click() {
    ShowModeless(AppWindows().frmEditKosyu);
}
void TfrmEditTavelon::N4Click() {
    ShowModeless(AppWindows().frmEditKikakuti4);
}
void TfrmEditTavelon::N5Click() {
    TfrmImportParadox dialog(this);
    // Unsaved readings are saved, when the user wants, into the folder they came from.
    dialog.SetBeforeSwitch([this] { return LeaveShownMeasurementGuarded(); });
    dialog.exec();
    if (dialog.DataFolderChanged())
        DataLocationChanged();
}

void TfrmEditTavelon::N6Click() {
    if (IsServerDatabase(QStringLiteral("kestran"))) {
        ShowMessage(QStringLiteral("データはすでにサーバーにあります。"
                                   "場所は「データ格納場所」で確かめられます。"));
        return;
    }
    TfrmMoveToServer dialog(this);
    dialog.SetBeforeCopy([this] { return LeaveShownMeasurementGuarded(); });
    dialog.exec();
    if (dialog.SwitchedToServer())
        DataLocationChanged();
}

bool TfrmEditTavelon::LeaveShownMeasurementGuarded() {
    bool leave = false;
    Guarded([&] { leave = LeaveShownMeasurement(); });
    return leave;
}

void TfrmEditTavelon::DataLocationChanged() {
    // The new place gets the tables the old one did not have, and the window shows its
    // measurement of the pair.
    CheckDatabases();
    if (ComboBox1->currentText().trimmed().isEmpty() &&
        ComboBox4->currentText().trimmed().isEmpty())
        return;
    header_->Koji->LoadByCode(CodePart(ComboBox1->currentText()));
    header_->Kosyu->FindByName(ComboBox4->currentText());
    header_->LoadByWork();
    RecordToWindow();
}

void TfrmEditTavelon::Graph1Click() {
    const bool first = chart_ == nullptr;
    if (first)
        chart_ = new TfrmChart(this);
    chart_->SetChart(ChartData());
    if (first)
        chart_->PlaceBeside(*this);
    ShowModeless(chart_);
}

} // namespace tv

namespace tv {

// --- Readings in and out ------------------------------------------------------------------------

namespace {
// The file types of the import dialog, in the order of TReadingsLayout.
const char16_t* const kImportFilters[] = {
    u"CSV・テキスト（形式を自動判定） (*.csv *.txt)",
    u"表形式 CSV（一行が表の一行） (*.csv *.txt)",
    u"ロガー形式（一行に測定値一つ） (*.csv *.txt *.dat *.log)",
};
const char16_t* const kExportCsv = u"CSV 表形式 (*.csv)";
const char16_t* const kExportExcel = u"Excel ブック (*.xlsx)";
} // namespace

void TfrmEditTavelon::BuildReadingsMenu() {
    QMenu* file = menuBar()->findChild<QMenu*>(QStringLiteral("File1"));
    if (!file)
        return;
    Import1 = new QAction(QStringLiteral("読み込み…"), this);
    Import1->setObjectName(QStringLiteral("Import1"));
    Export1 = new QAction(QStringLiteral("書き出し…"), this);
    Export1->setObjectName(QStringLiteral("Export1"));
    file->insertAction(Delete1, Import1);
    file->insertAction(Delete1, Export1);
    file->insertSeparator(Delete1);
    connect(Import1, &QAction::triggered, this, Handler(this, &TfrmEditTavelon::Import1Click));
    connect(Export1, &QAction::triggered, this, Handler(this, &TfrmEditTavelon::Export1Click));
    connect(vaSpread1, &TvaSpread::BlockEdited, this,
            Handler(this, &TfrmEditTavelon::vaSpread1BlockEdited));
    connect(vaSpread1, &TvaSpread::PasteRefused, StatusPanel1, &QLabel::setText);
}

void TfrmEditTavelon::vaSpread1BlockEdited() {
    StatusPanel1->clear();
    modified_ = true;
    // One recalculation for the whole block; the grid repaints once.
    const TGridBlockWrite block(vaSpread1->Cells());
    RunCalcReadingsAndRanges();
}

void TfrmEditTavelon::Import1Click() {
    TFileRequest request;
    request.title = QStringLiteral("測定値の読み込み");
    request.objectName = QStringLiteral("ImportDialog");
    for (const char16_t* filter : kImportFilters)
        request.filters << QString::fromUtf16(filter);
    if (const std::optional<TChosenFile> chosen = Dialogs().OpenFileName(this, request))
        ImportReadings(chosen->path, chosen->filter);
}

void TfrmEditTavelon::ImportReadings(const QString& path, int layout) {
    TReadingsLayout chosen = TReadingsLayout::Detect;
    if (layout == 1)
        chosen = TReadingsLayout::Grid;
    else if (layout == 2)
        chosen = TReadingsLayout::Logger;
    // Read whole into a scratch grid first: a bad record leaves the window as it was.
    TGridData scratch;
    try {
        ReadReadings(ReadTextFile(path), chosen, scratch);
    } catch (const EConvertError& e) {
        throw EConvertError(QStringLiteral("%1: %2").arg(path, e.Message()));
    }
    if (HasReadings(vaSpread1->Cells()) &&
        !AskOkCancel(QStringLiteral("表の測定値を読み込んだ内容で置き換えますか？")))
        return;
    vaSpread1->ReplaceCells(scratch);
    vaSpread1BlockEdited();
    StatusPanel1->setText(ReadCountsText(CountRead(vaSpread1->Cells())));
}

void TfrmEditTavelon::Export1Click() {
    TFileRequest request;
    request.title = QStringLiteral("測定値の書き出し");
    request.objectName = QStringLiteral("ExportDialog");
    request.filters = QStringList{QString::fromUtf16(kExportCsv), QString::fromUtf16(kExportExcel)};
    request.suffixes = QStringList{QStringLiteral("csv"), QStringLiteral("xlsx")};
    if (const std::optional<TChosenFile> chosen = Dialogs().SaveFileName(this, request))
        ExportReadings(chosen->path);
}

void TfrmEditTavelon::ExportReadings(const QString& path) {
    const TGridData& cells = vaSpread1->Cells();
    if (path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive)) {
        // The boxes as they stand, without the checks of a save: an empty or unfinished 測定日
        // leaves the date box of the sheet empty.
        TRokumaKanri shown;
        shown.Koji->Code = CodePart(ComboBox1->currentText());
        shown.Koji->Kojimei = NamePart(ComboBox1->currentText());
        shown.Kosyu->Kosyumei = ComboBox4->currentText();
        shown.STARTP = Edit1->text();
        shown.ENDP = Edit2->text();
        shown.KYORI = Edit3->text();
        try {
            shown.SOKUTEIBI = QDateTime(ParseShortDate(Edit4->text()), QTime(0, 0));
        } catch (const EConvertError&) {
            shown.SOKUTEIBI = QDateTime();
        }
        shown.SOKUTEIKI = ComboBox2->currentText();
        shown.SOKUTEISYA = ComboBox3->currentText();
        shown.SD = Edit5->text();
        shown.SD2 = Edit6->text();
        shown.DATACOUNT = Edit7->text();
        shown.HENSA = Edit8->text();
        shown.HOSR = Edit9->text();
        shown.HODATACOUNT = Edit10->text();
        shown.HOHENSA = Edit11->text();
        shown.GP = Edit13->text();
        shown.SIYOUSYO = Edit12->text();
        WriteExcelSheet(path, shown, cells);
    } else {
        TOutputFile file(path);
        // UTF-8 with a byte-order mark, so that spreadsheets read the Japanese text.
        file.Device().write("\xEF\xBB\xBF");
        file.Device().write(GridLayoutCsv(cells, LastFilledRow(cells)).toUtf8());
        file.Commit();
    }
    StatusPanel1->setText(QStringLiteral("%1 に書き出しました").arg(path));
}

} // namespace tv
