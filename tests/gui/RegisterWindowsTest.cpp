// The works, client, contractor and person-name windows driven offscreen as a user would.
#include "platform/TableEngine.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Help.h"
#include "platform/gui/RadioGroup.h"
#include "registers/gui/uEditHacchusya.h"
#include "registers/gui/uEditKikakuti4.h"
#include "registers/gui/uEditKoji.h"
#include "registers/gui/uEditKosyu.h"
#include "registers/gui/uEditSimei.h"
#include "registers/gui/uEditUkeoisya.h"
#include "registers/gui/uListBox.h"
#include "registers/uHacchusya.h"
#include "registers/uKoji.h"
#include "tests/gui/WhenModal.h"
#include "tests/support/TableRows.h"
#include "tests/support/TestEnv.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <string>

namespace tv::test {
namespace {

// Picks the line with that text in the pick-list (none when empty) and presses OK.
void PickLine(TfrmListBox* list, const QString& line) {
    if (!line.isEmpty()) {
        const auto found = list->ListBox1->findItems(line, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << line.toStdString();
        list->ListBox1->setCurrentItem(found.first());
    }
    list->Button1->click();
}

// The lines the pick-list shows, in order.
QStringList Lines(const TfrmListBox* list) {
    QStringList lines;
    for (int i = 0; i < list->ListBox1->count(); ++i)
        lines << list->ListBox1->item(i)->text();
    return lines;
}

QSize ClientSize(QWidget* window) {
    return window->findChild<QWidget*>(QStringLiteral("ClientArea"))->size();
}

QStringList MenuTitles(QWidget* window) {
    QStringList titles;
    for (QAction* action : window->findChild<QMenuBar*>()->actions())
        titles << action->text();
    return titles;
}

void Activate(QWidget* window) {
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(window, &activate);
}

class KojiWindowTest : public EnvTest {
protected:
    void SetUp() override {
        form = std::make_unique<TfrmEditKoji>();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        Activate(form.get());
    }

    // Typing replaces the box's text (insert() edits as the keyboard does; QTest types ASCII only).
    void Type(QLineEdit* box, const QString& text) {
        box->selectAll();
        box->insert(text);
    }
    void Type(QComboBox* box, const QString& text) { Type(box->lineEdit(), text); }

    void EnterWork(const QString& code, const QString& name, const QString& client,
                   const QString& contractor, const QString& agent) {
        Type(form->Edit1, code);
        Type(form->Edit2, name);
        Type(form->ComboBox3, client);
        Type(form->ComboBox2, contractor);
        Type(form->ComboBox1, agent);
    }

    std::unique_ptr<TfrmEditKoji> form;
};

TEST_F(KojiWindowTest, LaysOutTheControlsAndMenus) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("工事名の登録"));
    EXPECT_EQ(ClientSize(form.get()), QSize(468, 182));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->Edit1->geometry(), QRect(72, 8, 65, 20));
    EXPECT_EQ(form->Edit2->geometry(), QRect(72, 32, 385, 20));
    EXPECT_EQ(form->ComboBox3->geometry(), QRect(72, 56, 241, 20));
    EXPECT_EQ(form->ComboBox1->geometry(), QRect(72, 104, 145, 20));
    EXPECT_EQ(form->RadioGroup1->geometry(), QRect(8, 128, 305, 41));
    EXPECT_EQ(form->Button2->geometry(), QRect(384, 144, 75, 25));
    EXPECT_EQ(form->Button2->text(), QStringLiteral("閉じる"));
    EXPECT_EQ(form->RadioGroup1->ItemIndex(), 0);
    // Typing stops at the bytes of the columns: 8 for the code, 128 (64 Japanese characters)
    // for the name.
    Type(form->Edit1, QStringLiteral("123456789"));
    EXPECT_EQ(form->Edit1->text(), QString());
    Type(form->Edit2, QString(65, QChar(u'工')));
    EXPECT_EQ(form->Edit2->text(), QString());
    Type(form->Edit2, QString(64, QChar(u'工')));
    EXPECT_EQ(form->Edit2->text(), QString(64, QChar(u'工')));
    EXPECT_FALSE(form->Edit1->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(form->Edit2->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(form->ComboBox2->lineEdit()->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_EQ(MenuTitles(form.get()),
              (QStringList{QStringLiteral("ファイル"), QStringLiteral("データ"),
                           QStringLiteral("ヘルプ")}));
    EXPECT_EQ(form->Help1->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(form->N2->text(), QStringLiteral("氏名"));

    // Tab goes through the boxes in their order; the search button comes after them.
    form->Edit1->setFocus();
    QList<QWidget*> visited;
    for (int i = 0; i < 6; ++i) {
        visited << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    const QList<QWidget*> expected = {form->Edit1,     form->Edit2,     form->ComboBox3,
                                      form->ComboBox2, form->ComboBox1, form->RadioGroup1->Item(0)};
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(visited[i] == expected[i] || visited[i]->parentWidget() == expected[i])
            << "stop " << i << ": " << visited[i]->objectName().toStdString();
}

TEST_F(KojiWindowTest, TheButtonSavesWhileThereAreChangesAndClosesOnceSaved) {
    EnterWork(QStringLiteral("K001"), QStringLiteral("国道舗装工事"), QStringLiteral("開発建設部"),
              QStringLiteral("北建設"), QStringLiteral("山田"));
    form->RadioGroup1->Item(2)->click();
    EXPECT_EQ(form->Button2->text(), QStringLiteral("登録"));

    QTest::mouseClick(form->Button2, Qt::LeftButton);
    EXPECT_EQ(form->Button2->text(), QStringLiteral("閉じる"));
    EXPECT_EQ(Rows(QStringLiteral("select * from Koji1")),
              QStringList{QStringLiteral("K001|国道舗装工事|開発建設部|北建設|山田|2")});
    EXPECT_EQ(Rows(QStringLiteral("select * from Simei")),
              QStringList{QStringLiteral("山田|山田")});
    EXPECT_TRUE(form->isVisible());

    QTest::mouseClick(form->Button2, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(KojiWindowTest, ActivationShowsTheWorkAgainAndDropsUnsavedTyping) {
    EnterWork(QStringLiteral("K001"), QStringLiteral("元の名前"), QString(), QString(), QString());
    form->Button2->click();
    Type(form->Edit2, QStringLiteral("書きかけ"));
    form->RadioGroup1->Item(1)->click();
    EXPECT_EQ(form->Button2->text(), QStringLiteral("登録"));

    Activate(form.get());
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("K001"));
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("元の名前"));
    EXPECT_EQ(form->RadioGroup1->ItemIndex(), 0);
    EXPECT_EQ(form->Button2->text(), QStringLiteral("閉じる"));
}

TEST_F(KojiWindowTest, ComingBackFromAMessageBoxOrAnotherProgramKeepsTheTyping) {
    EnterWork(QStringLiteral("K001"), QStringLiteral("元の名前"), QString(), QString(), QString());
    form->Button2->click();
    Type(form->Edit2, QStringLiteral("書きかけ"));

    // A message box over the window (the question before deleting, a help page not installed).
    QMessageBox box(QMessageBox::Warning, QString(), QStringLiteral("?"), QMessageBox::Ok,
                    form.get());
    box.show();
    QApplication::setActiveWindow(&box);
    QApplication::setActiveWindow(form.get());
    box.hide();
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("書きかけ"));
    EXPECT_EQ(form->Button2->text(), QStringLiteral("登録"));

    // Another program and back.
    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(form.get());
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("書きかけ"));

    // Another program, then another window of this one: the return shows the work again.
    QApplication::setActiveWindow(nullptr);
    QWidget other;
    auto* otherBox = new QLineEdit(&other);
    other.show();
    QApplication::setActiveWindow(&other);
    otherBox->setFocus();
    QApplication::setActiveWindow(form.get());
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("元の名前"));
    EXPECT_EQ(form->Button2->text(), QStringLiteral("閉じる"));
}

TEST_F(KojiWindowTest, AFailedSaveSaysWhyWritesNothingAndKeepsTheTyping) {
    // 16 full-width characters fit the client register (32 bytes) but not Koji1 (20 bytes):
    // such a name can only be chosen from the list, typing stops at 20 bytes.
    const QString longClient = QString(16, QChar(0x767A));
    EnterWork(QStringLiteral("K001"), QStringLiteral("工事"), longClient, QStringLiteral("新請負"),
              QStringLiteral("新人"));
    EXPECT_EQ(form->ComboBox3->currentText(), QString());
    form->ComboBox3->setEditText(longClient);
    form->Button2->click();
    ASSERT_EQ(env.messages.size(), 1);
    // The message names the box, not the column.
    EXPECT_TRUE(env.messages[0].startsWith(
        QStringLiteral("「発注者名」は全角10文字（半角20文字）までです")))
        << env.messages[0].toStdString();
    EXPECT_EQ(form->Button2->text(), QStringLiteral("登録"));
    for (const char* table : {"Koji1", "Hacchusya", "Ukeoisya", "Simei"})
        EXPECT_TRUE(Rows(QStringLiteral("select * from ") + QLatin1String(table)).isEmpty())
            << table;

    // Closing the message box activates the window again: the typing stays, still unsaved.
    Activate(form.get());
    EXPECT_EQ(form->ComboBox3->currentText(), longClient);
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("工事"));
    EXPECT_EQ(form->Button2->text(), QStringLiteral("登録"));

    // Such a client chosen from the list is refused there, with both names.
    THacchusya client;
    client.CheckTable();
    client.FindByName(longClient);
    client.Save();
    form->ComboBox3->setEditText(QStringLiteral("発注者A"));
    form->ComboBox3->showPopup();
    const int at = form->ComboBox3->findText(longClient);
    ASSERT_GE(at, 0);
    form->ComboBox3->view()->setCurrentIndex(form->ComboBox3->model()->index(at, 0));
    QTest::keyClick(form->ComboBox3->view(), Qt::Key_Return);
    EXPECT_EQ(form->ComboBox3->currentText(), QStringLiteral("発注者A"));
    EXPECT_EQ(form->ComboBox3->property("refusal").toString(),
              QStringLiteral("発注者の登録の「発注者名」の '%1' は工事の「発注者名」に入りません"
                             "（全角10文字（半角20文字）まで）")
                  .arg(longClient));
}

TEST_F(KojiWindowTest, SearchingLoadsTheChosenWorkAndOkWithoutAChoiceEmptiesTheWindow) {
    EnterWork(QStringLiteral("K001"), QStringLiteral("一の工事"), QStringLiteral("発注者A"),
              QStringLiteral("請負者A"), QStringLiteral("佐藤"));
    form->Button2->click();
    EnterWork(QStringLiteral("K002"), QStringLiteral("二の工事"), QString(), QString(), QString());
    form->RadioGroup1->Item(1)->click();
    form->Button2->click();

    QStringList shown;
    QString caption;
    WhenModal<TfrmListBox>([&](TfrmListBox* list) {
        caption = list->windowTitle();
        shown = Lines(list);
        PickLine(list, QStringLiteral("K001:一の工事"));
    });
    form->Button1->click();
    EXPECT_EQ(caption, QStringLiteral("工事選択"));
    EXPECT_EQ(shown,
              (QStringList{QStringLiteral("K002:二の工事"), QStringLiteral("K001:一の工事")}));
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("K001"));
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("一の工事"));
    EXPECT_EQ(form->ComboBox3->currentText(), QStringLiteral("発注者A"));
    EXPECT_EQ(form->ComboBox2->currentText(), QStringLiteral("請負者A"));
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("佐藤"));
    EXPECT_EQ(form->RadioGroup1->ItemIndex(), 0);
    EXPECT_EQ(form->Button2->text(), QStringLiteral("閉じる"));

    WhenModal<TfrmListBox>(
        [](TfrmListBox* list) { PickLine(list, QStringLiteral("K002:二の工事")); });
    form->Button1->click();
    EXPECT_EQ(form->RadioGroup1->ItemIndex(), 1);
    // OK without a choice loads the empty code: all empty but the print form of the work.
    WhenModal<TfrmListBox>([](TfrmListBox* list) { PickLine(list, QString()); });
    form->Button1->click();
    EXPECT_EQ(form->Edit1->text(), QString());
    EXPECT_EQ(form->Edit2->text(), QString());
    EXPECT_EQ(form->ComboBox3->currentText(), QString());
    EXPECT_EQ(form->RadioGroup1->ItemIndex(), 1);

    // Closing the pick-list with its close box changes nothing.
    Type(form->Edit2, QStringLiteral("入力中"));
    WhenModal<TfrmListBox>([](TfrmListBox* list) { list->close(); });
    form->Button1->click();
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("入力中"));
}

