// The measurement window with its tables: choosing a work and a work type, saving, reloading
// after a restart, deleting, and the pick of measured work types.
#include "app/Windows.h"
#include "app/uTavelon.h"
#include "measurement/uRokuma.h"
#include "platform/TableEngine.h"
#include "platform/gui/Controls.h"
#include "platform/gui/vaSpread.h"
#include "printing/Printer.h"
#include "printing/gui/PrintView.h"
#include "registers/gui/uListBox.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"
#include "tests/support/TestEnv.h"

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

class MainWindowDataTest : public EnvTest {
protected:
    void SetUp() override {
        TKoji work;
        work.CheckTable();
        work.Code = QStringLiteral("A001");
        work.Kojimei = QStringLiteral("国道改良工事");
        work.Save();
        TKosyu type;
        type.CheckTable();
        for (const char16_t* name : {u"表層工", u"基層工"}) {
            type.ID = 0;
            type.FindByName(QString::fromUtf16(name));
            type.Save();
        }
        Open();
    }
    void Open() {
        window = std::make_unique<TfrmEditTavelon>();
        window->show();
    }
    // Chooses the work and the work type as the user does from the two lists.
    void Choose(const QString& work, const QString& type) {
        window->ComboBox1->setEditText(work);
        window->ComboBox1Click();
        window->ComboBox4->setEditText(type);
        window->ComboBox4Click();
    }
    int Count(const QString& sql) {
        TQuery q(QStringLiteral("kestran"));
        q.AddSQL(sql);
        q.Open();
        return q.Fields(0).AsInteger();
    }

    std::unique_ptr<TfrmEditTavelon> window;
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
    Open();
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
    // Row 3 has no range: it was not stored.
    EXPECT_EQ(cells.CellText(7, 3), QString());
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
    Open();
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

    // Nothing stored: no question, nothing happens.
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
    QPrinter* seen = nullptr;
    SetPrinterSetupDialog([&](QWidget*, QPrinter* printer) {
        seen = printer;
        return true;
    });
    window->BitBtn4->click();
    EXPECT_EQ(seen, CurrentPrinter());
    EXPECT_NE(seen, nullptr);
    SetPrinterSetupDialog({});
    SetPrinterSource(old);
}

} // namespace
} // namespace tv::test
