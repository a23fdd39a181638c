// The measurement window with its tables: choosing a work and a work type, saving, reloading
// after a restart, deleting, and the pick of measured work types.
#include "app/Windows.h"
#include "app/uTavelon.h"
#include "measurement/uRokuma.h"
#include "platform/TableEngine.h"
#include "platform/gui/Controls.h"
#include "platform/gui/RadioGroup.h"
#include "platform/gui/vaSpread.h"
#include "printing/Printer.h"
#include "printing/gui/PrintView.h"
#include "registers/gui/uListBox.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"
#include "tests/gui/GridTyping.h"
#include "tests/support/Measurements.h"
#include "tests/support/TableRows.h"
#include "tests/support/TestEnv.h"
#include "tests/support/gui/MainWindowFixture.h"
#include "tests/support/gui/TestDialogs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace tv::test {
namespace {

class MainWindowDataTest : public MainWindowFixture {
protected:
    void SetUp() override {
        StoreWork(QStringLiteral("A001"), QStringLiteral("国道改良工事"));
        TKosyu type;
        type.CheckTable();
        for (const char16_t* name : {u"表層工", u"基層工"}) {
            type.ID = 0;
            type.FindByName(QString::fromUtf16(name));
            type.Save();
        }
        OpenMainWindow();
    }
    int Count(const QString& sql) {
        TQuery q(QStringLiteral("kestran"));
        q.AddSQL(sql);
        q.Open();
        return q.Fields(0).AsInteger();
    }
};

TEST_F(MainWindowDataTest, ANewPairShowsTodayAndGroupSizeTen) {
    Choose(QStringLiteral("A001:国道改良工事"), QStringLiteral("表層工"));
    EXPECT_EQ(window->ComboBox1->currentText(), QStringLiteral("A001:国道改良工事"));
    EXPECT_EQ(window->Edit4->text(), QStringLiteral("2026/12/09"));
    EXPECT_EQ(window->Edit13->text(), QStringLiteral("10"));
    EXPECT_EQ(window->Edit1->text(), QString());
    EXPECT_EQ(window->Header().ID, 0);
}

TEST_F(MainWindowDataTest, AMeasurementSurvivesARestartExactly) {
    Choose(QStringLiteral("A001:国道改良工事"), QStringLiteral("表層工"));
    window->Edit1->setText(QStringLiteral("No.0"));
    window->Edit2->setText(QStringLiteral("No.5"));
    window->ComboBox2->setEditText(QStringLiteral("3mプロフィル"));
    window->ComboBox3->setEditText(QStringLiteral("山田太郎"));
    window->Edit12->setText(QStringLiteral("2.4"));
    TvaSpread& grid = *window->vaSpread1;
    grid.SetCellText(1, 1, QStringLiteral("0+00"));
    grid.SetCellText(2, 1, QStringLiteral("1.5"));
    grid.SetCellText(3, 1, QStringLiteral("2"));
    grid.SetCellText(4, 1, QStringLiteral("-0.5"));
    grid.SetCellText(5, 1, QStringLiteral("9"));
    grid.SetForeColor(kColorRed);
    grid.SetCellText(7, 3, QStringLiteral("1.1"));
    window->vaSpread1Click(7, 3); // an empty cell: stays black
    window->vaSpread1Click(3, 1); // excludes 2 ...
    window->vaSpread1Click(3, 1); // ... and uses it again
    const QString sigma = window->Edit8->text();
    window->BitBtn2->click();
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(window->Header().ID, 1);
    EXPECT_EQ(window->StatusPanel1->text(), QStringLiteral("保存しました 2026/12/09 10:30"));

    window.reset();
    OpenMainWindow();
    Choose(QStringLiteral("A001:国道改良工事"), QStringLiteral("表層工"));
    EXPECT_EQ(window->Edit1->text(), QStringLiteral("No.0"));
    EXPECT_EQ(window->Edit2->text(), QStringLiteral("No.5"));
    EXPECT_EQ(window->ComboBox2->currentText(), QStringLiteral("3mプロフィル"));
    EXPECT_EQ(window->ComboBox3->currentText(), QStringLiteral("山田太郎"));
    EXPECT_EQ(window->Edit12->text(), QStringLiteral("2.4"));
    EXPECT_EQ(window->Edit4->text(), QStringLiteral("2026/12/09"));
    EXPECT_EQ(window->Edit8->text(), sigma);
    EXPECT_EQ(window->Edit9->text(), QStringLiteral("2.5"));
    const TGridData& cells = window->vaSpread1->Cells();
    EXPECT_EQ(cells.CellText(1, 1), QStringLiteral("0+00"));
    EXPECT_EQ(cells.CellText(3, 1), QStringLiteral("2.0"));
    EXPECT_EQ(cells.CellColor(5, 1), kColorRed);
    EXPECT_EQ(cells.CellText(5, 1), QStringLiteral("9.0"));
    EXPECT_EQ(cells.CellText(16, 1), QStringLiteral("2.5"));
    // Row 3, a reading alone without a range, was stored too.
    EXPECT_EQ(cells.CellText(7, 3), QStringLiteral("1.1"));
    // The measuring person was registered.
    TSimei person;
    QStringList names;
    person.ListNames(names);
    EXPECT_EQ(names, QStringList{QStringLiteral("山田太郎")});
}

TEST_F(MainWindowDataTest, ALongComputedResultIsSavedAndShownWhole) {
    // Σ(d2) of a line of ten readings of 400 takes ten characters, more than the box lets the
    // user type.
    Choose(QStringLiteral("A001:国道改良工事"), QStringLiteral("表層工"));
    for (int c = 2; c <= 11; ++c)
        window->vaSpread1->SetCellText(c, 1, QStringLiteral("400"));
    window->vaSpread1Click(2, 1); // excludes one ...
    window->vaSpread1Click(2, 1); // ... and uses it again, computing the results
    ASSERT_EQ(window->Edit6->text(), QStringLiteral("1600000.00"));
    window->vaSpread1->SetCellText(16, 1, QStringLiteral("0.0")); // the line is stored
    window->BitBtn2->click();
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();

    window.reset();
    OpenMainWindow();
    Choose(QStringLiteral("A001:国道改良工事"), QStringLiteral("表層工"));
    EXPECT_EQ(window->Edit6->text(), QStringLiteral("1600000.00"));
    EXPECT_EQ(window->vaSpread1->Cells().CellText(13, 1), QStringLiteral("1600000.00"));
}

TEST_F(MainWindowDataTest, AFailedSaveKeepsWhatWasTypedAndStoresNothing) {
    Choose(QStringLiteral("A001:国道改良工事"), QStringLiteral("表層工"));
    window->Edit4->setText(QStringLiteral("2026/13/40"));
    window->vaSpread1->SetCellText(16, 1, QStringLiteral("2"));
    window->BitBtn2->click();
    EXPECT_EQ(window->StatusPanel1->text(), QString());
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_EQ(env.messages.front(), QStringLiteral("'2026/13/40' は日付ではありません"));
    EXPECT_EQ(window->Edit4->text(), QStringLiteral("2026/13/40"));
    EXPECT_EQ(window->vaSpread1->Cells().CellText(16, 1), QStringLiteral("2.0"));
    EXPECT_EQ(Count(QStringLiteral("select count(*) from RokumaKanri")), 0);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from RokumaLine")), 0);
}

TEST_F(MainWindowDataTest, DeleteAsksAndRemovesTheShownMeasurement) {
    Choose(QStringLiteral("A001:国道改良工事"), QStringLiteral("表層工"));
    window->vaSpread1->SetCellText(16, 1, QStringLiteral("2"));
    window->BitBtn2->click();
    ASSERT_EQ(Count(QStringLiteral("select count(*) from RokumaLine")), 1);

    env.answerOk = false;
    window->Delete1->trigger();
    EXPECT_EQ(env.questions, QStringList{QStringLiteral("本当に削除しますか？")});
    EXPECT_EQ(Count(QStringLiteral("select count(*) from RokumaKanri")), 1);

    env.answerOk = true;
    window->Delete1->trigger();
    EXPECT_EQ(Count(QStringLiteral("select count(*) from RokumaKanri")), 0);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from RokumaLine")), 0);
    EXPECT_EQ(window->vaSpread1->Cells().CellText(16, 1), QString());
    EXPECT_EQ(window->Edit13->text(), QStringLiteral("10"));

    // Nothing stored: no question, nothing happens, and the status bar says so.
    env.questions.clear();
    window->Delete1->trigger();
    EXPECT_TRUE(env.questions.isEmpty());
    EXPECT_TRUE(window->StatusPanel1->text().contains(QStringLiteral("削除するものがありません")));
}

TEST_F(MainWindowDataTest, TheWorkTypePickOffersTheMeasuredTypesOfTheWork) {
    TfrmListBox pick;
    AppWindows().frmListBox = &pick;
    for (const QString& type : {QStringLiteral("基層工"), QStringLiteral("表層工")}) {
        Choose(QStringLiteral("A001:国道改良工事"), type);
        window->vaSpread1->SetCellText(16, 1, QStringLiteral("1"));
        window->BitBtn2->click();
    }
    QStringList offered;
    QTimer::singleShot(0, [&] {
        for (int i = 0; i < pick.ListBox1->count(); ++i)
            offered << pick.ListBox1->item(i)->text();
        EXPECT_EQ(pick.windowTitle(), QStringLiteral("工種の選択"));
        pick.ListBox1->setCurrentRow(1);
        pick.Button1->click();
    });
    window->Label16Click();
    // In the order of the work-type register.
    EXPECT_EQ(offered, (QStringList{QStringLiteral("表層工"), QStringLiteral("基層工")}));
    EXPECT_EQ(window->ComboBox4->currentText(), QStringLiteral("基層工"));
    EXPECT_EQ(window->vaSpread1->Cells().CellText(16, 1), QStringLiteral("1.0"));
    AppWindows().frmListBox = nullptr;
}

TEST_F(MainWindowDataTest, TheListsComeFromTheRegisters) {
    window->ComboBox1DropDown();
    ASSERT_EQ(window->ComboBox1->count(), 1);
    EXPECT_EQ(window->ComboBox1->itemText(0), QStringLiteral("A001:国道改良工事"));
    EXPECT_EQ(window->ComboBox1->currentText(), QString()); // the typed text stays
    window->ComboBox4DropDown();
    EXPECT_EQ(window->ComboBox4->count(), 2);
    EXPECT_EQ(window->ComboBox4->itemText(0), QStringLiteral("表層工"));
}

TEST_F(MainWindowDataTest, PrintingSavesFirstEvenWhenThePreviewIsClosed) {
    const TPrinterSource old = SetPrinterSource([] { return PdfPrinter(600, 12); });
    Choose(QStringLiteral("A001:国道改良工事"), QStringLiteral("表層工"));
    window->vaSpread1->SetCellText(16, 1, QStringLiteral("2"));
    bool previewShown = false;
    QTimer::singleShot(0, [&] {
        auto* preview = qobject_cast<TfrmPreView*>(QApplication::activeModalWidget());
        previewShown = preview != nullptr;
        if (preview)
            preview->Button2->click();
    });
    window->BitBtn1->click();
    EXPECT_TRUE(previewShown);
    EXPECT_TRUE(env.messages.isEmpty());
    EXPECT_EQ(Count(QStringLiteral("select count(*) from RokumaLine")), 1);

    // Without a printer the save still happens and the message says why nothing is shown.
    SetPrinterSource([] { return std::unique_ptr<QPrinter>(); });
    window->BitBtn1->click();
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("プリンタが登録されていません")});
    SetPrinterSource(old);
}