TEST_F(KojiWindowTest, APrintFormOutsideTheItemsShowsNoneAndIsSavedBackUnchanged) {
    // Old data may hold a form the window has no item for.
    TKoji stored;
    stored.Code = QStringLiteral("K007");
    stored.Kojimei = QStringLiteral("古い工事");
    stored.Yoshiki = 5;
    stored.Save();

    WhenModal<TfrmListBox>(
        [](TfrmListBox* list) { PickLine(list, QStringLiteral("K007:古い工事")); });
    form->Button1->click();
    EXPECT_EQ(form->RadioGroup1->ItemIndex(), 5);
    for (int i = 0; i < form->RadioGroup1->Count(); ++i)
        EXPECT_FALSE(form->RadioGroup1->Item(i)->isChecked()) << i;
    Type(form->Edit2, QStringLiteral("名前だけ変更"));
    form->Button2->click();
    EXPECT_EQ(Rows(QStringLiteral("select Kojimei,Yoshiki from Koji1")),
              QStringList{QStringLiteral("名前だけ変更|5")});

    // Choosing an item replaces it.
    form->RadioGroup1->Item(2)->click();
    form->Button2->click();
    EXPECT_EQ(Rows(QStringLiteral("select Yoshiki from Koji1")), QStringList{QStringLiteral("2")});
}

