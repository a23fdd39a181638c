#include "platform/gui/FormFrame.h"

#include <QApplication>
#include <QEvent>

#include <QComboBox>
#include <QFont>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWidget>

namespace tv {

QWidget* BuildClientArea(QWidget* window, QMenuBar* menuBar, int width, int height, bool fixed) {
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSize(9);
    window->setFont(font);

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

} // namespace tv
