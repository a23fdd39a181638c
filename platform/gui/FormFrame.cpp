#include "platform/gui/FormFrame.h"

#include "platform/gui/AppGuard.h"

#include <QApplication>
#include <QEvent>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace tv {

void SetWindowFont(QWidget* window) {
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSize(9);
    window->setFont(font);
}

QWidget* BuildClientArea(QWidget* window, QMenuBar* menuBar, int width, int height, bool fixed) {
    SetWindowFont(window);

    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    auto* client = new QWidget(window);
    client->setObjectName(QStringLiteral("ClientArea"));
    layout->addWidget(client);
    if (fixed) {
        client->setFixedSize(width, height);
        layout->setSizeConstraint(QLayout::SetFixedSize);
    } else {
        client->setMinimumSize(width / 2, height / 2);
        window->resize(width, height + menuBar->sizeHint().height());
    }
    return client;
}

void SetUpFixedDialog(QWidget* window, const QString& objectName, const QString& caption, int width,
                      int height) {
    window->setObjectName(objectName);
    window->setWindowTitle(caption);
    window->setWindowFlags(Qt::Dialog | kFixedTitleBar);
    SetWindowFont(window);
    window->setFixedSize(width, height);
}

void CenterOnScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void RefillKeepingText(QComboBox* box, const QStringList& lines) {
    const QSignalBlocker blocker(box);
    const QString text = box->currentText();
    box->clear();
    box->addItems(lines);
    box->setCurrentIndex(-1);
    box->setEditText(text);
}

QAction* AddMenuItem(QMenu* menu, const QString& caption, const char* objectName) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(objectName));
    return action;
}

void AddFileMenu(QMenuBar* menuBar, QAction*& N1, QAction*& Delete1, QAction*& Close1) {
    QMenu* file = menuBar->addMenu(QStringLiteral("ファイル"));
    N1 = AddMenuItem(file, QStringLiteral("新規"), "N1");
    Delete1 = AddMenuItem(file, QStringLiteral("削除"), "Delete1");
    Close1 = AddMenuItem(file, QStringLiteral("閉じる"), "Close1");
}

QAction* AddHelpItem(QMenuBar* menuBar) {
    QAction* help = menuBar->addAction(QStringLiteral("ヘルプ"));
    help->setObjectName(QStringLiteral("Help1"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    return help;
}

TActivationGate::TActivationGate(QWidget* window, TKeepAfter keepAfter) : keepAfter_(keepAfter) {
    if (keepAfter_ != TKeepAfter::MessageBox)
        return;
    // Going to another window of the program in between makes the next activation reload.
    focusWatch_ = QObject::connect(
        qApp, &QApplication::focusChanged, window, [this, window](QWidget*, QWidget* now) {
            if (now && now->window() != window && !qobject_cast<QMessageBox*>(now->window())) {
                skip_ = false;
                skipNext_ = false;
            }
        });
}

TActivationGate::~TActivationGate() {
    QObject::disconnect(focusWatch_);
}

bool TActivationGate::Activates(const QEvent* event) {
    switch (event->type()) {
    case QEvent::WindowDeactivate: {
        const QWidget* next = QApplication::activeWindow();
        const bool over =
            next == nullptr ||
            (keepAfter_ == TKeepAfter::Modal ? next->isModal()
                                             : qobject_cast<const QMessageBox*>(next) != nullptr);
        // A gate that watches the focus keeps the mark until another window takes the focus.
        skip_ = over || (keepAfter_ == TKeepAfter::MessageBox && skip_);
        return false;
    }
    case QEvent::WindowActivate:
        if (skipNext_) {
            skipNext_ = false;
            return false;
        }
        if (skip_) {
            skip_ = false;
            return false;
        }
        return true;
    case QEvent::Hide:
        skip_ = false;
        skipNext_ = false;
        return false;
    default:
        return false;
    }
}

namespace {

// A control Tab stops at, as it would be reached: an editable combo box's own line edit is the
// combo box, and controls of the menu bar and the status bar do not count.
bool TakesTab(const QWidget* w, const QWidget* window) {
    if ((w->focusPolicy() & Qt::TabFocus) == 0 || w->isHidden())
        return false;
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<const QComboBox*>(p) || qobject_cast<const QMenuBar*>(p) ||
            qobject_cast<const QStatusBar*>(p) || p->isHidden())
            return false;
    return true;
}

bool IsPushButton(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) && !qobject_cast<const QCheckBox*>(w) &&
           !qobject_cast<const QRadioButton*>(w);
}

// Top to bottom by the controls' centres; controls whose centres lie within a few pixels of the
// row's first one share its row and go left to right.
void SortByLayout(std::vector<QWidget*>& controls, const QWidget* window) {
    constexpr int kRowSlack = 8;
    auto centre = [window](const QWidget* w) { return w->mapTo(window, w->rect().center()); };
    std::stable_sort(controls.begin(), controls.end(), [&](const QWidget* a, const QWidget* b) {
        return centre(a).y() < centre(b).y();
    });
    for (size_t start = 0; start < controls.size();) {
        size_t end = start + 1;
        while (end < controls.size() &&
               centre(controls[end]).y() - centre(controls[start]).y() < kRowSlack)
            ++end;
        std::stable_sort(
            controls.begin() + std::ptrdiff_t(start), controls.begin() + std::ptrdiff_t(end),
            [&](const QWidget* a, const QWidget* b) { return centre(a).x() < centre(b).x(); });
        start = end;
    }
}

} // namespace