TEST_F(KojiWindowTest, NewEmptiesTheBoxesButKeepsThePrintForm) {
    EnterWork(QStringLiteral("K001"), QStringLiteral("工事"), QStringLiteral("発注者"),
              QStringLiteral("請負者"), QStringLiteral("代理人"));
    form->RadioGroup1->Item(1)->click();
    form->N1->trigger();
    for (QLineEdit* box : {form->Edit1, form->Edit2, form->ComboBox3->lineEdit(),
                           form->ComboBox2->lineEdit(), form->ComboBox1->lineEdit()})
        EXPECT_TRUE(box->text().isEmpty()) << box->objectName().toStdString();
    EXPECT_EQ(form->RadioGroup1->ItemIndex(), 1);
    EXPECT_EQ(QApplication::focusWidget(), form->Edit1);
}

TEST_F(KojiWindowTest, DeleteAsksFirstAndKeepsTheBoxes) {
    EnterWork(QStringLiteral("K001"), QStringLiteral("工事"), QString(), QString(), QString());
    form->Button2->click();

    env.answerOk = false;
    form->Delete1->trigger();
    EXPECT_EQ(env.questions, QStringList{QStringLiteral("本当に削除しますか？")});
    EXPECT_EQ(Rows(QStringLiteral("select Code from Koji1")).size(), 1);

    env.answerOk = true;
    Type(form->Edit1, QStringLiteral(" K001"));
    form->Delete1->trigger();
    EXPECT_TRUE(Rows(QStringLiteral("select Code from Koji1")).isEmpty());
    EXPECT_EQ(form->Edit1->text(), QStringLiteral(" K001"));
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("工事"));
}

