// The pick-list dialog driven while its modal loop runs.
#include "registers/gui/uListBox.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace tv::test {
namespace {

// Runs `action` once the dialog's modal loop has started, then returns the dialog's result.
int RunModal(TfrmListBox& dialog, const std::function<void()>& action) {
    QTimer::singleShot(0, &dialog, [&dialog, action] {
        action();
        // A dialog the action did not close is closed here, so the test cannot hang.
        if (dialog.isVisible()) {
            ADD_FAILURE() << "dialog still open";
            dialog.reject();
        }
    });
    return dialog.exec();
}

class ListBoxTest : public EnvTest {
protected:
    void SetUp() override {
        dialog.setWindowTitle(QStringLiteral("工種の選択"));
        dialog.SetLines({QStringLiteral("表層工"), QStringLiteral("基層工")});
    }
    TfrmListBox dialog;
};

TEST_F(ListBoxTest, IsLaidOutAsAFixedDialog) {
    EXPECT_EQ(dialog.size(), QSize(232, 308));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.findChild<QListWidget*>(QStringLiteral("ListBox1"))->geometry(),
              QRect(0, 0, 232, 265));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Button1"));
    EXPECT_EQ(ok->geometry(), QRect(160, 272, 59, 17));
    EXPECT_EQ(ok->text(), QStringLiteral("&OK"));
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMinMaxButtonsHint);
}

TEST_F(ListBoxTest, OkGivesTheSelectedLineOrAnEmptyText) {
    EXPECT_EQ(RunModal(dialog, [&] { QTest::mouseClick(dialog.Button1, Qt::LeftButton); }),
              QDialog::Accepted);
    EXPECT_EQ(dialog.SelectedText(), QString());

    EXPECT_EQ(RunModal(dialog,
                       [&] {
                           dialog.ListBox1->setCurrentRow(1);
                           QTest::mouseClick(dialog.Button1, Qt::LeftButton);
                       }),
              QDialog::Accepted);
    EXPECT_EQ(dialog.SelectedText(), QStringLiteral("基層工"));

    // Refilling clears the selection.
    dialog.SetLines({QStringLiteral("路盤工")});
    EXPECT_EQ(dialog.SelectedText(), QString());
    dialog.SetLines({});
    EXPECT_EQ(RunModal(dialog, [&] { dialog.Button1->click(); }), QDialog::Accepted);
    EXPECT_EQ(dialog.SelectedText(), QString());
}

TEST_F(ListBoxTest, DoubleClickOnALineOrBelowTheLastConfirms) {
    EXPECT_EQ(RunModal(dialog,
                       [&] {
                           QWidget* view = dialog.ListBox1->viewport();
                           const QRect line =
                               dialog.ListBox1->visualItemRect(dialog.ListBox1->item(1));
                           EXPECT_EQ(line.height(), 12);
                           QTest::mouseClick(view, Qt::LeftButton, {}, line.center());
                           QTest::mouseDClick(view, Qt::LeftButton, {}, line.center());
                       }),
              QDialog::Accepted);
    EXPECT_EQ(dialog.SelectedText(), QStringLiteral("基層工"));

    dialog.SetLines({QStringLiteral("表層工")});
    EXPECT_EQ(RunModal(dialog,
                       [&] {
                           QTest::mouseDClick(dialog.ListBox1->viewport(), Qt::LeftButton, {},
                                              QPoint(100, 200));
                       }),
              QDialog::Accepted);
    EXPECT_EQ(dialog.SelectedText(), QString());
}

TEST_F(ListBoxTest, EnterAndEscDoNothingAndTheCloseBoxCancels) {
    EXPECT_EQ(RunModal(dialog,
                       [&] {
                           dialog.ListBox1->setFocus();
                           dialog.ListBox1->setCurrentRow(0);
                           QTest::keyClick(dialog.ListBox1, Qt::Key_Return);
                           QTest::keyClick(dialog.ListBox1, Qt::Key_Escape);
                           QTest::keyClick(&dialog, Qt::Key_Escape);
                           EXPECT_TRUE(dialog.isVisible());
                           dialog.close();
                       }),
              QDialog::Rejected);
}

TEST_F(ListBoxTest, APerPickInstanceIsDisposedAndTheLongLivedOneStillWorks) {
    QPointer<TfrmListBox> used;
    QString chosen = QStringLiteral("unchanged");
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* pick = qobject_cast<TfrmListBox*>(w);
            if (pick && pick != &dialog && pick->isVisible()) {
                used = pick;
                EXPECT_EQ(pick->windowTitle(), QStringLiteral("氏名の選択"));
                pick->ListBox1->setCurrentRow(0);
                pick->close();
            }
        }
    });
    EXPECT_FALSE(
        TfrmListBox::Pick(nullptr, QStringLiteral("氏名の選択"), {QStringLiteral("山田")}, chosen));
    EXPECT_EQ(chosen, QStringLiteral("unchanged"));
    ASSERT_FALSE(used.isNull());

    // The earlier instance goes at the next turn of the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(used.isNull());

    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* pick = qobject_cast<TfrmListBox*>(w);
            if (pick && pick != &dialog && pick->isVisible()) {
                pick->ListBox1->setCurrentRow(0);
                pick->Button1->click();
            }
        }
    });
    EXPECT_TRUE(
        TfrmListBox::Pick(nullptr, QStringLiteral("氏名の選択"), {QStringLiteral("山田")}, chosen));
    EXPECT_EQ(chosen, QStringLiteral("山田"));

    EXPECT_EQ(RunModal(dialog,
                       [&] {
                           dialog.ListBox1->setCurrentRow(0);
                           dialog.Button1->click();
                       }),
              QDialog::Accepted);
    EXPECT_EQ(dialog.SelectedText(), QStringLiteral("表層工"));
}

} // namespace
} // namespace tv::test