void TabInLayoutOrder(QWidget* window) {
    std::vector<QWidget*> boxes, buttons;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (TakesTab(w, window))
            (IsPushButton(w) ? buttons : boxes).push_back(w);
    SortByLayout(boxes, window);
    SortByLayout(buttons, window);
    boxes.insert(boxes.end(), buttons.begin(), buttons.end());
    for (size_t i = 1; i < boxes.size(); ++i)
        QWidget::setTabOrder(boxes[i - 1], boxes[i]);
}

TSaveKeys::TSaveKeys(QWidget* window, QAbstractButton* save, QLabel* sign,
                     std::function<bool()> ready)
    : TSaveKeys(
          window, [save] { save->click(); }, sign,
          [save, ready = std::move(ready)] { return save->isEnabled() && (!ready || ready()); }) {}

TSaveKeys::TSaveKeys(QWidget* window, std::function<void()> save, QLabel* sign,
                     std::function<bool()> ready)
    : QObject(window), save_(std::move(save)), sign_(sign), ready_(std::move(ready)) {
    for (QLineEdit* box : window->findChildren<QLineEdit*>())
        box->installEventFilter(this);
    for (QComboBox* box : window->findChildren<QComboBox*>())
        box->installEventFilter(this);
}

void TSaveKeys::ShowSaved() {
    if (sign_)
        sign_->setText(QStringLiteral("保存しました"));
}

void TSaveKeys::Clear() {
    if (sign_)
        sign_->clear();
}

bool TSaveKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) {
        if (!key->text().isEmpty() || key->key() == Qt::Key_Backspace ||
            key->key() == Qt::Key_Delete)
            Clear();
        return false;
    }
    // Enter in an open list picks the entry, as it always does.
    for (QObject* o = watched; o; o = o->parent())
        if (const auto* combo = qobject_cast<QComboBox*>(o)) {
            if (combo->view() && combo->view()->isVisible())
                return false;
            break;
        }
    if (ready_ && !ready_())
        return false;
    // The button's click is guarded by its own handler; the window's save is guarded here, so a
    // failed save is reported and leaves the sign empty.
    Guarded([this] { save_(); });
    return true;
}

QLabel* AddSaveSign(QStatusBar* bar) {
    QLabel* sign = AddSaveSign(bar, 0, 0, 0);
    bar->addWidget(sign, 1);
    return sign;
}

QLabel* AddSaveSign(QWidget* parent, int x, int y, int width) {
    auto* sign = new QLabel(parent);
    sign->setObjectName(QStringLiteral("SaveSign"));
    sign->setGeometry(x, y, width, 18);
    QPalette palette = sign->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0x80, 0));
    sign->setPalette(palette);
    return sign;
}

} // namespace tv