TEST_F(KojiWindowTest, ThePersonWindowHandsBackTheEnteredNameAfterOk) {
    EnterWork(QStringLiteral("K001"), QStringLiteral("工事"), QString(), QString(), QString());
    form->Button2->click();
    Type(form->Edit2, QStringLiteral("保存しない"));

    QString caption;
    WhenModal<TfrmEditSimei>([&](TfrmEditSimei* person) {
        caption = person->windowTitle();
        person->Edit1->setText(QStringLiteral("たなか"));
        person->Edit2->setText(QStringLiteral("田中"));
        person->Button1->click();
    });
    form->N2->trigger();
    EXPECT_EQ(caption, QStringLiteral("氏名の登録"));
    EXPECT_EQ(Rows(QStringLiteral("select * from Simei")),
              QStringList{QStringLiteral("たなか|田中")});
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("田中"));
    // What was typed and not saved stays, also through the activation that the return brings.
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("保存しない"));
    EXPECT_EQ(form->Button2->text(), QStringLiteral("登録"));
    Activate(form.get());
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("田中"));
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("保存しない"));
    EXPECT_TRUE(form->findChildren<TfrmEditSimei*>().isEmpty());

    // Closed without OK: nothing is taken back.
    Type(form->ComboBox1, QStringLiteral("別人"));
    WhenModal<TfrmEditSimei>([](TfrmEditSimei* person) {
        person->Edit2->setText(QStringLiteral("鈴木"));
        person->Close1->trigger();
    });
    form->N2->trigger();
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("別人"));
}

