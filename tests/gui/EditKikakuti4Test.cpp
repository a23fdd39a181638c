// The standard-values window driven by its controls against real tables in a private data
// folder, and its printed list on recording pages at 600 pixels per inch (no unprintable margin,
// page shift -2.0 / -1.85 cm: x pixels = 600 x / 2.54 + 472, y pixels = 600 y / 2.54 + 437).
#include "platform/TableEngine.h"
#include "platform/gui/RadioGroup.h"
#include "printing/Primitives.h"
#include "printing/Printer.h"
#include "printing/RecordingCanvas.h"
#include "printing/gui/PrintView.h"
#include "registers/gui/uEditKikakuti4.h"
#include "registers/gui/uListBox.h"
#include "registers/print/PrintKikakuti4List.h"
#include "registers/uKikakuti4.h"
#include "registers/uKosyu.h"
#include "settings/RegistryUtility.h"
#include "tests/gui/WhenModal.h"
#include "tests/support/Measurements.h"
#include "tests/support/RecordingPages.h"
#include "tests/support/TableRows.h"
#include "tests/support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace tv::test {
namespace {

void StoreEntry(int kubun, const QString& kosyumei, const QString& item, const QString& u1,
                const QString& d1, bool hantei = false, const QString& joken = QString()) {
    TKikakuti4 entry;
    entry.CheckTable();
    StoreStandard(entry, kubun, kosyumei, item, u1, d1, hantei, joken);
}

class EditKikakuti4Test : public EnvTest {
protected:
    void SetUp() override {
        TKosyu().CheckTable(); // made at start-up by the main window
        window = std::make_unique<TfrmEditKikakuti4>();
        kubun = window->findChild<QGroupBox*>(QStringLiteral("RadioGroup1"));
        workType = window->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
        item = window->findChild<QComboBox*>(QStringLiteral("ComboBox2"));
        pick = window->findChild<QLabel*>(QStringLiteral("Panel8"));
        for (const char* name : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6"})
            edits.push_back(window->findChild<QLineEdit*>(QLatin1String(name)));
        hantei = window->findChild<QCheckBox*>(QStringLiteral("CheckBox1"));
        joken = window->findChild<QLabel*>(QStringLiteral("Label1"));
        save = window->findChild<QPushButton*>(QStringLiteral("Button1"));
        close = window->findChild<QPushButton*>(QStringLiteral("Button2"));
        ASSERT_TRUE(kubun && workType && item && pick && hantei && joken && save && close);
        for (QLineEdit* edit : edits)
            ASSERT_TRUE(edit);
        env.answerYesNoCancel = TAnswer::Cancel;
    }

    QLineEdit* Edit(int n) const { return edits[n - 1]; }
    QRadioButton* Category(int i) const {
        return window->findChild<QRadioButton*>(QStringLiteral("RadioGroup1Item%1").arg(i));
    }
    QAction* MenuAction(const char* name) const {
        return window->findChild<QAction*>(QLatin1String(name));
    }
    void ShowAndActivate() {
        window->show();
        window->FormActivate();
    }
    // Typing into a combo box, as an input method delivers it.
    static void Type(QComboBox* box, const QString& text) {
        box->lineEdit()->selectAll();
        box->lineEdit()->insert(text);
    }
    static void Type(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        edit->insert(text);
    }
    // Opens the list of a combo box as the user does and chooses the line.
    static void Choose(QComboBox* box, const QString& line) {
        box->showPopup();
        box->hidePopup();
        const int index = box->findText(line);
        ASSERT_GE(index, 0) << line.toStdString();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    QStringList Shown() const {
        QStringList shown;
        shown << QString::number(window->RadioGroup1->ItemIndex()) << workType->currentText()
              << item->currentText();
        for (int n : {2, 3, 1, 5, 6})
            shown << Edit(n)->text();
        shown << QString::number(hantei->isChecked());
        return shown;
    }

    std::unique_ptr<TfrmEditKikakuti4> window;
    QGroupBox* kubun = nullptr;
    QComboBox* workType = nullptr;
    QComboBox* item = nullptr;
    QLabel* pick = nullptr;
    std::vector<QLineEdit*> edits;
    QCheckBox* hantei = nullptr;
    QLabel* joken = nullptr;
    QPushButton* save = nullptr;
    QPushButton* close = nullptr;
};

TEST_F(EditKikakuti4Test, TypedEntryIsSavedWithTheOwnStandardCaptionAndTheCategory) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("規格値の登録"));
    EXPECT_EQ(window->RadioGroup1->ItemIndex(), -1);
    EXPECT_FALSE(save->isEnabled());
    EXPECT_TRUE(joken->isEnabled() && Edit(1)->isEnabled());
    EXPECT_TRUE(QFileInfo::exists(env.DataFolder() + QStringLiteral("KIKAKUTI4.DB")) ||
                QFileInfo::exists(env.DataFolder() + QStringLiteral("KIKAKUTI4.db")));

