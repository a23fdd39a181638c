// The measurement grid used like a spreadsheet (copy, paste, clear, undo) and readings files
// going in and out of the measurement window.
#include "app/uTavelon.h"
#include "platform/gui/AppGuard.h"
#include "platform/gui/vaSpread.h"
#include "tests/support/TestEnv.h"
#include "tests/support/gui/MainWindowFixture.h"
#include "tests/support/gui/TestDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace tv::test {
namespace {

class MainWindowReadingsTest : public MainWindowFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(OpenMainWindow());
        grid = window->vaSpread1;
        grid->setFocus();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QTest::keyClick(grid, key, modifiers);
    }
    void Paste(int col, int row, const QString& text) {
        grid->SetActiveCell(col, row);
        QGuiApplication::clipboard()->setText(text);
        Key(Qt::Key_V);
    }
    QString Cell(int col, int row) { return grid->Cells().CellText(col, row); }
    int Color(int col, int row) { return grid->Cells().CellColor(col, row); }

    TvaSpread* grid = nullptr;
};

TEST_F(MainWindowReadingsTest, APastedBlockIsRecomputedOnceAndCopiesBackAsShown) {
    Paste(1, 1, QStringLiteral("No.0\t1.5\t2\t-0.5\r\nNo.1\t1\t*2\t3\r\n"));
    EXPECT_EQ(Cell(1, 2), QStringLiteral("No.1"));
    EXPECT_EQ(Cell(2, 1), QStringLiteral("1.5"));
    EXPECT_EQ(Cell(3, 2), QStringLiteral("2.0"));
    EXPECT_EQ(Color(3, 2), kColorRed);
    // Line results and totals follow: five used readings.
    EXPECT_EQ(Cell(12, 1), QStringLiteral("3.0"));
    EXPECT_EQ(window->Edit7->text(), QStringLiteral("5"));
    EXPECT_TRUE(window->IsModified());

    // The pasted block is selected; Ctrl+C gives it back as the cells show it.
    Key(Qt::Key_C);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("No.0\t1.5\t2.0\t-0.5\nNo.1\t1.0\t*2.0\t3.0\n"));
    // Comma-separated text pastes too.
    Paste(2, 3, QStringLiteral("4,5"));
    EXPECT_EQ(Cell(3, 3), QStringLiteral("5.0"));
}

TEST_F(MainWindowReadingsTest, ABadFieldOrAPastePastTheEdgeChangesNothing) {
    Paste(2, 2, QStringLiteral("1\t2\nabc\t3\n"));
    EXPECT_EQ(window->StatusPanel1->text(),
              QStringLiteral("3 行 2 列目 'abc' は数値ではありません"));
    EXPECT_EQ(Cell(2, 2), QString());
    EXPECT_FALSE(window->IsModified());

    Paste(16, 1, QStringLiteral("1\t2"));
    EXPECT_EQ(window->StatusPanel1->text(),
              QStringLiteral("1 行 17 列目 '2' は表の外です（表は 16 列 500 行まで）"));
    EXPECT_EQ(Cell(16, 1), QString());
    Paste(2, 500, QStringLiteral("1\n2"));
    EXPECT_EQ(Cell(2, 500), QString());
    EXPECT_FALSE(grid->CanUndo());
}