TEST_F(KojiWindowTest, ClientAndContractorWindowsOpenModallyAndAreDisposedOf) {
    // A new work being typed survives the visits.
    Type(form->Edit1, QStringLiteral("K009"));
    Type(form->Edit2, QStringLiteral("新しい工事"));
    WhenModal<TfrmEditHacchusya>([](TfrmEditHacchusya* client) {
        client->ComboBox1->setEditText(QStringLiteral("発注者B"));
        client->Button1->click();
        client->Close1->trigger();
    });
    form->N4->trigger();
    WhenModal<TfrmEditUkeoisya>([](TfrmEditUkeoisya* contractor) {
        contractor->ComboBox1->setEditText(QStringLiteral("請負者B"));
        contractor->Button1->click();
        contractor->Close1->trigger();
    });
    form->N3->trigger();
    EXPECT_TRUE(form->findChildren<QDialog*>().isEmpty());
    Activate(form.get());
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("K009"));
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("新しい工事"));
    EXPECT_EQ(form->Button2->text(), QStringLiteral("登録"));

    // Their names are offered by the work's boxes; opening a list is not an edit.
    Type(form->ComboBox3, QStringLiteral("入力"));
    form->Button2->setText(QStringLiteral("閉じる"));
    form->ComboBox3->showPopup();
    form->ComboBox3->hidePopup();
    EXPECT_EQ(form->ComboBox3->count(), 1);
    EXPECT_EQ(form->ComboBox3->itemText(0), QStringLiteral("発注者B"));
    EXPECT_EQ(form->ComboBox3->currentText(), QStringLiteral("入力"));
    EXPECT_EQ(form->Button2->text(), QStringLiteral("閉じる"));
    form->ComboBox2->showPopup();
    form->ComboBox2->hidePopup();
    EXPECT_EQ(form->ComboBox2->itemText(0), QStringLiteral("請負者B"));
}

TEST(HelpTest, APageInstalledBesideTheProgramIsFoundByItsTopic) {
    QDir program(QCoreApplication::applicationDirPath());
    const bool madeFolder = !program.exists(QStringLiteral("help"));
    ASSERT_TRUE(program.mkpath(QStringLiteral("help")));
    const QString page = program.filePath(QStringLiteral("help/HIDTEST01.html"));
    {
        QFile file(page);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<html></html>");
    }
    EXPECT_EQ(QDir(HelpPageFile(QStringLiteral("HIDTEST01"))).canonicalPath(),
              QDir(page).canonicalPath());
    EXPECT_TRUE(HelpPageFile(QStringLiteral("HIDTEST02")).isEmpty());
    EXPECT_TRUE(HelpPageFile(QString()).isEmpty());
    QFile::remove(page);
    if (madeFolder)
        program.rmdir(QStringLiteral("help"));
}

class PartyWindowsTest : public EnvTest {
protected:
    // In the program the works register has ensured the party tables before these windows open.
    void SetUp() override { TKoji().CheckTable(); }
};

