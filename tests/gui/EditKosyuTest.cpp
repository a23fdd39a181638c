// The work-type window driven by its controls, against a real table in a private data folder.
#include "platform/TableEngine.h"
#include "registers/gui/uEditKosyu.h"
#include "registers/uKosyu.h"
#include "tests/support/TableRows.h"
#include "tests/support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QValidator>

namespace tv::test {
namespace {

using Rows = std::vector<std::pair<int, QString>>;

Rows StoredRows() {
    return StoredWorkTypes();
}

class EditKosyuTest : public EnvTest {
protected:
    void SetUp() override {
        window = std::make_unique<TfrmEditKosyu>();
        list = window->findChild<QListWidget*>(QStringLiteral("ListBox1"));
        edit = window->findChild<QLineEdit*>(QStringLiteral("Edit2"));
        add = window->findChild<QPushButton*>(QStringLiteral("Button1"));
        remove = window->findChild<QPushButton*>(QStringLiteral("Button3"));
        store = window->findChild<QPushButton*>(QStringLiteral("Button2"));
        up = window->findChild<QToolButton*>(QStringLiteral("SpeedButton1"));
        down = window->findChild<QToolButton*>(QStringLiteral("SpeedButton2"));
        ASSERT_TRUE(list && edit && add && remove && store && up && down);
    }

    void Store(const QStringList& names) {
        TKosyu kosyu;
        int id = 0;
        for (const QString& name : names) {
            kosyu.FindByName(name);
            kosyu.ID = ++id;
            kosyu.Save();
        }
    }

    void ShowAndActivate() {
        window->show();
        window->FormActivate();
    }

    QStringList Lines() const {
        QStringList lines;
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
        return lines;
    }

    // Typing, as an input method delivers it.
    void TypeAndAdd(const QString& text) {
        edit->insert(text);
        QTest::mouseClick(add, Qt::LeftButton);
    }

    QAction* MenuAction(const char* name) {
        return window->findChild<QAction*>(QLatin1String(name));
    }