TEST_F(MainWindowDataTest, PrinterSetUpRunsOnTheCurrentPrinter) {
    const TPrinterSource old = SetPrinterSource([] { return PdfPrinter(600, 12); });
    TestDialogs dialogs(env);
    window->BitBtn4->click();
    ASSERT_EQ(dialogs.printersSetUp.size(), 1U);
    EXPECT_EQ(dialogs.printersSetUp[0], CurrentPrinter());
    EXPECT_NE(dialogs.printersSetUp[0], nullptr);
    SetPrinterSource(old);
}

const QString kWork = QStringLiteral("A001:国道改良工事");
const QString kType = QStringLiteral("表層工");
const QString kOtherType = QStringLiteral("基層工");

TEST_F(MainWindowDataTest, TypedReadingsAreRoundedAsTypedAndComeBackAsShown) {
    Choose(kWork, kType);
    TvaSpread* grid = window->vaSpread1;
    TypeIntoCell(grid, 2, 1, QStringLiteral("1.45"));
    TypeIntoCell(grid, 3, 1, QStringLiteral("０．３５"));
    TypeIntoCell(grid, 4, 1, QStringLiteral("-0.15"));
    TypeIntoCell(grid, 5, 1, QStringLiteral("2.675"));
    TypeIntoCell(grid, 6, 1, QStringLiteral("-0.04"));
    // The last reading is still in edit when 登録 is pressed: it is taken and counted.
    TypeIntoCell(grid, 7, 1, QStringLiteral("0.449"), false);
    window->BitBtn2->click();
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
    const QStringList shown = {QStringLiteral("1.5"), QStringLiteral("0.4"), QStringLiteral("-0.2"),
                               QStringLiteral("2.7"), QStringLiteral("0.0"), QStringLiteral("0.4")};
    EXPECT_EQ(window->Edit5->text(), QStringLiteral("4.8"));
    EXPECT_EQ(window->Edit7->text(), QStringLiteral("6"));
    EXPECT_EQ(Rows(QStringLiteral("select SD,SD2,DATACOUNT from RokumaKanri")),
              QStringList{QStringLiteral("4.8|9.90|6")});
    EXPECT_EQ(Rows(QStringLiteral("select count(*) from RokumaData")),
              QStringList{QStringLiteral("6")});
    const QString sigma = window->Edit8->text();

    window.reset();
    OpenMainWindow();
    Choose(kWork, kType);
    for (int j = 2; j <= 7; ++j)
        EXPECT_EQ(window->vaSpread1->Cells().CellText(j, 1), shown[j - 2]) << j;
    EXPECT_EQ(window->Edit8->text(), sigma);
    EXPECT_FALSE(window->IsModified());
    // Recomputed from the reloaded cells, the results are the stored ones.
    window->vaSpread1Click(2, 1);
    window->vaSpread1Click(2, 1);
    EXPECT_EQ(window->Edit5->text(), QStringLiteral("4.8"));
    EXPECT_EQ(window->Edit8->text(), sigma);
}