TEST_F(PartyWindowsTest, TheContractorWindowRegistersUpdatesAndFillsTheCompanyOnEntry) {
    TfrmEditUkeoisya form;
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("請負者の登録"));
    EXPECT_EQ(ClientSize(&form), QSize(371, 157));
    EXPECT_NE(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(MenuTitles(&form),
              (QStringList{QStringLiteral("ファイル"), QStringLiteral("ヘルプ")}));

    form.ComboBox1->lineEdit()->insert(QStringLiteral(" 北建設 "));
    form.Edit2->setFocus(); // entering the empty company box offers the contractor's name
    EXPECT_EQ(form.Edit2->text(), QStringLiteral(" 北建設 "));
    form.Edit1->setFocus();
    form.Edit2->setText(QStringLiteral("北建設株式会社"));
    form.ComboBox1->setEditText(QStringLiteral("別名"));
    form.Edit2->setFocus(); // a box with text keeps it
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("北建設株式会社"));

    form.ComboBox1->setEditText(QStringLiteral(" 北建設 "));
    form.Edit1->setText(QStringLiteral(" 札幌市 "));
    form.CheckBox1->setChecked(true);
    form.Button1->click(); // stored trimmed
    form.Edit1->setText(QStringLiteral("旭川市"));
    form.Button1->click(); // the same name: updated
    form.ComboBox1->setEditText(QStringLiteral("A建設"));
    form.Button1->click(); // another name: a new row, the old one stays

    form.ComboBox1->showPopup();
    form.ComboBox1->hidePopup();
    ASSERT_EQ(form.ComboBox1->count(), 2);
    EXPECT_EQ(form.ComboBox1->itemText(1), QStringLiteral("北建設"));

    form.N1->trigger();
    EXPECT_TRUE(form.ComboBox1->currentText().isEmpty() && form.Edit2->text().isEmpty());
    EXPECT_FALSE(form.CheckBox1->isChecked());

    form.ComboBox1->setCurrentIndex(1);
    emit form.ComboBox1->activated(1);
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("旭川市"));
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("北建設株式会社"));
    EXPECT_TRUE(form.CheckBox1->isChecked());

    form.Delete1->trigger();
    EXPECT_EQ(Rows(QStringLiteral("select Ukeoisyamei from Ukeoisya")),
              QStringList{QStringLiteral("A建設")});
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(PartyWindowsTest, TheClientWindowRegistersAndLoadsByName) {
    TfrmEditHacchusya form;
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("発注者の登録"));
    EXPECT_EQ(ClientSize(&form), QSize(258, 106));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());

    form.ComboBox1->showPopup();
    form.ComboBox1->hidePopup();
    EXPECT_EQ(form.ComboBox1->count(), 0);

    form.ComboBox1->setEditText(QStringLiteral("札幌開発建設部"));
    form.Edit1->setText(QStringLiteral("部長 開発一郎"));
    form.Button1->click();
    form.Edit1->setText(QStringLiteral("部長 開発二郎"));
    form.Button1->click();
    EXPECT_EQ(Rows(QStringLiteral("select * from Hacchusya")),
              QStringList{QStringLiteral("札幌開発建設部|部長 開発二郎")});

    form.N1->trigger();
    EXPECT_TRUE(form.ComboBox1->currentText().isEmpty() && form.Edit1->text().isEmpty());
    form.ComboBox1->showPopup();
    form.ComboBox1->hidePopup();
    form.ComboBox1->setCurrentIndex(0);
    emit form.ComboBox1->activated(0);
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("部長 開発二郎"));

    form.Delete1->trigger();
    EXPECT_TRUE(Rows(QStringLiteral("select * from Hacchusya")).isEmpty());
}