    // The first activation puts the default caption into Edit4, which counts as a change.
    ShowAndActivate();
    EXPECT_EQ(Edit(4)->text(), QStringLiteral("自社規格"));
    EXPECT_TRUE(save->isEnabled());

    StoreWorkTypes({QStringLiteral("表層工"), QStringLiteral("基層工")});
    QTest::mouseClick(Category(1), Qt::LeftButton);
    EXPECT_EQ(window->Kikakuti4().Kubun, 1);
    workType->showPopup();
    workType->hidePopup();
    EXPECT_EQ(workType->count(), 2);
    EXPECT_EQ(workType->itemText(0), QStringLiteral("表層工"));
    Type(workType, QStringLiteral("表層工"));
    Type(item, QStringLiteral("平坦性"));
    Type(Edit(2), QStringLiteral("2.4"));
    Type(Edit(3), QStringLiteral("-"));
    QTest::mouseClick(hantei, Qt::LeftButton);
    Type(Edit(1), QStringLiteral("n≧100"));
    Type(Edit(4), QStringLiteral("社内基準"));
    Type(Edit(5), QStringLiteral("2.0"));
    Type(Edit(6), QStringLiteral("0"));
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_FALSE(save->isEnabled());
    EXPECT_EQ(Rows(QStringLiteral("select * from KIKAKUTI4")),
              QStringList{QStringLiteral("1|1|表層工|平坦性|2.4|-|2.0|0|1|n≧100|")});
    EXPECT_EQ(ReadSetting(QStringLiteral("JisyaKikakumei")), QStringLiteral("社内基準"));

    // Unticking the box disables the condition; every 登録 writes the caption again.
    QTest::mouseClick(hantei, Qt::LeftButton);
    EXPECT_FALSE(joken->isEnabled() || Edit(1)->isEnabled());
    WriteSetting(QStringLiteral("JisyaKikakumei"), QStringLiteral("other"));
    save->click();
    EXPECT_EQ(ReadSetting(QStringLiteral("JisyaKikakumei")), QStringLiteral("社内基準"));
    EXPECT_EQ(Rows(QStringLiteral("select ID,GokakuHantei from KIKAKUTI4")),
              QStringList{QStringLiteral("1|0")});

