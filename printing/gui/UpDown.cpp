#include "printing/gui/UpDown.h"

#include <QToolButton>

namespace tv {

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
    up_ = new QToolButton(this);
    up_->setObjectName(QStringLiteral("Up"));
    up_->setArrowType(Qt::UpArrow);
    up_->setAutoRepeat(true);
    down_ = new QToolButton(this);
    down_->setObjectName(QStringLiteral("Down"));
    down_->setArrowType(Qt::DownArrow);
    down_->setAutoRepeat(true);
    connect(up_, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
}

void TUpDown::SetPosition(int v) {
    position_ = std::clamp(v, min_, max_);
}

void TUpDown::Step(int direction) {
    const int wanted = position_ + direction * increment_;
    bool allow = true;
    emit ChangingEx(wanted, allow);
    if (!allow)
        return;
    if (wanted > max_)
        position_ = wrap_ ? min_ : max_;
    else if (wanted < min_)
        position_ = wrap_ ? max_ : min_;
    else
        position_ = wanted;
}

void TUpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

} // namespace tv
