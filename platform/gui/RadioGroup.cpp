#include "platform/gui/RadioGroup.h"

#include <QButtonGroup>

namespace tv {

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, const QString& name,
                         QWidget* parent)
    : QGroupBox(caption, parent), items_(new QButtonGroup(this)) {
    setObjectName(name);
    for (int i = 0; i < items.size(); ++i) {
        auto* item = new QRadioButton(items[i], this);
        item->setObjectName(name + QStringLiteral("Item%1").arg(i));
        items_->addButton(item, i);
    }
    connect(items_, &QButtonGroup::idClicked, this, &TRadioGroup::Click);
    connect(items_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && id != index_) {
            index_ = id;
            emit Changed(id);
        }
    });
}

int TRadioGroup::Count() const {
    return static_cast<int>(items_->buttons().size());
}

QRadioButton* TRadioGroup::Item(int index) const {
    return qobject_cast<QRadioButton*>(items_->button(index));
}

void TRadioGroup::SetItemIndex(int index) {
    if (QAbstractButton* item = items_->button(index)) {
        item->setChecked(true);
        return;
    }
    // No item: an exclusive group cannot uncheck its checked button by itself.
    items_->setExclusive(false);
    for (QAbstractButton* item : items_->buttons())
        item->setChecked(false);
    items_->setExclusive(true);
    if (index != index_) {
        index_ = index;
        emit Changed(index);
    }
}

} // namespace tv
