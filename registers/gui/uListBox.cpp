#include "registers/gui/uListBox.h"

#include "platform/gui/FormFrame.h"

#include "platform/gui/AppGuard.h"
#include "platform/gui/Help.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>

namespace tv {
namespace {

// Lines of the pick-list are 12 pixels high.
class TLineHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(12);
        return size;
    }
};

} // namespace

TfrmListBox::TfrmListBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmListBox"));
    Help1 = AddHelpKey(this, QStringLiteral("HID00000012"));
    setWindowFlags(Qt::Dialog | kFixedTitleBar);
    setModal(true);
    SetWindowFont(this);
    setFixedSize(232, 308);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(0, 0, 232, 265);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setItemDelegate(new TLineHeightDelegate(ListBox1));
    // A double-click anywhere in the list, also below the last line, confirms.
    ListBox1->viewport()->installEventFilter(this);
    ListBox1->installEventFilter(this);

    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(160, 272, 59, 17);
    // No default button: Enter in the list must not confirm.
    Button1->setAutoDefault(false);
    Button1->setDefault(false);
    connect(Button1, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
}

void TfrmListBox::SetLines(const QStringList& lines) {
    ListBox1->clear();
    ListBox1->addItems(lines);
    ListBox1->setCurrentRow(-1);
    ListBox1->clearSelection();
}

QString TfrmListBox::SelectedText() const {
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    if (selected.isEmpty())
        return QString();
    return selected.first()->text();
}

void TfrmListBox::ListBox1DblClick() {
    Button1->click();
}

bool TfrmListBox::Pick(QWidget* parent, const QString& caption, const QStringList& lines,
                       QString& chosen) {
    auto* dialog = new TfrmListBox(parent);
    dialog->setWindowTitle(caption);
    dialog->SetLines(lines);
    const bool ok = dialog->exec() == QDialog::Accepted;
    if (ok)
        chosen = dialog->SelectedText();
    dialog->deleteLater();
    return ok;
}

bool TfrmListBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && watched == ListBox1->viewport()) {
        Guarded([this] { ListBox1DblClick(); });
        return true;
    }
    if (event->type() == QEvent::KeyPress && watched == ListBox1) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmListBox::keyPressEvent(QKeyEvent* event) {
    // Neither Enter nor Esc closes the dialog; only OK, a double-click or the close box do.
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmListBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
}

} // namespace tv
