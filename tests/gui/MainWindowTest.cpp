// The measurement window driven as a user would: typing readings, Enter, clicks on cells.
#include "Version.h"
#include "app/uTavelon.h"
#include "measurement/uRokuma.h"
#include "platform/gui/Controls.h"
#include "platform/gui/RadioGroup.h"
#include "platform/gui/vaSpread.h"
#include "tests/gui/GridTyping.h"
#include "tests/support/TestEnv.h"
#include "tests/support/gui/MainWindowFixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <cstdio>
#include <functional>
#include <random>

namespace tv::test {
namespace {

class MainWindowTest : public MainWindowFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(OpenMainWindow());
        grid = window->vaSpread1;
    }

    // Types a text into a cell and presses Enter there, as the user does.
    void TypeIntoCell(int col, int row, const QString& text) {
        test::TypeIntoCell(grid, col, row, text);
    }

    void ClickCell(int col, int row) {
        const QModelIndex index = grid->model()->index(row - 1, col - 1);
        grid->scrollTo(index);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
    }

    QString Cell(int col, int row) { return grid->Cells().CellText(col, row); }
    int Color(int col, int row) { return grid->Cells().CellColor(col, row); }

    TvaSpread* grid = nullptr;
};

TEST_F(MainWindowTest, LaysOutTheControlsAndShowsTheVersion) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("舗装路面の平坦性測定"));
    EXPECT_EQ(window->StatusPanel0->text(), QStringLiteral(TAVELON_FILE_VERSION));
    EXPECT_EQ(window->ComboBox1->geometry(), QRect(48, 0, 401, 20));
    EXPECT_EQ(window->Edit4->geometry().topLeft(), QPoint(288, 56));
    EXPECT_EQ(window->vaSpread1->geometry(), QRect(8, 120, 619, 273));
    EXPECT_EQ(window->Edit13->geometry(), QRect(142, 440, 20, 20));
    EXPECT_EQ(window->BitBtn3->geometry().topLeft(), QPoint(552, 440));
    EXPECT_EQ(window->RadioGroup1->ItemIndex(), 0);
    EXPECT_EQ(grid->MaxRows(), 500);
    EXPECT_EQ(grid->model()->columnCount(), 16);
    EXPECT_EQ(grid->model()->headerData(12, Qt::Horizontal).toString(), QStringLiteral("Σ(d2)"));
    // Numbers and codes switch Japanese input off, names allow it.
    EXPECT_FALSE(window->Edit1->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(window->ComboBox3->testAttribute(Qt::WA_InputMethodEnabled));
    const QStringList menus = [&] {
        QStringList titles;
        for (QAction* action : window->menuBar()->actions())
            titles << action->text();
        return titles;
    }();
    EXPECT_EQ(menus, (QStringList{QStringLiteral("ファイル"), QStringLiteral("データ"),
                                  QStringLiteral("表示"), QStringLiteral("ヘルプ")}));
}

TEST_F(MainWindowTest, EnterInAReadingRecomputesTheLineAndTheTotals) {
    TypeIntoCell(1, 1, QStringLiteral("No.1"));
    TypeIntoCell(2, 1, QStringLiteral("1.5"));
    TypeIntoCell(3, 1, QStringLiteral("2"));
    TypeIntoCell(4, 1, QStringLiteral("-0.5"));
    EXPECT_EQ(Cell(1, 1), QStringLiteral("No.1"));
    EXPECT_EQ(Cell(12, 1), QStringLiteral("3.0"));
    EXPECT_EQ(Cell(13, 1), QStringLiteral("6.50"));
    EXPECT_EQ(Cell(14, 1), QStringLiteral("2.0"));
    EXPECT_EQ(Cell(15, 1), QStringLiteral("-0.5"));
    EXPECT_EQ(Cell(16, 1), QStringLiteral("2.5"));
    EXPECT_EQ(window->Edit5->text(), QStringLiteral("3.0"));
    EXPECT_EQ(window->Edit6->text(), QStringLiteral("6.50"));
    EXPECT_EQ(window->Edit7->text(), QStringLiteral("3"));
    EXPECT_EQ(window->Edit9->text(), QStringLiteral("2.5"));
    EXPECT_EQ(window->Edit10->text(), QStringLiteral("1"));
    // An empty Ｇ became 10 with the first group; the form chosen stays.
    EXPECT_EQ(window->Edit13->text(), QStringLiteral("10"));
    EXPECT_EQ(window->Header().GP, QStringLiteral("10"));
    EXPECT_EQ(window->RadioGroup1->ItemIndex(), 0);
}

