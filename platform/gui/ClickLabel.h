#pragma once
// A label that acts on a click, as a link does: the pointing-hand cursor over it, and Click when
// the left button is released inside it.
#include <QLabel>

namespace tv {

class TClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit TClickLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void Click();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace tv