    // A new window with no category chosen stores -1.
    window = std::make_unique<TfrmEditKikakuti4>();
    auto* box = window->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    Type(box, QStringLiteral("基層工"));
    window->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    EXPECT_EQ(Rows(QStringLiteral("select ID,Kubun,Kosyumei,Koumokumei from KIKAKUTI4 where ID=2")),
              QStringList{QStringLiteral("2|-1|基層工|")});
}

TEST_F(EditKikakuti4Test, ChoosingFromTheListsLoadsEntriesAndDeleteRemovesOnlyTheOneShown) {
    StoreWorkTypes({QStringLiteral("表層工"), QStringLiteral("基層工")});
    StoreEntry(0, QStringLiteral("基層工"), QStringLiteral("平坦性"), QStringLiteral("3.0"),
               QStringLiteral("1"), true, QStringLiteral("n≧10"));
    StoreEntry(0, QStringLiteral("表層工"), QStringLiteral("平坦性"), QStringLiteral("2.4"),
               QStringLiteral("2"));
    StoreEntry(0, QStringLiteral("表層工"), QStringLiteral("厚さ"), QStringLiteral("5"),
               QStringLiteral("-5"));
    StoreEntry(1, QStringLiteral("表層工"), QStringLiteral("密度"), QStringLiteral("96"),
               QStringLiteral(""));
    ShowAndActivate();

    Choose(workType, QStringLiteral("基層工"));
    // Category 0 until one is clicked; the item name is empty, so nothing is found.
    EXPECT_EQ(window->Kikakuti4().Kubun, 0);
    Choose(item, QStringLiteral("平坦性"));
    EXPECT_EQ(Shown(),
              (QStringList{QStringLiteral("0"), QStringLiteral("基層工"), QStringLiteral("平坦性"),
                           QStringLiteral("3.0"), QStringLiteral("1"), QStringLiteral("n≧10"),
                           QStringLiteral("3.00"), QStringLiteral("10"), QStringLiteral("1")}));
    // The items offered are those of the current category.
    QStringList offered;
    for (int i = 0; i < item->count(); ++i)
        offered << item->itemText(i);
    EXPECT_EQ(offered, (QStringList{QStringLiteral("厚さ"), QStringLiteral("平坦性")}));

    // An item with no entry: empty limits, the flag and the condition of the entry before.
    Type(item, QStringLiteral("幅"));
    window->ComboBox2Click();
    EXPECT_EQ(Shown(),
              (QStringList{QStringLiteral("0"), QStringLiteral("基層工"), QStringLiteral("幅"),
                           QString(), QString(), QStringLiteral("n≧10"), QString(), QString(),
                           QStringLiteral("1")}));
    // Nothing stored is shown, so 削除 removes nothing.
    MenuAction("Delete1")->trigger();
    EXPECT_EQ(Rows(QStringLiteral("select count(*) from KIKAKUTI4")),
              QStringList{QStringLiteral("4")});

    Choose(workType, QStringLiteral("表層工"));
    Type(item, QStringLiteral("平坦性"));
    window->ComboBox2Click();
    EXPECT_EQ(Edit(2)->text(), QStringLiteral("2.4"));
    EXPECT_FALSE(hantei->isChecked());
    // Typing another key (the category) without reloading and saving updates that entry under
    // its own ID; 削除 then removes that entry, the one just saved.
    QTest::mouseClick(Category(1), Qt::LeftButton);
    Type(item, QStringLiteral("密度"));
    Type(Edit(2), QStringLiteral("97"));
    save->click();
    EXPECT_EQ(
        Rows(QStringLiteral("select ID,Kubun,Koumokumei,KikakutiU1 from KIKAKUTI4 order by ID")),
        (QStringList{QStringLiteral("1|0|平坦性|3.0"), QStringLiteral("2|0|平坦性|2.4"),
                     QStringLiteral("3|0|厚さ|5"), QStringLiteral("4|1|密度|97")}));
    MenuAction("Delete1")->trigger();
    EXPECT_EQ(Rows(QStringLiteral("select ID from KIKAKUTI4 order by ID")),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    // The controls keep their contents.
    EXPECT_EQ(Edit(2)->text(), QStringLiteral("97"));

    // The main window's look-up reads into an object of its own: the entry here stays.
    TKikakuti4 flatness;
    EXPECT_FALSE(flatness.FindFlatness(QStringLiteral("基層工"), 1)); // no flatness entry in 1
    EXPECT_EQ(flatness.KikakutiU1, QString());
    EXPECT_TRUE(flatness.FindFlatness(QStringLiteral("基層工"), 0));
    EXPECT_EQ(flatness.ID, 1);
    EXPECT_EQ(flatness.KikakutiU1, QStringLiteral("3.0"));
    EXPECT_EQ(window->Kikakuti4().ID, 4);
    EXPECT_EQ(window->Kikakuti4().Koumokumei, QStringLiteral("密度"));
}

TEST_F(EditKikakuti4Test, ThePickOffersRegisteredWorkTypesAndCutsTheChosenLineAtTheFirstColon) {
    StoreWorkTypes({QStringLiteral("表層:A"), QStringLiteral("基層工")});
    StoreEntry(0, QStringLiteral("基層工"), QStringLiteral("平坦性"), QStringLiteral("3.0"),
               QStringLiteral("1"));
    StoreEntry(0, QStringLiteral("表層:A"), QStringLiteral("平坦性"), QStringLiteral("2.4"),
               QStringLiteral("2"));
    // Not offered: a work type no longer registered, and another category.
    StoreEntry(0, QStringLiteral("舗装工"), QStringLiteral("平坦性"), QStringLiteral("9"), {});
    StoreEntry(2, QStringLiteral("基層工"), QStringLiteral("厚さ"), QStringLiteral("7"), {});
    ShowAndActivate();
    ASSERT_TRUE(save->isEnabled());

    QStringList lines;
    QString caption;
    WhenModal<TfrmListBox>([&](TfrmListBox* list) {
        caption = list->windowTitle();
        for (int i = 0; i < list->ListBox1->count(); ++i)
            lines << list->ListBox1->item(i)->text();
        list->ListBox1->setCurrentRow(0);
        list->Button1->click();
    });
    QTest::mouseClick(pick, Qt::LeftButton);
    EXPECT_EQ(caption, QStringLiteral("登録済データの選択"));
    EXPECT_EQ(lines,
              (QStringList{QStringLiteral("表層:A:平坦性"), QStringLiteral("基層工:平坦性")}));
    // "表層:A:平坦性" is read as work type "表層" and item "A:平坦性": no such entry.
    EXPECT_EQ(workType->currentText(), QStringLiteral("表層"));
    EXPECT_EQ(item->currentText(), QStringLiteral("A:平坦性"));
    EXPECT_TRUE(Edit(2)->text().isEmpty());
    EXPECT_FALSE(save->isEnabled());

    WhenModal<TfrmListBox>([](TfrmListBox* list) {
        list->ListBox1->setCurrentRow(1);
        list->Button1->click();
    });
    QTest::mouseClick(pick, Qt::LeftButton);
    EXPECT_EQ(Shown(),
              (QStringList{QStringLiteral("0"), QStringLiteral("基層工"), QStringLiteral("平坦性"),
                           QStringLiteral("3.0"), QStringLiteral("1"), QString(),
                           QStringLiteral("3.00"), QStringLiteral("10"), QStringLiteral("0")}));
    EXPECT_FALSE(save->isEnabled());

    // Closing the pick with its close box changes nothing.
    WhenModal<TfrmListBox>([](TfrmListBox* list) { list->close(); });
    QTest::mouseClick(pick, Qt::LeftButton);
    EXPECT_EQ(workType->currentText(), QStringLiteral("基層工"));
    EXPECT_TRUE(env.messages.isEmpty());
}

TEST_F(EditKikakuti4Test, ClosingWithUnsavedChangesAsksToSaveThem) {
    ShowAndActivate();
    Type(workType, QStringLiteral("表層工"));
    Type(item, QStringLiteral("平坦性"));

    env.answerYesNoCancel = TAnswer::Cancel;
    close->click();
    EXPECT_EQ(env.questions, QStringList{QStringLiteral("未登録データを保存しますか")});
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(item->currentText(), QStringLiteral("平坦性"));

    env.answerYesNoCancel = TAnswer::No;
    MenuAction("Close1")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(Rows(QStringLiteral("select count(*) from KIKAKUTI4")),
              QStringList{QStringLiteral("0")});

    // Shown again, the boxes keep the texts; a change since then is asked about.
    ShowAndActivate();
    Type(Edit(2), QStringLiteral("3.0"));
    env.answerYesNoCancel = TAnswer::Yes;
    close->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(Rows(QStringLiteral("select Kubun,Kosyumei,Koumokumei from KIKAKUTI4")),
              QStringList{QStringLiteral("-1|表層工|平坦性")});

    // Nothing unsaved: no question.
    env.questions.clear();
    ShowAndActivate();
    ASSERT_FALSE(save->isEnabled());
    close->click();
    EXPECT_TRUE(env.questions.isEmpty());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(EditKikakuti4Test, ShowingAStoredEntryIsNoChangeToAskAbout) {
    ShowAndActivate();
    Type(workType, QStringLiteral("表層工"));
    Type(item, QStringLiteral("平坦性"));
    Type(Edit(2), QStringLiteral("3.0"));
    save->click();
    Type(item, QStringLiteral("平坦"));
    // Choosing the stored entry shows it: what was typed is replaced, nothing is changed.
    Choose(item, QStringLiteral("平坦性"));
    EXPECT_EQ(Edit(2)->text(), QStringLiteral("3.0"));
    close->click();
    EXPECT_TRUE(env.questions.isEmpty());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(EditKikakuti4Test, WorkTypeMenuShowsTheWorkTypeWindow) {
    QWidget workTypes;
    MenuAction("N1")->trigger(); // none set: nothing happens
    window->SetWorkTypeWindow(&workTypes);
    MenuAction("N1")->trigger();
    EXPECT_TRUE(workTypes.isVisible());
    EXPECT_FALSE(workTypes.isModal());
}

// ---- the printed list ----------------------------------------------------------------------

int PxX(double cm) {
    return int(std::trunc(600.0 * cm / 2.54 + 472));
}
int PxY(double cm) {
    return int(std::trunc(600.0 * cm / 2.54 + 437));
}

const TRecordedText* FindText(const TRecordingCanvas& page, const QString& text, int from = 0) {
    for (size_t i = size_t(from); i < page.texts.size(); ++i)
        if (page.texts[i].text == text)
            return &page.texts[i];
    return nullptr;
}

class Kikakuti4ListTest : public EnvTest {
protected:
    void SetUp() override {
        oldSource = SetPrinterSource([] { return PdfPrinter(600, 0); });
        TKosyu().CheckTable();
        TKikakuti4().CheckTable();
    }
    void TearDown() override {
        SetPrinterSource(oldSource);
        PageShiftX = 0;
        PageShiftY = 0;
    }
    TPrinterSource oldSource;
};

TEST_F(Kikakuti4ListTest, TwentySixEntriesFillOnePageAndStartASecondWithItsOwnFrame) {
    // Stored in reverse; printed by category, then work-type name, then item name.
    for (int i = 26; i >= 2; --i)
        StoreEntry(2, QStringLiteral("工%1").arg(i, 2, 10, QLatin1Char('0')),
                   QStringLiteral("平坦性"), QStringLiteral("2.4"), QStringLiteral("-"), i % 2 == 0,
                   QStringLiteral("n≧10"));
    StoreEntry(1, QStringLiteral("表層工"), QStringLiteral("平坦性"), QStringLiteral("2.4"),
               QStringLiteral("1.5"), true, QStringLiteral("n≧10"));
    TRecordingPages target;
    PrintKikakuti4List(target);
    ASSERT_EQ(target.pages.size(), 2u);

    for (const auto& page : target.pages) {
        // Outline, 25 band lines, 25 half lines, four column outlines of four strokes each.
        EXPECT_EQ(page->lines.size(), 4u + 25u + 25u + 16u);
        EXPECT_EQ(page->FontSize(), 10);
        // The frame's top-left corner lies 2.0 cm from the left and 1.85 cm from the top edge.
        EXPECT_EQ(page->lines.front().from, QPoint(PxX(0), PxY(0)));
        EXPECT_EQ(PxX(0), 472);
        EXPECT_EQ(PxY(0), 437);
        EXPECT_EQ(page->lines[2].from, QPoint(PxX(17), PxY(26)));
        // Heading "区分" centred in x 1-3, y 0-1: box 472 x 236 pixels, text 2 em of 83.
        const TRecordedText* heading = FindText(*page, QStringLiteral("区分"));
        ASSERT_TRUE(heading);
        EXPECT_EQ(heading->x, int(std::trunc(600.0 / 2.54 + 472 + (472 - 166) / 2)));
        EXPECT_EQ(heading->y, PxY(0) + (236 - 83) / 2);
        EXPECT_EQ(heading->fontSize, 10);
        for (const char* h : {"ID", "工種", "項目", "規格値", "規格値2", "条件"})
            EXPECT_TRUE(FindText(*page, QString::fromUtf8(h))) << h;
        // "判定値" is wider than its 1 cm cell and is split over the two halves of the band.
        const TRecordedText* judge = FindText(*page, QStringLiteral("判定"));
        ASSERT_TRUE(judge);
        EXPECT_EQ(judge->y, PxY(0) + (118 - 83) / 2);
        EXPECT_EQ(FindText(*page, QStringLiteral("値"))->y, PxY(0.5) + (118 - 83) / 2);
    }

    // Page 1 begins with category 1 ("土現") in the first band, y 1-2.
    const TRecordingCanvas& first = *target.pages[0];
    const TRecordedText* category = FindText(first, QStringLiteral("土現"));
    ASSERT_TRUE(category);
    EXPECT_EQ(category->x, int(std::trunc(600.0 / 2.54 + 472 + (472 - 166) / 2)));
    EXPECT_EQ(category->y, PxY(1) + (236 - 83) / 2);
    // The upper limit in the upper half of the band, the lower one in the lower half.
    const TRecordedText* upper = FindText(first, QStringLiteral("2.4"));
    const TRecordedText* lower = FindText(first, QStringLiteral("1.5"));
    ASSERT_TRUE(upper && lower);
    EXPECT_EQ(upper->y, PxY(1) + (118 - 83) / 2);
    EXPECT_EQ(lower->y, PxY(1.5) + (118 - 83) / 2);
    // The own standard in x 9-11.
    const TRecordedText* own = FindText(first, QStringLiteral("1.50"));
    ASSERT_TRUE(own);
    EXPECT_GT(own->x, PxX(9));
    EXPECT_LT(own->x, PxX(11));
    // The 25th band holds "工25": 24 entries of category 2 follow the first.
    const TRecordedText* last = FindText(first, QStringLiteral("工25"));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->y, PxY(25) + (236 - 83) / 2);
    EXPECT_EQ(FindText(first, QStringLiteral("○"))->y, PxY(1) + (236 - 83) / 2);

    // Page 2: the 26th entry in its first band, with the ID it was stored under.
    const TRecordingCanvas& second = *target.pages[1];
    const TRecordedText* work = FindText(second, QStringLiteral("工26"));
    ASSERT_TRUE(work);
    EXPECT_EQ(work->y, PxY(1) + (236 - 83) / 2);
    EXPECT_TRUE(FindText(second, QStringLiteral("支庁")));
    EXPECT_TRUE(FindText(second, QStringLiteral("1"))); // stored first, ID 1
    EXPECT_TRUE(FindText(second, QStringLiteral("○"))); // 26 is even
    EXPECT_FALSE(FindText(second, QStringLiteral("工02")));
}

TEST_F(Kikakuti4ListTest, EmptyRegisterPrintsAnEmptyPageAndFullPagesNoTrailingOne) {
    TRecordingPages empty;
    PrintKikakuti4List(empty);
    ASSERT_EQ(empty.pages.size(), 1u);
    EXPECT_TRUE(empty.pages[0]->lines.empty());
    EXPECT_TRUE(empty.pages[0]->texts.empty());

    for (int i = 1; i <= 25; ++i)
        StoreEntry(i % 3 - 1, QStringLiteral("工%1").arg(i), QStringLiteral("平坦性"),
                   QStringLiteral("2"), QStringLiteral("1"));
    TRecordingPages full;
    PrintKikakuti4List(full);
    ASSERT_EQ(full.pages.size(), 1u);
    // No category (-1): its category cell stays empty; the first bands are those entries.
    int categories = 0;
    for (const auto& t : full.pages[0]->texts)
        categories += t.text == QStringLiteral("開発局") || t.text == QStringLiteral("土現") ||
                      t.text == QStringLiteral("支庁");
    EXPECT_EQ(categories, 25 - 8);
    for (const auto& t : full.pages[0]->texts)
        if (t.text == QStringLiteral("開発局")) {
            EXPECT_GE(t.y, PxY(9));
        }
}

TEST_F(Kikakuti4ListTest, AWorkTypeNameWiderThanItsCellStaysWholeOnOneLine) {
    // Sixteen full-width characters (the column's 32 bytes) in the 2 cm cell (472 pixels): at
    // half width they still need 664 pixels at 10 points, so the size goes down to 7 points (em
    // 58: 16 x 58 x 50 % = 464).
    const QString name = QString(16, QChar(0x5DE5)); // "工"
    StoreEntry(0, name, QStringLiteral("平坦性"), QStringLiteral("2.4"), QStringLiteral("-"));
    TRecordingPages target;
    PrintKikakuti4List(target);
    const TRecordedText* text = FindText(*target.pages[0], name);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->widthPercent, 50);
    EXPECT_EQ(text->fontSize, 7);
    EXPECT_EQ(text->x, int(std::trunc(600 * 3 / 2.54 + 472 + (472 - 464) / 2.0)));
    EXPECT_EQ(text->y, PxY(1) + (236 - 58) / 2);
    // Its neighbour and the headings are drawn as before, at 10 points.
    EXPECT_EQ(FindText(*target.pages[0], QStringLiteral("平坦性"))->fontSize, 10);
    EXPECT_EQ(FindText(*target.pages[0], QStringLiteral("平坦性"))->widthPercent, 100);
    EXPECT_EQ(target.pages[0]->FontSize(), 10);
}

TEST_F(EditKikakuti4Test, ListPrintShowsAPreviewOfAllPages) {
    const TPrinterSource old = SetPrinterSource([] { return PdfPrinter(600, 12); });
    for (int i = 1; i <= 26; ++i)
        StoreEntry(0, QStringLiteral("工%1").arg(i), QStringLiteral("平坦性"), QStringLiteral("2"),
                   QStringLiteral("1"));
    int pages = 0;
    WhenModal<TfrmPreView>([&](TfrmPreView* preview) {
        pages = preview->PrevX1->PageCount();
        const QString pdf = qEnvironmentVariable("TV_KIKAKUTI4_PDF");
        if (!pdf.isEmpty())
            preview->PrevX1->SaveAsPdf(pdf);
        preview->Button2->click();
    });
    MenuAction("Print1")->trigger();
    EXPECT_EQ(pages, 2);
    EXPECT_TRUE(env.messages.isEmpty());
    SetPrinterSource(old);
    PageShiftX = 0;
    PageShiftY = 0;
}

} // namespace
} // namespace tv::test
