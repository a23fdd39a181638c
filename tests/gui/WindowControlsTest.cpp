// The controls the windows share: the radio group, the clickable label and the activation gate.
#include "platform/gui/ClickLabel.h"
#include "platform/gui/FormFrame.h"
#include "platform/gui/RadioGroup.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace tv::test {
namespace {

QList<int> Indexes(const QSignalSpy& spy) {
    QList<int> indexes;
    for (const QList<QVariant>& call : spy)
        indexes << call.at(0).toInt();
    return indexes;
}

int CheckedItems(const TRadioGroup& group) {
    int checked = 0;
    for (int i = 0; i < group.Count(); ++i)
        checked += group.Item(i)->isChecked() ? 1 : 0;
    return checked;
}

TEST(RadioGroupTest, AnIndexNamingNoItemShowsNoneAndIsKeptUntilAnItemIsChosen) {
    QWidget window;
    TRadioGroup group(QStringLiteral("区分"), {QStringLiteral("開発局"), QStringLiteral("支庁")},
                      QStringLiteral("RadioGroup1"), &window);
    window.show();
    EXPECT_EQ(group.objectName(), QStringLiteral("RadioGroup1"));
    EXPECT_EQ(group.Item(1), window.findChild<QRadioButton*>(QStringLiteral("RadioGroup1Item1")));
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_EQ(CheckedItems(group), 0);
    QSignalSpy changed(&group, &TRadioGroup::Changed);
    QSignalSpy clicked(&group, &TRadioGroup::Click);

    group.SetItemIndex(1);
    EXPECT_TRUE(group.Item(1)->isChecked());
    // A stored value beyond the items (or below -1) shows no item and is saved back as it is.
    for (int stored : {2, 7, -3, -1}) {
        group.SetItemIndex(stored);
        EXPECT_EQ(group.ItemIndex(), stored);
        EXPECT_EQ(CheckedItems(group), 0) << stored;
    }
    group.SetItemIndex(-1);
    EXPECT_EQ(Indexes(changed), (QList<int>{1, 2, 7, -3, -1}));
    EXPECT_TRUE(clicked.isEmpty());

    // The user's choice replaces it; clicking the chosen item again is a click, not a change.
    group.SetItemIndex(9);
    changed.clear();
    QTest::mouseClick(group.Item(0), Qt::LeftButton);
    QTest::mouseClick(group.Item(0), Qt::LeftButton);
    EXPECT_EQ(group.ItemIndex(), 0);
    EXPECT_EQ(Indexes(changed), QList<int>{0});
    EXPECT_EQ(Indexes(clicked), (QList<int>{0, 0}));
}

TEST(ClickLabelTest, ALeftButtonReleasedInsideIsAClick) {
    TClickLabel label(QStringLiteral("工種名"));
    label.resize(60, 20);
    label.show();
    QSignalSpy clicks(&label, &TClickLabel::Click);
    EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(&label, Qt::LeftButton);
    QTest::mouseClick(&label, Qt::RightButton);
    // Pressed on the label, released off it.
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(80, 10));
    EXPECT_EQ(clicks.size(), 1);
}

// A window that counts its reloads on activation.
class TGatedWindow : public QWidget {
public:
    explicit TGatedWindow(TActivationGate::TKeepAfter keepAfter) : gate(this, keepAfter) {
        new QLineEdit(this);
    }
    TActivationGate gate;
    int reloads = 0;

protected:
    bool event(QEvent* event) override {
        if (gate.Activates(event))
            ++reloads;
        return QWidget::event(event);
    }
};

TEST(ActivationGateTest, TheWindowsOwnDialogsReloadOnlyWhenMessageBoxesAloneKeepTheEdits) {
    for (const auto keepAfter :
         {TActivationGate::TKeepAfter::Modal, TActivationGate::TKeepAfter::MessageBox}) {
        const bool modalKeeps = keepAfter == TActivationGate::TKeepAfter::Modal;
        TGatedWindow window(keepAfter);
        window.show();
        QApplication::setActiveWindow(&window);
        const int first = window.reloads;

        // A dialog of the window's own, modal, and back.
        QDialog dialog(&window);
        dialog.setModal(true);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        dialog.hide();
        QApplication::setActiveWindow(&window);
        EXPECT_EQ(window.reloads, first + (modalKeeps ? 0 : 1)) << modalKeeps;

        // A message box over the window, and back: kept in both.
        QMessageBox box(QMessageBox::Warning, QString(), QStringLiteral("?"), QMessageBox::Ok,
                        &window);
        box.show();
        QApplication::setActiveWindow(&box);
        box.hide();
        QApplication::setActiveWindow(&window);
        EXPECT_EQ(window.reloads, first + (modalKeeps ? 0 : 1)) << modalKeeps;
    }
}

TEST(ActivationGateTest, SkipNextPassesOverOneActivationAndAnotherWindowClearsIt) {
    TGatedWindow window(TActivationGate::TKeepAfter::MessageBox);
    QWidget other;
    auto* otherBox = new QLineEdit(&other);
    window.show();
    other.show();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&window, &activate);
    EXPECT_EQ(window.reloads, 1);

    window.gate.SkipNext();
    QApplication::sendEvent(&window, &activate);
    EXPECT_EQ(window.reloads, 1);
    QApplication::sendEvent(&window, &activate);
    EXPECT_EQ(window.reloads, 2);

    // Asked for, then another window of the program took the focus: the return reloads.
    window.gate.SkipNext();
    QApplication::setActiveWindow(&other);
    otherBox->setFocus();
    QApplication::setActiveWindow(&window);
    EXPECT_EQ(window.reloads, 3);
}

} // namespace
} // namespace tv::test
