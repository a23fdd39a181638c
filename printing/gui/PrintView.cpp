#include "printing/gui/PrintView.h"

#include "platform/gui/AppGuard.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Help.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <QWindow>
#include <cmath>

namespace tv {

namespace {

// A small printer drawn for the set-up button.
QIcon PrinterIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5); // paper going in
    p.setBrush(QColor(0xC0, 0xC0, 0xC0));
    p.drawRect(1, 6, 13, 6); // body
    p.setBrush(Qt::white);
    p.drawRect(4, 10, 7, 4); // paper coming out
    p.setPen(QColor(0x00, 0x80, 0x00));
    p.drawPoint(12, 8);
    return QIcon(pixmap);
}

QFont BoldFont(const QFont& base) {
    QFont font = base;
    font.setPixelSize(16);
    font.setBold(true);
    return font;
}

} // namespace

TfrmPreView::TfrmPreView(QWidget* owner) : QDialog(owner) {
    InstallFontSubstitutes();
    setObjectName(QStringLiteral("frmPreView"));
    setWindowTitle(QStringLiteral("印刷プレビュー"));
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    setFont(font);
    resize(454, 499);

    Label1 = new QLabel(QStringLiteral("倍率"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(BoldFont(font));
    Label1->move(8, 8);
    Label1->adjustSize();

    MaskEdit1 = new QLineEdit(this);
    MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
    MaskEdit1->setFont(BoldFont(font));
    MaskEdit1->setGeometry(48, 4, 41, 24);

    UpDown1 = new TUpDown(this);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->SetMin(25);
    UpDown1->SetMax(200);
    UpDown1->SetIncrement(5);
    UpDown1->SetPosition(25);
    UpDown1->SetWrap(false);
    UpDown1->setGeometry(88, 4, 16, 24);

    Button3 = new QPushButton(QStringLiteral("前ページ"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(112, 4, 57, 25);
    Button4 = new QPushButton(QStringLiteral("次ページ"), this);
    Button4->setObjectName(QStringLiteral("Button4"));
    Button4->setGeometry(176, 4, 57, 25);
    PageLabel = new QLabel(this);
    PageLabel->setObjectName(QStringLiteral("PageLabel"));
    PageLabel->setGeometry(376, 8, 110, 20);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(248, 8, 41, 20);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(296, 8, 41, 20);

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setIcon(PrinterIcon());
    SpeedButton1->setToolTip(QStringLiteral("プリンタの設定"));
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setGeometry(344, 8, 23, 22);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setGeometry(0, 32, 412, 385);
    ScrollBox1->setWidgetResizable(false);
    scrollContents_ = new QWidget;
    scrollContents_->setObjectName(QStringLiteral("ScrollBox1Contents"));
    PrevX1 = new TPrevX(scrollContents_);
    PrevX1->setObjectName(QStringLiteral("PrevX1"));
    PrevX1->SetZoomScale(100);
    PrevX1->resize(814, 1143);
    ScrollBox1->setWidget(scrollContents_);
    PlacePrevX(8, 8);
    PrevX1->installEventFilter(this);
    ScrollBox1->viewport()->installEventFilter(this);

    Button5 = new QPushButton(QStringLiteral("このページを印刷"), this);
    Button5->setObjectName(QStringLiteral("Button5"));
    Button5->setGeometry(152, 432, 105, 25);
    Button1 = new QPushButton(QStringLiteral("印刷(&P)"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(264, 432, 75, 25);
    Button2 = new QPushButton(QStringLiteral("閉じる"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(344, 432, 75, 25);
    Button6 = new QPushButton(QStringLiteral("PDF保存"), this);
    Button6->setObjectName(QStringLiteral("Button6"));
    Help1 = AddHelpKey(this, QStringLiteral("HID00000011"));
    Button6->setGeometry(72, 432, 75, 25);
    for (QPushButton* b : {Button1, Button2, Button3, Button4, Button5, Button6})
        b->setAutoDefault(false);

    connect(Button1, &QPushButton::clicked, this, Handler(this, &TfrmPreView::Button1Click));
    connect(Button2, &QPushButton::clicked, this, Handler(this, &TfrmPreView::Button2Click));
    connect(Button3, &QPushButton::clicked, this, Handler(this, &TfrmPreView::Button3Click));
    connect(Button4, &QPushButton::clicked, this, Handler(this, &TfrmPreView::Button4Click));
    connect(Button5, &QPushButton::clicked, this, Handler(this, &TfrmPreView::Button5Click));
    connect(Button6, &QPushButton::clicked, this, Handler(this, &TfrmPreView::Button6Click));
    connect(SpeedButton1, &QToolButton::clicked, this,
            Handler(this, &TfrmPreView::SpeedButton1Click));
    connect(UpDown1, &TUpDown::ChangingEx, this,
            [this](int v, bool& allow) { Guarded([&] { UpDown1ChangingEx(v, allow); }); });

    FormCreate();
}

void TfrmPreView::FormCreate() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The work area less a usual frame; corrected once the window manager has framed it.
    const int border = 4;
    const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    setGeometry(screen->availableGeometry().adjusted(border, title + border, -border, -border));
    createdGeometry_ = geometry();
}

void TfrmPreView::FitFrameIntoWorkArea() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    // Only the first placement; a size the user or the program chose since stays.
    if (!screen || !windowHandle() || geometry() != createdGeometry_)
        return;
    const QMargins frame = windowHandle()->frameMargins();
    if (frame.isNull())
        return;
    const QRect inside = screen->availableGeometry() - frame;
    if (geometry() != inside && !inside.contains(geometry()))
        setGeometry(inside);
}

void TfrmPreView::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The frame is known only after the window manager has framed the window.
    QTimer::singleShot(100, this, [this] { FitFrameIntoWorkArea(); });
}

QSize TfrmPreView::WindowSize() const {
    // The outer size where a window manager frames the window, the client size otherwise.
    const QRect frame = frameGeometry();
    return frame.isValid() && frame.width() >= width() ? frame.size() : size();
}

void TfrmPreView::PlacePrevX(int left, int top) {
    PrevX1->move(left, top);
    scrollContents_->resize(left + PrevX1->width(), top + PrevX1->height());
}

void TfrmPreView::FormResize() {
    QSize window = WindowSize();
    const QSize extra = window - size();
    if (window.width() < 640 || window.height() < 480) {
        window = window.expandedTo(QSize(640, 480));
        resizing_ = true;
        resize(window - extra);
        resizing_ = false;
    }
    ScrollBox1->setGeometry(ScrollBox1->x(), ScrollBox1->y(), window.width() - 9,
                            window.height() - 107);
    Button2->move(window.width() - Button2->width() - 9, window.height() - 67);
    Button1->move(Button2->x() - Button1->width() - 9, window.height() - 67);
    Button5->move(Button1->x() - Button5->width() - 9, window.height() - 67);
    Button6->move(Button5->x() - Button6->width() - 9, window.height() - 67);
}

void TfrmPreView::FormActivate(QObject* sender) {
    Edit1->setText(QString::number(logicalDpiX()));
    Edit2->setText(QString::number(logicalDpiY()));
    if (sender != Button3 && sender != Button4) {
        // Fit the whole page into the scroll box's height, in steps of 5 %. The fit is taken
        // against the control's size at 100 %, so it gives the same zoom however often the
        // window is activated.
        const QSize full = PrevX1->FullSize();
        const double base =
            CurrentOrientation() == TOrientation::Portrait ? full.height() : full.width();
        const int zoom = 5 * int(std::trunc(ScrollBox1->height() / base * 100.0 / 5.0));
        PrevX1->SetZoomScale(zoom);
    }
    UpDown1->SetPosition(PrevX1->ZoomScale());
    MaskEdit1->setText(QString::number(UpDown1->Position()));
    Button3->setEnabled(PrevX1->PageNo() >= 2);
    Button4->setEnabled(PrevX1->PageNo() < PrevX1->PageCount());
    PageLabel->setText(
        QStringLiteral("ページ %1 / %2").arg(PrevX1->PageNo()).arg(PrevX1->PageCount()));
}

void TfrmPreView::UpDown1ChangingEx(int v, bool& allowChange) {
    if (v >= 25 && v <= 200) {
        MaskEdit1->setText(QString::number(v));
        PrevX1->SetZoomScale(v);
        QCoreApplication::processEvents();
        const int left = std::max(0, (ScrollBox1->width() - PrevX1->width()) / 2);
        const int top = std::max(0, (ScrollBox1->height() - PrevX1->height()) / 2);
        PlacePrevX(left, top);
    }
    allowChange = true;
}

void TfrmPreView::FormMouseWheelDown() {
    QScrollBar* bar = ScrollBox1->verticalScrollBar();
    bar->setValue(bar->value() + bar->singleStep());
}

void TfrmPreView::FormMouseWheelUp() {
    QScrollBar* bar = ScrollBox1->verticalScrollBar();
    bar->setValue(bar->value() - bar->singleStep());
}

void TfrmPreView::Button3Click() {
    PrevX1->SetPageNo(PrevX1->PageNo() - 1);
    FormActivate(Button3);
}

void TfrmPreView::Button4Click() {
    PrevX1->SetPageNo(PrevX1->PageNo() + 1);
    FormActivate(Button4);
}

void TfrmPreView::Button5Click() {
    PrevX1->SetPrintFrom(PrevX1->PageNo());
    PrevX1->SetPrintTo(PrevX1->PageNo());
    PrevX1->Print();
}

void TfrmPreView::Button1Click() {
    PrevX1->Print();
}

void TfrmPreView::Button2Click() {
    reject();
}

void TfrmPreView::Button6Click() {
    if (PrevX1->Pages().empty())
        return;
    const QString name =
        AskPdfFileName(this, QStringLiteral("PDF保存"), PrevX1->SuggestedPdfName());
    if (name.isEmpty())
        return;
    PrevX1->SaveAsPdf(name);
}

void RunPrinterSetup(QWidget* parent) {
    CheckPrinter();
    Dialogs().SetUpPrinter(parent, CurrentPrinter());
}

void TfrmPreView::SpeedButton1Click() {
    RunPrinterSetup(this);
    PrevX1->update();
}

bool TfrmPreView::event(QEvent* event) {
    // Decided before the event is handled: ActivationChange follows WindowActivate.
    if (activation_.Activates(event))
        fitOnActivation_ = true;
    return QDialog::event(event);
}

void TfrmPreView::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        const bool fit = fitOnActivation_;
        fitOnActivation_ = false;
        Guarded([this, fit] {
            try {
                FormActivate(fit ? static_cast<QObject*>(this) : Button3);
            } catch (const EPrevError&) {
                // Without a printer the page cannot be fitted. Reporting it here would open a
                // message box whose closing activates the window again; the print commands
                // report it instead.
            }
        });
    }
}

void TfrmPreView::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (!resizing_)
        FormResize();
}

void TfrmPreView::wheelEvent(QWheelEvent* event) {
    if (event->angleDelta().y() < 0)
        FormMouseWheelDown();
    else if (event->angleDelta().y() > 0)
        FormMouseWheelUp();
    event->accept();
}

bool TfrmPreView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ScrollBox1->viewport() && event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    if (watched == PrevX1 && event->type() == QEvent::Resize)
        scrollContents_->resize(PrevX1->x() + PrevX1->width(), PrevX1->y() + PrevX1->height());
    return QDialog::eventFilter(watched, event);
}

} // namespace tv