TEST_F(MainWindowDataTest, AGapInALineIsSavedAndReloadedInItsCell) {
    Choose(kWork, kType);
    TvaSpread* grid = window->vaSpread1;
    TypeIntoCell(grid, 2, 1, QStringLiteral("1.5"));
    TypeIntoCell(grid, 3, 1, QStringLiteral("2.0"));
    TypeIntoCell(grid, 5, 1, QStringLiteral("-0.5"));
    EXPECT_EQ(window->Edit5->text(), QStringLiteral("3.0"));
    window->BitBtn2->click();
    EXPECT_EQ(Rows(QStringLiteral("select PNO from RokumaData order by PNO")),
              (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("3")}));

    window.reset();
    OpenMainWindow();
    Choose(kWork, kType);
    const TGridData& cells = window->vaSpread1->Cells();
    EXPECT_EQ(cells.CellText(4, 1), QString());
    EXPECT_EQ(cells.CellText(5, 1), QStringLiteral("-0.5"));
    EXPECT_EQ(cells.CellText(12, 1), QStringLiteral("3.0"));
    EXPECT_EQ(window->Edit5->text(), QStringLiteral("3.0"));
}

TEST_F(MainWindowDataTest, EveryTypedRowIsSavedAndTheFormIsTheWorks) {
    // The work's print form 開発局 prints the bureau form; a new pair starts with it.
    Choose(kWork, kType);
    EXPECT_EQ(window->RadioGroup1->ItemIndex(), 1);
    window->RadioGroup1->SetItemIndex(0);
    TvaSpread* grid = window->vaSpread1;
    TypeIntoCell(grid, 2, 1, QStringLiteral("1"));
    TypeIntoCell(grid, 2, 3, QStringLiteral("2"));    // below an empty row 2: a line all the same
    TypeIntoCell(grid, 1, 5, QStringLiteral("No.4")); // a position alone
    window->BitBtn2->click();
    EXPECT_TRUE(env.questions.isEmpty());
    EXPECT_EQ(Rows(QStringLiteral("select PNO from RokumaData order by PNO")),
              (QStringList{QStringLiteral("0"), QStringLiteral("20")}));
    EXPECT_EQ(Rows(QStringLiteral("select LNO from RokumaLine order by LNO")),
              (QStringList{QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("5")}));
    EXPECT_EQ(window->Edit7->text(), QStringLiteral("2"));
    EXPECT_FALSE(window->IsModified());
    // Loading gives back the grid, and the form registered for the work. What the status bar
    // said of the saved pair goes when another is shown.
    window->ComboBox4->setEditText(QStringLiteral("基層工"));
    window->ComboBox4Click();
    EXPECT_EQ(window->StatusPanel1->text(), QString());
    Choose(kWork, kType);
    EXPECT_EQ(grid->Cells().CellText(2, 3), QStringLiteral("2.0"));
    EXPECT_EQ(grid->Cells().CellText(1, 5), QStringLiteral("No.4"));
    EXPECT_EQ(window->RadioGroup1->ItemIndex(), 1);
}