    std::unique_ptr<TfrmEditKosyu> window;
    QListWidget* list = nullptr;
    QLineEdit* edit = nullptr;
    QPushButton *add = nullptr, *remove = nullptr, *store = nullptr;
    QToolButton *up = nullptr, *down = nullptr;
};

TEST_F(EditKosyuTest, KeepsItsLayoutAndCreatesItsTable) {
    EXPECT_TRUE(FileExistsNoCase(env.DataFolder() + QStringLiteral("KOSYU4.DB")));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("工種の登録"));
    window->show();
    EXPECT_EQ(window->centralWidget()->size(), QSize(262, 277));
    EXPECT_EQ(list->geometry(), QRect(8, 0, 217, 217));
    EXPECT_EQ(up->geometry(), QRect(232, 24, 23, 22));
    EXPECT_EQ(down->geometry(), QRect(232, 176, 23, 22));
    EXPECT_EQ(edit->geometry(), QRect(48, 224, 177, 20));
    // Typing stops at the 32 bytes of the column: sixteen Japanese characters, not 32.
    ASSERT_NE(edit->validator(), nullptr);
    QString name(16, QChar(u'工'));
    int pos = 0;
    EXPECT_EQ(edit->validator()->validate(name, pos), QValidator::Acceptable);
    name += QChar(u'工');
    EXPECT_EQ(edit->validator()->validate(name, pos), QValidator::Invalid);
    EXPECT_EQ(add->geometry(), QRect(16, 248, 75, 20));
    EXPECT_EQ(remove->geometry(), QRect(96, 248, 75, 20));
    EXPECT_EQ(store->geometry(), QRect(176, 248, 75, 20));
    EXPECT_EQ(store->text(), QStringLiteral("登録(&O)"));
    EXPECT_FALSE(add->isEnabled());
    // ファイル, and ヘルプ (F1) as every window has.
    ASSERT_EQ(window->menuBar()->actions().size(), 2);
    EXPECT_EQ(window->menuBar()->actions().first()->text(), QStringLiteral("ファイル"));
    EXPECT_EQ(window->menuBar()->actions().last()->text(), QStringLiteral("ヘルプ"));
    EXPECT_EQ(MenuAction("N1")->text(), QStringLiteral("新規"));
    EXPECT_EQ(MenuAction("Delete1")->text(), QStringLiteral("削除"));
    EXPECT_EQ(MenuAction("Close1")->text(), QStringLiteral("閉じる"));
}

TEST_F(EditKosyuTest, ActivationLoadsTheListAndDropsUnsavedEdits) {
    ShowAndActivate();
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(list->currentRow(), -1);

    Store({QStringLiteral("表層工"), QStringLiteral("基層工")});
    TypeAndAdd(QStringLiteral("路盤工"));
    edit->insert(QStringLiteral("途中"));
    window->FormActivate();
    EXPECT_EQ(Lines(), (QStringList{QStringLiteral("表層工"), QStringLiteral("基層工")}));
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_TRUE(list->item(0)->isSelected());
    EXPECT_EQ(edit->text(), QString());
}

TEST_F(EditKosyuTest, SwitchingToAnotherWindowAndBackReloadsButADialogOverItDoesNot) {
    Store({QStringLiteral("表層工")});
    QWidget other;
    window->show();
    other.show();
    QApplication::setActiveWindow(window.get());
    EXPECT_EQ(Lines(), QStringList{QStringLiteral("表層工")});
    TypeAndAdd(QStringLiteral("路盤工"));
    EXPECT_EQ(list->count(), 2);
    // Coming back from a message box or dialog over the window keeps the edits.
    QDialog box(window.get());
    box.setModal(true);
    box.show();
    QApplication::setActiveWindow(&box);
    box.hide();
    QApplication::setActiveWindow(window.get());
    EXPECT_EQ(list->count(), 2);
    QApplication::setActiveWindow(&other);
    QApplication::setActiveWindow(window.get());
    EXPECT_EQ(Lines(), QStringList{QStringLiteral("表層工")});
}

TEST_F(EditKosyuTest, AddingInsertsBeforeTheSelectionOrAppends) {
    Store({QStringLiteral("A"), QStringLiteral("B")});
    ShowAndActivate();
    list->setCurrentRow(1);
    edit->insert(QStringLiteral("X"));
    EXPECT_TRUE(add->isEnabled());
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(Lines(),
              (QStringList{QStringLiteral("A"), QStringLiteral("X"), QStringLiteral("B")}));
    EXPECT_EQ(edit->text(), QString());
    EXPECT_FALSE(add->isEnabled());

    list->clearSelection();
    list->setCurrentRow(-1);
    TypeAndAdd(QStringLiteral("Z"));
    EXPECT_EQ(Lines().last(), QStringLiteral("Z"));

    // Removing takes the selected line only; with none selected nothing goes.
    list->setCurrentRow(0);
    QTest::mouseClick(remove, Qt::LeftButton);
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(Lines(),
              (QStringList{QStringLiteral("X"), QStringLiteral("B"), QStringLiteral("Z")}));
    EXPECT_TRUE(StoredRows().size() == 2u);
}

TEST_F(EditKosyuTest, MovesKeepTheLineSelectedAndStopAtTheEnds) {
    Store({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    ShowAndActivate();
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(Lines(),
              (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    QTest::mouseClick(down, Qt::LeftButton);
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(Lines(),
              (QStringList{QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("A")}));
    EXPECT_EQ(list->currentRow(), 2);
    EXPECT_TRUE(list->item(2)->isSelected());
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(Lines(),
              (QStringList{QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("A")}));
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(Lines(),
              (QStringList{QStringLiteral("B"), QStringLiteral("A"), QStringLiteral("C")}));
    EXPECT_EQ(list->currentRow(), 1);
}

TEST_F(EditKosyuTest, StoringWritesTheListInOrderOnceEachAndCloses) {
    Store({QStringLiteral("old")});
    ShowAndActivate();
    list->clear();
    list->addItems({QStringLiteral("表層工"), QStringLiteral(""), QStringLiteral("基層工"),
                    QStringLiteral("表層工")});
    list->setCurrentRow(1);
    // Typed but not added: goes in before the selected (blank) line.
    edit->insert(QStringLiteral("路盤工"));
    QTest::mouseClick(store, Qt::LeftButton);
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(StoredRows(), (Rows{{1, QStringLiteral("表層工")},
                                  {2, QStringLiteral("路盤工")},
                                  {4, QStringLiteral("基層工")}}));
    EXPECT_FALSE(window->isVisible());

    ShowAndActivate();
    list->clear();
    QTest::mouseClick(store, Qt::LeftButton);
    EXPECT_TRUE(StoredRows().empty());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(EditKosyuTest, AFailurePartWayLeavesTheRegisterAsItWasAndTheWindowOpen) {
    Store({QStringLiteral("表層工"), QStringLiteral("基層工")});
    ShowAndActivate();
    const QStringList edited{QStringLiteral("路盤工"), QString(17, QChar(0x5DE5)),
                             QStringLiteral("表層工")};
    list->clear();
    list->addItems(edited);
    QTest::mouseClick(store, Qt::LeftButton);
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_EQ(StoredRows(), (Rows{{1, QStringLiteral("表層工")}, {2, QStringLiteral("基層工")}}));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Lines(), edited);

    // With the long name corrected the same list goes in.
    list->item(1)->setText(QString(16, QChar(0x5DE5)));
    QTest::mouseClick(store, Qt::LeftButton);
    EXPECT_EQ(StoredRows().size(), 3u);
}

TEST_F(EditKosyuTest, MenuDeleteEmptiesTheTableButKeepsTheListForStoring) {
    Store({QStringLiteral("A"), QStringLiteral("B")});
    ShowAndActivate();
    MenuAction("Delete1")->trigger();
    EXPECT_TRUE(StoredRows().empty());
    EXPECT_EQ(Lines(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    QTest::mouseClick(store, Qt::LeftButton);
    EXPECT_EQ(StoredRows(), (Rows{{1, QStringLiteral("A")}, {2, QStringLiteral("B")}}));

    ShowAndActivate();
    edit->insert(QStringLiteral("typed"));
    MenuAction("N1")->trigger();
    EXPECT_EQ(edit->text(), QString());
    MenuAction("Delete1")->trigger();
    MenuAction("Close1")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(StoredRows().empty());
}

} // namespace
} // namespace tv::test
