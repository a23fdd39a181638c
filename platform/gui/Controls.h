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

// Limits typing in a line edit to the given number of code-page-932 bytes. A key or paste past
// the limit is refused with a beep and a tip at the box naming the field and its limit
// (「「工事名」は全角64文字（半角128文字）までです」); the text is never cut. The tip's text is
// also kept as the box's property "refusal". `field` names the box as its label does.
void LimitBytes(QLineEdit* box, int bytes, const QString& field = QString());
// The same for a box showing a register entry as code, ":" and name: the code (before the first
// ":") and the name (after it) each stop at their own limit.
void LimitCodeNameBytes(QLineEdit* box, int codeBytes, int nameBytes,
                        const QString& codeField = QString(), const QString& nameField = QString());
// A combo box listing the entries of another register whose names may be longer than its own
// column holds: a chosen entry longer than `bytes` is refused (the box keeps the text it had when
// the list opened) with a beep and a tip naming both, 「発注者の登録の「発注者名」'…' は工事の
// 「発注者名」に入りません（全角10文字（半角20文字）まで）」, also kept as the property "refusal".
// Call it before connecting the box's own activated handler.
void RefuseLongChoices(TComboBox* box, int bytes, const QString& source, const QString& field);
// The message of a refused text: "「測定位置」は全角5文字（半角10文字）までです".
QString ByteLimitMessage(const QString& field, int bytes);

// Keeps the box's text whole at its size: a text wider than the box is shown in a smaller font,
// and condensed when even the smallest is too wide.
void FitTextToWidth(QLineEdit* box);

} // namespace tv