TEST_F(MainWindowDataTest, OpeningAListOrChoosingTheSamePairAsksNothing) {
    Choose(kWork, kType);
    TypeIntoCell(window->vaSpread1, 2, 1, QStringLiteral("2"));
    ASSERT_TRUE(window->IsModified());
    env.answerYesNoCancel = TAnswer::No; // would drop the typing if it were asked
    for (TComboBox* list : {window->ComboBox1, window->ComboBox4}) {
        // Opened and closed by F4, by Alt+↓ and Esc, and by the mouse: the list is left as is.
        list->setFocus();
        QTest::keyClick(list, Qt::Key_F4);
        QTest::keyClick(list->view(), Qt::Key_F4);
        QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier);
        QTest::keyClick(list->view(), Qt::Key_Escape);
        list->showPopup();
        list->hidePopup();
        // The entry of the pair shown, chosen again.
        const int shown = list->findText(list->currentText());
        list->showPopup();
        if (shown >= 0)
            list->view()->setCurrentIndex(list->model()->index(shown, 0));
        QTest::keyClick(list->view(), Qt::Key_Return);
    }
    EXPECT_TRUE(env.questions.isEmpty()) << env.questions.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(window->vaSpread1->Cells().CellText(2, 1), QStringLiteral("2.0"));
    EXPECT_TRUE(window->IsModified());
}

