#pragma once
// A framed group of radio buttons of which one item, or none, is chosen by index.
#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>

class QButtonGroup;

namespace tv {

// The items are named after the group: "<group>Item0", "<group>Item1", ...; the window places
// them (Item(i)->setGeometry) where its layout has them. No item is chosen at first.
//
// An index that names no item (-1 for "none", or a stored value outside the items, as old data
// may hold) shows no item chosen and is kept as it is: ItemIndex() returns it until an item is
// chosen. So a value loaded into the group is saved back unchanged, never turned into one of the
// items the user did not choose.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& caption, const QStringList& items, const QString& name,
                QWidget* parent);

    int Count() const;
    QRadioButton* Item(int index) const;
    int ItemIndex() const { return index_; }
    void SetItemIndex(int index);

signals:
    // The user clicked an item (also the one already chosen).
    void Click(int index);
    // ItemIndex() changed, by the user or by SetItemIndex.
    void Changed(int index);

private:
    QButtonGroup* items_;
    int index_ = -1;
};

} // namespace tv
