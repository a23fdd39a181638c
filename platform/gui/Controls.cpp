#include "platform/gui/Controls.h"

#include "platform/Cp932.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolTip>
#include <QValidator>
#include <algorithm>
#include <memory>
#include <utility>

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
QString Unencodable(const QString& text) {
    return QStringLiteral("'%1' は使えない文字です").arg(Cp932FirstUnencodable(text));
}

// Accepts a text while it fits the byte limit in code page 932; remembers why it refused last.
class TByteLimitValidator : public QValidator {
public:
    TByteLimitValidator(int bytes, QString field, QObject* parent)
        : QValidator(parent), bytes_(bytes), field_(std::move(field)) {}
    State validate(QString& input, int&) const override {
        const std::optional<int> length = Cp932Length(input);
        if (length && *length <= bytes_)
            return Acceptable;
        refusal_ = length ? ByteLimitMessage(field_, bytes_) : Unencodable(input);
        return Invalid;
    }
    QString Refusal() const { return refusal_; }

private:
    int bytes_;
    QString field_;
    mutable QString refusal_;
};

class TCodeNameLimitValidator : public QValidator {
public:
    TCodeNameLimitValidator(int codeBytes, int nameBytes, QString codeField, QString nameField,
                            QObject* parent)
        : QValidator(parent), codeBytes_(codeBytes), nameBytes_(nameBytes),
          codeField_(std::move(codeField)), nameField_(std::move(nameField)) {}
    State validate(QString& input, int&) const override {
        const qsizetype colon = input.indexOf(QLatin1Char(':'));
        const QString code = colon < 0 ? input : input.left(colon);
        const QString name = colon < 0 ? QString() : input.mid(colon + 1);
        const std::optional<int> codeLength = Cp932Length(code);
        const std::optional<int> nameLength = Cp932Length(name);
        if (!codeLength || !nameLength) {
            refusal_ = Unencodable(input);
            return Invalid;
        }
        if (*codeLength > codeBytes_) {
            refusal_ = ByteLimitMessage(codeField_, codeBytes_);
            return Invalid;
        }
        if (*nameLength > nameBytes_) {
            refusal_ = ByteLimitMessage(nameField_, nameBytes_);
            return Invalid;
        }
        return Acceptable;
    }
    QString Refusal() const { return refusal_; }

private:
    int codeBytes_;
    int nameBytes_;
    QString codeField_;
    QString nameField_;
    mutable QString refusal_;
};

// A refused key or paste: a beep and a tip under the box; nothing of the text is lost.
template <class Validator> void ReportRefusals(QLineEdit* box, Validator* validator) {
    QObject::connect(box, &QLineEdit::inputRejected, box, [box, validator] {
        const QString message = validator->Refusal();
        box->setProperty("refusal", message);
        QApplication::beep();
        QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), message, box);
    });
}
} // namespace

QString ByteLimitMessage(const QString& field, int bytes) {
    const QString name =
        field.isEmpty() ? QStringLiteral("この欄") : QStringLiteral("「%1」").arg(field);
    return QStringLiteral("%1は%2です").arg(name, Cp932LimitText(bytes));
}

void LimitBytes(QLineEdit* box, int bytes, const QString& field) {
    // Only the validator: it refuses keys and pastes past the limit, while a text the program
    // puts into the box (a computed result) is shown whole. A maximum length would cut such a
    // text silently, and the cut text would then be saved as if it were the result.
    auto* validator = new TByteLimitValidator(bytes, field, box);
    box->setValidator(validator);
    ReportRefusals(box, validator);
}

void LimitCodeNameBytes(QLineEdit* box, int codeBytes, int nameBytes, const QString& codeField,
                        const QString& nameField) {
    auto* validator = new TCodeNameLimitValidator(codeBytes, nameBytes, codeField, nameField, box);
    box->setValidator(validator);
    ReportRefusals(box, validator);
}

void RefuseLongChoices(TComboBox* box, int bytes, const QString& source, const QString& field) {
    auto before = std::make_shared<QString>();
    QObject::connect(box, &TComboBox::DropDown, box,
                     [box, before] { *before = box->currentText(); });
    QObject::connect(box, &QComboBox::activated, box, [=](int index) {
        const QString chosen = box->itemText(index);
        const std::optional<int> length = Cp932Length(chosen);
        if (length && *length <= bytes)
            return;
        const QString message = QStringLiteral("%1の '%2' は%3に入りません（%4）")
                                    .arg(source, chosen, field, Cp932LimitText(bytes));
        box->setEditText(*before);
        box->setProperty("refusal", message);
        QApplication::beep();
        QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), message, box);
    });
}

namespace {
// The width the box's text may take without scrolling, in pixels.
int TextRoom(const QLineEdit* box) {
    QStyleOptionFrame option;
    option.initFrom(box);
    option.lineWidth =
        box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
    const QRect contents = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
    const QMargins margins = box->textMargins();
    // The line edit keeps two pixels each side, and one more for the cursor.
    return contents.width() - margins.left() - margins.right() - 2 * 2 - 1;
}

void FitText(QLineEdit* box) {
    const QVariant base = box->property("fitBaseFont");
    QFont font = base.isValid() ? base.value<QFont>() : box->font();
    if (!base.isValid())
        box->setProperty("fitBaseFont", font);
    const QString text = box->text();
    const int room = TextRoom(box);
    int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    constexpr int kSmallest = 7;
    while (pixels > kSmallest && QFontMetrics(font).horizontalAdvance(text) > room)
        font.setPixelSize(--pixels);
    const int wide = QFontMetrics(font).horizontalAdvance(text);
    if (wide > room && wide > 0)
        font.setStretch(std::max(50, 100 * room / wide));
    if (box->font() != font)
        box->setFont(font);
}
} // namespace

void FitTextToWidth(QLineEdit* box) {
    QObject::connect(box, &QLineEdit::textChanged, box, [box] { FitText(box); });
    FitText(box);
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