TEST_F(MainWindowDataTest, ChoosingAnotherPairWithChangesAsksFirst) {
    Choose(kWork, kType);
    TypeIntoCell(window->vaSpread1, 16, 1, QStringLiteral("2"));
    ASSERT_TRUE(window->IsModified());

    // キャンセル: everything stays, the work-type box included.
    env.answerYesNoCancel = TAnswer::Cancel;
    window->ComboBox4->setEditText(kOtherType);
    window->ComboBox4Click();
    EXPECT_EQ(env.questions, QStringList{QStringLiteral("変更を保存しますか？")});
    EXPECT_EQ(window->ComboBox4->currentText(), kType);
    EXPECT_EQ(window->vaSpread1->Cells().CellText(16, 1), QStringLiteral("2.0"));
    EXPECT_EQ(Count(QStringLiteral("select count(*) from RokumaKanri")), 0);

    // はい: saved under the pair it belongs to, then the chosen pair is shown.
    env.answerYesNoCancel = TAnswer::Yes;
    window->ComboBox4->setEditText(kOtherType);
    window->ComboBox4Click();
    EXPECT_EQ(Rows(QStringLiteral("select KosyuName,HOSR from RokumaKanri")),
              QStringList{QStringLiteral("表層工|2.0")});
    EXPECT_EQ(window->ComboBox4->currentText(), kOtherType);
    EXPECT_EQ(window->vaSpread1->Cells().CellText(16, 1), QString());

    // いいえ: the changes are dropped. Nothing changed: no question.
    TypeIntoCell(window->vaSpread1, 16, 1, QStringLiteral("3"));
    env.answerYesNoCancel = TAnswer::No;
    env.questions.clear();
    Choose(kWork, kType);
    EXPECT_EQ(env.questions, QStringList{QStringLiteral("変更を保存しますか？")});
    EXPECT_EQ(Count(QStringLiteral("select count(*) from RokumaKanri")), 1);
    env.questions.clear();
    Choose(kWork, kOtherType);
    EXPECT_TRUE(env.questions.isEmpty());
}