TEST_F(MainWindowReadingsTest, UndoAndRedoTypingPasteClearAndExclusion) {
    Paste(2, 1, QStringLiteral("1\t2\t3"));
    ASSERT_EQ(window->Edit7->text(), QStringLiteral("3"));
    // Delete clears the selected (pasted) block; undo brings it back, redo clears again.
    Key(Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(Cell(3, 1), QString());
    Key(Qt::Key_Z);
    EXPECT_EQ(Cell(3, 1), QStringLiteral("2.0"));
    EXPECT_EQ(window->Edit7->text(), QStringLiteral("3"));
    Key(Qt::Key_Y);
    EXPECT_EQ(Cell(2, 1), QString());
    Key(Qt::Key_Z);

    // An exclusion click, undone.
    const QModelIndex index = grid->model()->index(0, 2);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
    ASSERT_EQ(Color(3, 1), kColorRed);
    EXPECT_EQ(window->Edit7->text(), QStringLiteral("2"));
    Key(Qt::Key_Z);
    EXPECT_EQ(Color(3, 1), kColorBlack);
    EXPECT_EQ(window->Edit7->text(), QStringLiteral("3"));

    // Typing, undone; then the paste itself.
    grid->SetActiveCell(5, 1);
    QTest::keyClicks(grid, QStringLiteral("7"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(Cell(5, 1), QStringLiteral("7.0"));
    grid->setFocus();
    Key(Qt::Key_Z);
    EXPECT_EQ(Cell(5, 1), QString());
    Key(Qt::Key_Z);
    EXPECT_EQ(Cell(2, 1), QString());
    EXPECT_EQ(window->Edit7->text(), QStringLiteral("0"));
}

TEST_F(MainWindowReadingsTest, ALoggerFileReplacesTheReadingsOnlyWhenTheUserAgrees) {
    const QString logger =
        env.WriteFile(QStringLiteral("logger.csv"), "No.0,1\nNo.0,2\nNo.0,3\nNo.1,4\nNo.1,*5\n");
    Paste(2, 1, QStringLiteral("9\t9"));
    env.answerOk = false;
    window->ImportReadings(logger, 0);
    EXPECT_EQ(env.questions.size(), 1);
    EXPECT_EQ(Cell(2, 1), QStringLiteral("9.0"));

    // Through the menu and its dialog, the logger layout chosen as the file type.
    env.answerOk = true;
    TestDialogs dialogs(env);
    dialogs.fileAnswers.push_back(TChosenFile{logger, 2});
    window->Import1->trigger();
    EXPECT_EQ(env.questions.size(), 2);
    EXPECT_EQ(Cell(1, 1), QStringLiteral("No.0"));
    EXPECT_EQ(Cell(4, 1), QStringLiteral("3.0"));
    EXPECT_EQ(Cell(1, 2), QStringLiteral("No.1"));
    EXPECT_EQ(Color(3, 2), kColorRed);
    EXPECT_EQ(window->Edit7->text(), QStringLiteral("4"));
    EXPECT_TRUE(window->IsModified());

    // A file with a bad record is refused whole, naming the record.
    const QString bad = env.WriteFile(QStringLiteral("bad.csv"), "1\n2\nx\n");
    Guarded([&] { window->ImportReadings(bad, 2); });
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(env.messages[0].endsWith(QStringLiteral("3 行目 1 列目 'x' は数値ではありません")));
    EXPECT_EQ(Cell(4, 1), QStringLiteral("3.0"));
}

TEST_F(MainWindowReadingsTest, ExportsCsvAndAnExcelWorkbook) {
    Paste(1, 1, QStringLiteral("No.0\t1.25\t*2"));
    const QString csv = env.Root() + QStringLiteral("/out.csv");
    window->ExportReadings(csv);
    QFile in(csv);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    // With a byte-order mark for spreadsheets; the sums are of the readings as shown, and one
    // used reading has no range.
    EXPECT_EQ(in.readAll(), QByteArray("\xEF\xBB\xBFNo.0,1.3,*2.0,,,,,,,,,1.3,1.69,,,\n"));

    const QString xlsx = env.Root() + QStringLiteral("/out.xlsx");
    window->ExportReadings(xlsx);
    QFile book(xlsx);
    ASSERT_TRUE(book.open(QIODevice::ReadOnly));
    EXPECT_TRUE(book.read(2) == "PK"); // a zip container, as .xlsx files are
    EXPECT_FALSE(QFile::exists(xlsx + QStringLiteral(".part")));

    // A table of the data folder is never written over, in either form; the message names it.
    for (const QString& name : {QStringLiteral("RokumaData.DB"), QStringLiteral("Koji1.DB")}) {
        const QString table = env.DataFolder() + name;
        QFile before(table);
        ASSERT_TRUE(before.open(QIODevice::ReadOnly));
        const QByteArray bytes = before.readAll();
        env.messages.clear();
        Guarded([&] { window->ExportReadings(table); });
        ASSERT_EQ(env.messages.size(), 1);
        EXPECT_TRUE(env.messages[0].contains(QDir::toNativeSeparators(table)))
            << env.messages[0].toStdString();
        QFile after(table);
        ASSERT_TRUE(after.open(QIODevice::ReadOnly));
        EXPECT_TRUE(after.readAll() == bytes);
    }
}

} // namespace
} // namespace tv::test
