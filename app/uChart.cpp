#include "app/uChart.h"

#include "platform/gui/AppGuard.h"
#include "platform/gui/Help.h"
#include "printing/Printer.h"
#include "printing/gui/ShowPreview.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tv {

TChartView::TChartView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ChartView"));
    setMinimumSize(300, 220);
}

void TChartView::SetChart(const TFlatnessChart* chart) {
    chart_ = chart;
    update();
}

QRectF TChartView::PageRect() const {
    if (!CurrentPrinter())
        return QRectF();
    return FlatnessChartPageRect(QRectF(rect()).adjusted(6, 6, -6, -6));
}

void TChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    // Without a printer there is no page to lay the chart out on; the window stays empty.
    if (!chart_ || !CurrentPrinter())
        return;
    const QRectF target = PageRect();
    painter.fillRect(target, Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PaintFlatnessChart(painter, target, *chart_);
}

TfrmChart::TfrmChart(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmChart"));
    setWindowTitle(QStringLiteral("グラフ"));
    QFont windowFont(QStringLiteral("ＭＳ Ｐゴシック"));
    windowFont.setPixelSize(12);
    setFont(windowFont);
    ChartView = new TChartView(this);
    Button1 = new QPushButton(QStringLiteral("印刷"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("閉じる"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(ChartView, 1);
    layout->addLayout(buttons);
    resize(760, 580);
    ChartView->SetChart(&chart_);
    connect(Button1, &QPushButton::clicked, this, Handler(this, &TfrmChart::Button1Click));
    connect(Button2, &QPushButton::clicked, this, Handler(this, &TfrmChart::Button2Click));
    Help1 = AddHelpKey(this, QStringLiteral("HID00000009"));
}

void TfrmChart::SetChart(const TFlatnessChart& chart) {
    chart_ = chart;
    ChartView->update();
}

void TfrmChart::PlaceBeside(const QWidget& beside) {
    const QRect frame = beside.frameGeometry();
    const QScreen* screen = beside.screen() ? beside.screen() : QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
    const int width = frameGeometry().width();
    int left = frame.right() + 1;
    if (left + width > work.right() + 1)
        left = std::max(work.left(), frame.left() - width);
    move(left, std::max(work.top(), frame.top()));
}

void TfrmChart::Button1Click() {
    ShowPreview(this, QStringLiteral("平坦性グラフ"), TOrientation::Landscape,
                [this](TPageTarget& pages) { PrintFlatnessChart(pages, chart_); });
}

void TfrmChart::Button2Click() {
    close();
}

} // namespace tv