TEST_F(MainWindowTest, EnterMovesTheCursorByColumn) {
    TypeIntoCell(1, 1, QStringLiteral("A"));
    EXPECT_EQ(grid->ActiveCol(), 2);
    TypeIntoCell(11, 1, QStringLiteral("1"));
    EXPECT_EQ(grid->ActiveCol(), 1);
    EXPECT_EQ(grid->ActiveRow(), 2);
    TypeIntoCell(16, 2, QStringLiteral("2"));
    EXPECT_EQ(grid->ActiveCol(), 16);
    EXPECT_EQ(grid->ActiveRow(), 3);
}

// The shortest text a practised user types for a reading of one decimal: no leading zero, no
// ".0" ("0.5" → ".5", "-0.5" → "-.5", "2.0" → "2", "0.0" → "0").
QString ShortReading(QString text) {
    text.remove(QRegularExpression(QStringLiteral("\\.0$")));
    return text.replace(QRegularExpression(QStringLiteral("^(-?)0\\.")), QStringLiteral("\\1."));
}

TEST_F(MainWindowTest, AMeasurementIsTypedAsInASpreadsheet) {
    // Thirty lines of ten readings at 15 m, every key counted as the user presses it: once with
    // every reading written out, once in the short forms, which store the same values.
    const auto typeMeasurement = [&](const std::function<QString(const QString&)>& form) {
        std::mt19937 random(30);
        int keys = 0;
        const auto press = [&](const QString& text) {
            for (const QChar ch : text)
                QTest::keyClicks(QApplication::focusWidget(), QString(ch));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            keys += static_cast<int>(text.size()) + 1;
        };
        grid->SetActiveCell(1, 1);
        grid->setFocus();
        for (int line = 1; line <= 30; ++line) {
            // The first two positions are typed; the rest are proposed, and Enter after a line's
            // last reading goes on at the next line's first reading.
            EXPECT_EQ(grid->ActiveCol(), line <= 2 ? 1 : 2) << line;
            EXPECT_EQ(grid->ActiveRow(), line);
            if (line <= 2)
                press(line == 1 ? QStringLiteral("No.0+0.0") : QStringLiteral("No.0+15.0"));
            for (int i = 0; i < 10; ++i)
                press(form(QString::number(
                    std::uniform_int_distribution<int>(-25, 25)(random) / 10.0, 'f', 1)));
        }
        return keys / 300.0;
    };
    const auto cells = [&] {
        QStringList shown;
        for (int i = 0; i < 30 * 16; ++i)
            shown << Cell(i % 16 + 1, i / 16 + 1);
        return shown;
    };
    const double perReadingShort = typeMeasurement(ShortReading);
    const QStringList typedShort = cells();
    ASSERT_NO_FATAL_FAILURE(OpenMainWindow());
    grid = window->vaSpread1;
    const double perReading = typeMeasurement([](const QString& full) { return full; });
    EXPECT_EQ(cells(), typedShort);
    EXPECT_EQ(Cell(1, 3), QStringLiteral("No.1+10.0"));
    EXPECT_EQ(Cell(1, 30), QStringLiteral("No.21+15.0"));
    EXPECT_EQ(window->Edit7->text(), QStringLiteral("300"));
    RecordProperty("keys_per_reading_full", QString::number(perReading, 'f', 2).toStdString());
    RecordProperty("keys_per_reading_short",
                   QString::number(perReadingShort, 'f', 2).toStdString());
    std::printf("keys per reading: %.2f written out, %.2f in short forms\n", perReading,
                perReadingShort);
    // One decimal, about half of them negative: 4.59 written out; 4.06 in short forms, of which
    // the two typed positions are 0.06 and the readings with their Enter 4.00.
    EXPECT_LT(perReading, 4.6);
    EXPECT_LT(perReadingShort, 4.1);
    // A proposed position is undone like a typed one.
    EXPECT_TRUE(grid->CanUndo());

    // While a value is typed the arrows take it and move; after F2 they move the caret.
    grid->SetActiveCell(2, 31);
    grid->setFocus();
    QTest::keyClicks(grid, QStringLiteral("5"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(Cell(2, 31), QStringLiteral("5.0"));
    EXPECT_EQ(grid->ActiveCol(), 3);
    QTest::keyClick(grid, Qt::Key_Left);
    QTest::keyClick(grid, Qt::Key_F2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(Cell(2, 31), QStringLiteral("5.1")); // "5.|0" with a 1 at the caret
    // Ctrl+End goes to the last filled cell.
    grid->SetActiveCell(1, 1);
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid->ActiveRow(), 31);
    EXPECT_EQ(grid->ActiveCol(), 13); // the line's Σ(d2)
}

// Groups typed without their readings: 最大, Enter, 最小, Enter, and the next line's 最大 follows,
// whatever Enter did before; Ｒ is calculated. A range typed alone goes on downwards.
TEST_F(MainWindowTest, GroupsTypedAsTheirExtremesTakeTwoValuesAndTwoEntersALine) {
    TypeIntoCell(11, 1, QStringLiteral("1")); // Enter last went to the next line's start
    grid->SetActiveCell(14, 2);
    grid->setFocus();
    for (int row = 2; row <= 4; ++row) {
        for (const QString& value : {QStringLiteral("3.5"), QStringLiteral("-1")}) {
            for (const QChar ch : value)
                QTest::keyClicks(QApplication::focusWidget(), QString(ch));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        EXPECT_EQ(Cell(16, row), QStringLiteral("4.5")) << row;
        EXPECT_EQ(grid->ActiveCol(), 14) << row;
        EXPECT_EQ(grid->ActiveRow(), row + 1);
    }
    TypeIntoCell(16, 5, QStringLiteral("2"));
    EXPECT_EQ(grid->ActiveCol(), 16);
    EXPECT_EQ(grid->ActiveRow(), 6);
}

TEST_F(MainWindowTest, ReadingCellsRefuseWhatIsNotANumber) {
    TypeIntoCell(2, 1, QStringLiteral("abc"));
    EXPECT_EQ(Cell(2, 1), QString());
    TypeIntoCell(2, 1, QStringLiteral("1.25"));
    EXPECT_EQ(Cell(2, 1), QStringLiteral("1.3"));
    TypeIntoCell(3, 1, QStringLiteral("123456789"));
    EXPECT_EQ(Cell(3, 1), QStringLiteral("12345678.0"));
}

TEST_F(MainWindowTest, NumberCellsTakeFullWidthInputAndSayWhatTheyRefuse) {
    TypeIntoCell(2, 1, QStringLiteral("１．４５"));
    EXPECT_EQ(Cell(2, 1), QStringLiteral("1.5"));
    TypeIntoCell(14, 2, QStringLiteral("－０．１５")); // a group's 最大, typed
    EXPECT_EQ(Cell(14, 2), QStringLiteral("-0.2"));
    // The short forms, in either width, store what the long ones do.
    for (const auto& [typed, stored] : {std::pair{".5", "0.5"},
                                        {"-.5", "-0.5"},
                                        {"2", "2.0"},
                                        {"-0", "0.0"},
                                        {"-0.0", "0.0"},
                                        {"．５", "0.5"},
                                        {"－．５", "-0.5"},
                                        {"２", "2.0"},
                                        {"－０", "0.0"}}) {
        TypeIntoCell(5, 3, QString::fromUtf8(typed));
        EXPECT_EQ(Cell(5, 3), QString::fromUtf8(stored)) << typed;
    }
    // A comma is refused with a beep and a word, not dropped silently.
    test::TypeIntoCell(grid, 3, 1, QStringLiteral("3,5"), false);
    EXPECT_EQ(window->StatusPanel1->text(), QStringLiteral("数値を入力してください"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(Cell(3, 1), QStringLiteral("35.0"));
    test::TypeIntoCell(grid, 4, 1, QStringLiteral("123456789"), false);
    EXPECT_EQ(window->StatusPanel1->text(),
              QStringLiteral("-99999999～99999999 の数値を入力してください"));
}

TEST_F(MainWindowTest, AClickTogglesAReadingBetweenUsedAndExcluded) {
    TypeIntoCell(2, 1, QStringLiteral("1"));
    TypeIntoCell(3, 1, QStringLiteral("3"));
    EXPECT_EQ(window->Edit7->text(), QStringLiteral("2"));

    ClickCell(3, 1);
    EXPECT_EQ(Color(3, 1), kColorRed);
    EXPECT_EQ(window->Edit7->text(), QStringLiteral("1"));
    EXPECT_EQ(Cell(12, 1), QStringLiteral("1.0"));

    ClickCell(3, 1);
    EXPECT_EQ(Color(3, 1), kColorBlack);
    EXPECT_EQ(window->Edit7->text(), QStringLiteral("2"));

    // An empty cell stays black; clicks outside the readings do nothing.
    ClickCell(5, 1);
    EXPECT_EQ(Color(5, 1), kColorBlack);
    const QString sum = Cell(12, 1);
    ClickCell(12, 1);
    ClickCell(1, 1);
    EXPECT_EQ(Color(12, 1), kColorBlack);
    EXPECT_EQ(Cell(12, 1), sum);
}

TEST_F(MainWindowTest, ARangeTypedInColumn16CountsAsAGroup) {
    TypeIntoCell(16, 1, QStringLiteral("2"));
    TypeIntoCell(16, 2, QStringLiteral("2"));
    EXPECT_EQ(window->Edit9->text(), QStringLiteral("4.0"));
    EXPECT_EQ(window->Edit10->text(), QStringLiteral("2"));
    EXPECT_EQ(window->Edit11->text(), QStringLiteral("0.65"));
}

TEST_F(MainWindowTest, AnErrorInAHandlerIsShownOnceAndTheWindowStays) {
    window->Edit13->setText(QStringLiteral("x"));
    TypeIntoCell(16, 1, QStringLiteral("2"));
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_EQ(env.messages.front(), QStringLiteral("'x' は整数ではありません"));
    EXPECT_TRUE(window->isVisible());
    // What can be known without Ｇ is shown; the range σ is not.
    EXPECT_EQ(window->Edit9->text(), QStringLiteral("2.0"));
    EXPECT_EQ(window->Edit11->text(), QString());
    EXPECT_EQ(Cell(16, 1), QStringLiteral("2.0"));
}

TEST_F(MainWindowTest, AGroupSizeOutsideTheTableIsReportedInTheStatusBar) {
    window->Edit13->setText(QStringLiteral("5"));
    TypeIntoCell(16, 1, QStringLiteral("2"));
    EXPECT_TRUE(env.messages.isEmpty());
    EXPECT_EQ(window->Edit9->text(), QStringLiteral("2.0"));
    EXPECT_EQ(window->Edit10->text(), QStringLiteral("1"));
    EXPECT_EQ(window->Edit11->text(), QString());
    EXPECT_FALSE(window->StatusPanel1->text().isEmpty());
    window->Edit13->setText(QStringLiteral("10"));
    TypeIntoCell(16, 1, QStringLiteral("2"));
    EXPECT_TRUE(window->StatusPanel1->text().isEmpty());
}

TEST_F(MainWindowTest, ARecalculationNeverChangesTheChosenReportForm) {
    for (const int form : {0, 1}) {
        window->RadioGroup1->SetItemIndex(form);
        TypeIntoCell(2 + form, 1, QStringLiteral("1"));
        TypeIntoCell(4, 1, QStringLiteral("2"));
        EXPECT_FALSE(window->Edit11->text().isEmpty());
        EXPECT_EQ(window->RadioGroup1->ItemIndex(), form);
    }
}

TEST_F(MainWindowTest, AResultLongerThanItsColumnIsShownWholeWhileTypingStopsAtTheLimit) {
    // Σ(d2) of one reading of 400 takes nine characters, more than a user may type into the box.
    // The box shows the result as computed (and the save stores it whole).
    TypeIntoCell(2, 1, QStringLiteral("400"));
    EXPECT_EQ(window->Edit6->text(), QStringLiteral("160000.00"));
    // Typing still stops at the column's bytes: five full-width characters fill ten.
    window->Edit1->clear();
    for (const QChar ch : QStringLiteral("ＡＢＣＤＥＦ"))
        QTest::sendKeyEvent(QTest::Click, window->Edit1, Qt::Key_unknown, QString(ch),
                            Qt::NoModifier);
    EXPECT_EQ(window->Edit1->text(), QStringLiteral("ＡＢＣＤＥ"));
    EXPECT_EQ(window->Edit1->property("refusal").toString(),
              QStringLiteral("「測定開始点」は全角5文字（半角10文字）までです"));
    // The position cell says so too, in the status bar.
    test::TypeIntoCell(grid, 1, 2, QStringLiteral("No.12+15.5m"), false);
    EXPECT_EQ(window->StatusPanel1->text(),
              QStringLiteral("「測定位置」は全角5文字（半角10文字）までです"));
    window->Edit6->clear();
    QTest::keyClicks(window->Edit6, QStringLiteral("123456789"));
    EXPECT_EQ(window->Edit6->text(), QStringLiteral("12345678"));
}

} // namespace
} // namespace tv::test
