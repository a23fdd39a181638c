#include "platform/gui/ClickLabel.h"

#include <QMouseEvent>

namespace tv {

TClickLabel::TClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
}

void TClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    // Pressed on the label and dragged off it before release: no click.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        event->accept();
        emit Click();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

} // namespace tv
