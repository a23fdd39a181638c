#pragma once
// Small additions to Qt's controls that the windows rely on.
#include <QComboBox>
#include <QLineEdit>

namespace tv {

// A combo box that reports the opening of its list (DropDown) before the list is shown, so its
// owner can refill it.
class TComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TComboBox(QWidget* parent = nullptr);
    void showPopup() override;

signals:
    void DropDown();
};

// Input method of an edit box: off for numbers and codes, on (hiragana) for names.
void SetImeOff(QWidget* box);
void SetImeOn(QWidget* box);

// Limits typing in a line edit to the given number of code-page-932 bytes.
void LimitBytes(QLineEdit* box, int bytes);
// The same for a box showing a register entry as code, ":" and name: the code (before the first
// ":") and the name (after it) each stop at their own limit.
void LimitCodeNameBytes(QLineEdit* box, int codeBytes, int nameBytes);

} // namespace tv
