#pragma once
// An up-down control of its own (two arrow buttons), not attached to an edit box: a click asks
// ChangingEx with the new position, which may lie outside Min..Max; the position itself stays
// within Min..Max unless Wrap is set.
#include <QWidget>

class QToolButton;

namespace tv {

class TUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TUpDown(QWidget* parent = nullptr);

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Increment() const { return increment_; }
    int Position() const { return position_; }
    bool Wrap() const { return wrap_; }
    void SetMin(int v) { min_ = v; }
    void SetMax(int v) { max_ = v; }
    void SetIncrement(int v) { increment_ = v; }
    void SetWrap(bool wrap) { wrap_ = wrap; }
    void SetPosition(int v);

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

    // One step up (+1) or down (-1), as a click on an arrow.
    void Step(int direction);

signals:
    // Before the position changes; `allow` may be cleared to refuse the change.
    void ChangingEx(int newPosition, bool& allow);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
    int min_ = 0, max_ = 100, increment_ = 1, position_ = 0;
    bool wrap_ = false;
};

} // namespace tv
