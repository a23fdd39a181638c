#include "platform/gui/Controls.h"

#include "platform/Cp932.h"

#include <QAbstractItemView>
#include <QStyle>
#include <QValidator>
#include <algorithm>

namespace tv {

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent) {}

void TComboBox::showPopup() {
    emit DropDown();
    // The list is at least as wide as its longest line, so every line shows whole.
    QAbstractItemView* list = view();
    int widest = 0;
    const QFontMetrics metrics(list->font());
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(itemText(i)));
    const int extra =
        2 * list->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 16;
    list->setMinimumWidth(std::max(width(), widest + extra));
    QComboBox::showPopup();
}

namespace {
// Accepts a text while it fits the byte limit in code page 932.
class TByteLimitValidator : public QValidator {
public:
    TByteLimitValidator(int bytes, QObject* parent) : QValidator(parent), bytes_(bytes) {}
    State validate(QString& input, int&) const override {
        const std::optional<int> length = Cp932Length(input);
        return length && *length <= bytes_ ? Acceptable : Invalid;
    }

private:
    int bytes_;
};

class TCodeNameLimitValidator : public QValidator {
public:
    TCodeNameLimitValidator(int codeBytes, int nameBytes, QObject* parent)
        : QValidator(parent), codeBytes_(codeBytes), nameBytes_(nameBytes) {}
    State validate(QString& input, int&) const override {
        const qsizetype colon = input.indexOf(QLatin1Char(':'));
        const QString code = colon < 0 ? input : input.left(colon);
        const QString name = colon < 0 ? QString() : input.mid(colon + 1);
        const std::optional<int> codeLength = Cp932Length(code);
        const std::optional<int> nameLength = Cp932Length(name);
        return codeLength && nameLength && *codeLength <= codeBytes_ && *nameLength <= nameBytes_
                   ? Acceptable
                   : Invalid;
    }

private:
    int codeBytes_;
    int nameBytes_;
};
} // namespace

void LimitBytes(QLineEdit* box, int bytes) {
    // Only the validator: it refuses keys and pastes past the limit, while a text the program
    // puts into the box (a computed result) is shown whole. A maximum length would cut such a
    // text silently, and the cut text would then be saved as if it were the result.
    box->setValidator(new TByteLimitValidator(bytes, box));
}

void LimitCodeNameBytes(QLineEdit* box, int codeBytes, int nameBytes) {
    box->setValidator(new TCodeNameLimitValidator(codeBytes, nameBytes, box));
}

void SetImeOff(QWidget* box) {
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    box->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhNoPredictiveText);
}

void SetImeOn(QWidget* box) {
    box->setAttribute(Qt::WA_InputMethodEnabled, true);
    box->setInputMethodHints(Qt::ImhNone);
}

} // namespace tv