TEST_F(PartyWindowsTest, ThePersonWindowSearchesRegistersAndDeletesTheLastRecord) {
    TfrmEditSimei form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("氏名の登録"));
    EXPECT_EQ(ClientSize(&form), QSize(287, 88));
    EXPECT_TRUE(form.StatusBar1->currentMessage().isEmpty());

    // Registering closes the window with OK; an empty reading becomes the name.
    QTimer::singleShot(0, [&] {
        form.Edit2->setText(QStringLiteral(" 阿部 "));
        form.Button1->click();
    });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_EQ(form.EnteredName(), QStringLiteral(" 阿部 "));
    form.Edit1->setText(QStringLiteral("いとう"));
    form.Edit2->setText(QStringLiteral("伊藤"));
    form.Button1->click();
    EXPECT_EQ(Rows(QStringLiteral("select * from Simei order by Furigana")),
              (QStringList{QStringLiteral("いとう|伊藤"), QStringLiteral("阿部|阿部")}));

    QStringList shown;
    QString caption;
    WhenModal<TfrmListBox>([&](TfrmListBox* list) {
        caption = list->windowTitle();
        shown = Lines(list);
        PickLine(list, QStringLiteral("阿部"));
    });
    form.Button2->click();
    EXPECT_EQ(caption, QStringLiteral("氏名の選択"));
    EXPECT_EQ(shown, (QStringList{QStringLiteral("伊藤"), QStringLiteral("阿部")}));
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("阿部"));
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("阿部"));

    // "新規" empties only the boxes: "削除" still deletes the person last loaded.
    form.N1->trigger();
    EXPECT_TRUE(form.Edit1->text().isEmpty() && form.Edit2->text().isEmpty());
    form.Delete1->trigger();
    EXPECT_EQ(Rows(QStringLiteral("select Simei from Simei")), QStringList{QStringLiteral("伊藤")});

    // A pick-list closed without OK changes nothing.
    form.Edit2->setText(QStringLiteral("入力中"));
    WhenModal<TfrmListBox>([](TfrmListBox* list) { list->close(); });
    form.Button2->click();
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("入力中"));
}

// Walks the Tab chain from the window's first box and names the first step out of the layout's
// order: each box is below the one before it or, on the same row, right of it.
std::string TabOutOfLayout(QWidget* window) {
    QRect last;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        const bool box = (qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w->parent())) ||
                         qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractItemView*>(w) ||
                         qobject_cast<QCheckBox*>(w);
        if (!box || !w->isVisibleTo(window) || !(w->focusPolicy() & Qt::TabFocus))
            continue;
        const QRect next(w->mapTo(window, QPoint()), w->size());
        const bool sameRow = std::abs(last.center().y() - next.center().y()) < last.height() / 2;
        if (!last.isNull() && (sameRow ? next.left() <= last.left() : next.top() < last.top()))
            return QString(window->objectName() + QStringLiteral(" → ") + w->objectName())
                .toStdString();
        last = next;
    }
    return {};
}