TEST_F(MainWindowDataTest, ClosingWithChangesAsksFirst) {
    Choose(kWork, kType);
    window->close();
    EXPECT_TRUE(env.questions.isEmpty()); // nothing changed
    OpenMainWindow();
    Choose(kWork, kType);
    QTest::keyClicks(window->Edit1, QStringLiteral("No.1"));

    env.answerYesNoCancel = TAnswer::Cancel;
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window->Edit1, Qt::Key_Escape);
    // The button's shortcut clicks it a moment later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return env.questions.size() == 1; }));
    EXPECT_TRUE(window->isVisible());
    window->Close1->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(env.questions.size(), 2);

    env.answerYesNoCancel = TAnswer::Yes;
    window->BitBtn3->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(Rows(QStringLiteral("select STARTP from RokumaKanri")),
              QStringList{QStringLiteral("No.1")});
}

TEST_F(MainWindowDataTest, ChangingGRecomputesAtOnceAndTheSaveStoresTheResultsOfWhatIsStored) {
    Choose(kWork, kType);
    TvaSpread* grid = window->vaSpread1;
    TypeIntoCell(grid, 16, 1, QStringLiteral("2"));
    EXPECT_EQ(window->Edit11->text(), QStringLiteral("0.65"));
    // Ｇ typed and left with Enter.
    window->Edit13->selectAll();
    QTest::keyClicks(window->Edit13, QStringLiteral("6"));
    QTest::keyClick(window->Edit13, Qt::Key_Return);
    EXPECT_EQ(window->Edit11->text(), QStringLiteral("0.79"));
    // Ｇ put into the box without leaving it, and a range still in edit: 登録 recomputes first.
    window->Edit13->setText(QStringLiteral("8"));
    TypeIntoCell(grid, 16, 2, QStringLiteral("4"), false);
    window->BitBtn2->click();
    EXPECT_EQ(Rows(QStringLiteral("select HOSR,HODATACOUNT,HOHENSA,GP from RokumaKanri")),
              QStringList{QStringLiteral("6.0|2|1.05|8")});
}

} // namespace
} // namespace tv::test