// Every register window: Enter in a box saves and the window says 「保存しました」 until the next
// key typed, and never closes; Tab moves from box to box in their layout, the buttons after them.
TEST_F(PartyWindowsTest, EnterSavesInEveryRegisterWindowAndTabGoesFromBoxToBox) {
    auto enter = [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); };
    auto sign = [](QWidget* w) {
        return w->findChild<QLabel*>(QStringLiteral("SaveSign"))->text();
    };
    const QString saved = QStringLiteral("保存しました");

    TfrmEditHacchusya client;
    client.show();
    client.ComboBox1->setEditText(QStringLiteral("札幌開発建設部"));
    client.Edit1->setText(QStringLiteral("部長"));
    EXPECT_EQ(sign(&client), QString());
    enter(client.Edit1);
    EXPECT_EQ(Rows(QStringLiteral("select * from Hacchusya")),
              QStringList{QStringLiteral("札幌開発建設部|部長")});
    EXPECT_EQ(sign(&client), saved);
    QTest::keyClicks(client.Edit1, QStringLiteral("X"));
    EXPECT_EQ(sign(&client), QString());
    enter(client.ComboBox1);
    EXPECT_EQ(Rows(QStringLiteral("select * from Hacchusya")),
              QStringList{QStringLiteral("札幌開発建設部|部長X")});
    EXPECT_EQ(sign(&client), saved);

    TfrmEditUkeoisya contractor;
    contractor.show();
    contractor.ComboBox1->setEditText(QStringLiteral("北建設"));
    enter(contractor.Edit3);
    EXPECT_EQ(Rows(QStringLiteral("select Ukeoisyamei from Ukeoisya")),
              QStringList{QStringLiteral("北建設")});
    EXPECT_EQ(sign(&contractor), saved);

    // The person window: ふりがな, then 氏名 (not the search button). Enter registers once a name
    // is typed and keeps the window open; 登録 registers and hands the name back.
    TfrmEditSimei person;
    EXPECT_EQ(person.Edit1->nextInFocusChain(), person.Edit2);
    EXPECT_EQ(person.Edit2->nextInFocusChain(), person.Button2);
    QTimer::singleShot(0, [&] {
        person.Edit1->setText(QStringLiteral("やまだ"));
        enter(person.Edit1); // no name yet: nothing saved
        EXPECT_EQ(sign(&person), QString());
        person.Edit2->setText(QStringLiteral("山田"));
        enter(person.Edit2);
        EXPECT_TRUE(person.isVisible());
        EXPECT_EQ(sign(&person), saved);
        EXPECT_EQ(Rows(QStringLiteral("select * from Simei")),
                  QStringList{QStringLiteral("やまだ|山田")});
        QTest::keyClick(person.Edit2, Qt::Key_Backspace);
        EXPECT_EQ(sign(&person), QString());
        person.Edit2->insert(QStringLiteral("田花子"));
        person.Button1->click();
    });
    EXPECT_EQ(person.exec(), QDialog::Accepted);
    EXPECT_EQ(person.EnteredName(), QStringLiteral("山田花子"));
    EXPECT_EQ(Rows(QStringLiteral("select Simei from Simei order by Simei")),
              (QStringList{QStringLiteral("山田"), QStringLiteral("山田花子")}));

    // The work types: Enter adds the typed name and writes the list; the window stays for the next.
    TfrmEditKosyu workTypes;
    workTypes.show();
    workTypes.FormActivate();
    workTypes.Edit2->insert(QStringLiteral("基層工"));
    enter(workTypes.Edit2);
    workTypes.Edit2->insert(QStringLiteral("表層工"));
    enter(workTypes.Edit2);
    EXPECT_TRUE(workTypes.isVisible());
    EXPECT_EQ(sign(&workTypes), saved);
    EXPECT_EQ(StoredWorkTypes(),
              (std::vector<std::pair<int, QString>>{{1, QStringLiteral("基層工")},
                                                    {2, QStringLiteral("表層工")}}));
    EXPECT_EQ(workTypes.Edit2->text(), QString());
    QTest::keyClicks(workTypes.Edit2, QStringLiteral("x"));
    EXPECT_EQ(sign(&workTypes), QString());

    // The standard values save on Enter while there is a change to save.
    TfrmEditKikakuti4 standards;
    standards.show();
    standards.FormActivate();
    standards.ComboBox1->setEditText(QStringLiteral("表層工"));
    standards.Edit2->setText(QStringLiteral("2.4"));
    enter(standards.Edit2);
    EXPECT_EQ(Rows(QStringLiteral("select Kosyumei,KikakutiU1 from KIKAKUTI4")),
              QStringList{QStringLiteral("表層工|2.4")});
    EXPECT_EQ(sign(&standards), saved);

    // The works window saves on Enter while its button says 登録, and never closes on Enter.
    TfrmEditKoji works;
    works.show();
    works.Edit1->setText(QStringLiteral("K9"));
    works.Edit2->setText(QStringLiteral("工事"));
    enter(works.Edit2);
    EXPECT_EQ(Rows(QStringLiteral("select Code from Koji1")), QStringList{QStringLiteral("K9")});
    EXPECT_EQ(sign(&works), saved);
    enter(works.Edit2);
    EXPECT_TRUE(works.isVisible());

    for (QWidget* w : std::initializer_list<QWidget*>{&client, &contractor, &person, &workTypes,
                                                      &standards, &works})
        EXPECT_EQ(TabOutOfLayout(w), std::string());
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
}

} // namespace
} // namespace tv::test
