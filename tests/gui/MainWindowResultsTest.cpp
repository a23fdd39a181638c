// The results shown are always those of the readings in the grid: random edits as a user makes
// them (typing, Delete, paste, undo, redo, exclusion clicks, Ｇ), each followed by a comparison
// of every result cell and box with a calculation of the grid from scratch.
#include "app/uTavelon.h"
#include "platform/gui/vaSpread.h"
#include "tests/gui/GridTyping.h"
#include "tests/support/gui/MainWindowFixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

#include <cmath>
#include <optional>
#include <random>

namespace tv::test {
namespace {

// Rows 1 to 8 take readings, rows 9 and 10 groups typed as 最大 and 最小; the rows below stay
// empty, and must stay so.
constexpr int kReadingRows = 8;
constexpr int kGroupRows = 10;
constexpr int kCheckedRows = 14;

std::optional<double> Number(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return text.trimmed().isEmpty() || !ok ? std::nullopt : std::optional<double>(v);
}

// What the results must be, from the cells that are input: the readings with their colours and
// the typed group values. Plain double arithmetic, written apart from the program's.
struct Expected {
    struct Line {
        std::optional<double> sum, squares, largest, smallest, range;
    };
    Line lines[kCheckedRows + 1];
    double total = 0, totalSquares = 0, rangeSum = 0;
    int n = 0, k = 0;
    std::optional<double> sigma, rangeSigma;

    Expected(const TGridData& g, int groupSize) {
        for (int r = 1; r <= kCheckedRows; ++r) {
            Line& line = lines[r];
            bool text = false;
            int used = 0;
            double sum = 0, squares = 0, hi = -1e300, lo = 1e300;
            for (int c = 2; c <= 11; ++c) {
                const std::optional<double> v = Number(g.CellText(c, r));
                if (!v)
                    continue;
                text = true;
                if (g.CellColor(c, r) != kColorBlack)
                    continue;
                ++used;
                sum += *v;
                squares += *v * *v;
                hi = std::max(hi, *v);
                lo = std::min(lo, *v);
            }
            if (text) {
                line.sum = sum;
                line.squares = squares;
                total += sum;
                totalSquares += squares;
                n += used;
                if (used >= 2) {
                    line.largest = hi;
                    line.smallest = lo;
                    line.range = hi - lo;
                }
            } else if (r > kReadingRows) {
                // A group typed as largest and smallest.
                line.largest = Number(g.CellText(14, r));
                line.smallest = Number(g.CellText(15, r));
                if (line.largest && line.smallest)
                    line.range = *line.largest - *line.smallest;
            }
            if (line.range) {
                ++k;
                rangeSum += std::round(*line.range * 10) / 10;
            }
        }
        if (n > 1)
            sigma = std::sqrt(std::max(0.0, (totalSquares - total * total / n) / (n - 1)));
        const double d2[] = {2.53, 2.70, 2.85, 2.97, 3.08};
        if (k > 0)
            rangeSigma = rangeSum / k / d2[groupSize - 6];
    }
};

class MainWindowResultsTest : public MainWindowFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(OpenMainWindow());
        grid = window->vaSpread1;
    }

    // A reading as typed: mostly small deviations, sometimes 100 or more, sometimes negative.
    QString Reading() {
        const int kind = Pick(20);
        if (kind == 0)
            return QString::number(100 + Pick(50));
        return QString::number((Pick(101) - 50) / 10.0, 'f', 1);
    }
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        grid->setFocus();
        QTest::keyClick(grid, key, modifiers);
    }

    // One random edit; returns what it did, for the failure message.
    QString Step() {
        const int row = 1 + Pick(kReadingRows);
        const int col = 2 + Pick(10);
        switch (Pick(9)) {
        case 0:
        case 1: {
            const QString value = Reading();
            TypeIntoCell(grid, col, row, value);
            return QStringLiteral("type %1 at %2,%3").arg(value).arg(col).arg(row);
        }
        case 2: {
            // A group typed into 最大 or 最小 of a group row.
            const int groupRow = kReadingRows + 1 + Pick(kGroupRows - kReadingRows);
            const int groupCol = 14 + Pick(2);
            const QString value = QString::number(Pick(60) / 10.0, 'f', 1);
            TypeIntoCell(grid, groupCol, groupRow, value);
            return QStringLiteral("group %1 at %2,%3").arg(value).arg(groupCol).arg(groupRow);
        }
        case 3: {
            const int rows = 1 + Pick(3), cols = 1 + Pick(6);
            const int lastCol = std::min(16, col + cols - 1);
            const int lastRow = std::min(kGroupRows, row + rows - 1);
            grid->SelectBlock(col, row, lastCol, lastRow);
            Key(Qt::Key_Delete, Qt::NoModifier);
            return QStringLiteral("delete %1,%2-%3,%4").arg(col).arg(row).arg(lastCol).arg(lastRow);
        }
        case 4: {
            // Readings pasted, sometimes over the line sums, which must never count.
            QString text;
            const int rows = 1 + Pick(3), cols = 1 + Pick(4);
            const int firstCol = Pick(4) == 0 ? 10 + Pick(3) : col;
            for (int r = 0; r < rows && row + r <= kReadingRows; ++r) {
                for (int c = 0; c < cols && firstCol + c <= 13; ++c)
                    text += (c ? QStringLiteral("\t") : QString()) +
                            (Pick(5) == 0 ? QStringLiteral("*") : QString()) + Reading();
                text += QLatin1Char('\n');
            }
            grid->SetActiveCell(firstCol, row);
            QGuiApplication::clipboard()->setText(text);
            Key(Qt::Key_V);
            return QStringLiteral("paste at %1,%2: %3").arg(firstCol).arg(row).arg(text);
        }
        case 5:
            Key(Qt::Key_Z);
            return QStringLiteral("undo");
        case 6:
            Key(Qt::Key_Y);
            return QStringLiteral("redo");
        case 7: {
            const QModelIndex index = grid->model()->index(row - 1, col - 1);
            grid->scrollTo(index);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualRect(index).center());
            return QStringLiteral("click %1,%2").arg(col).arg(row);
        }
        default: {
            const QString g = QString::number(6 + Pick(5));
            window->Edit13->setFocus();
            window->Edit13->selectAll();
            QTest::keyClicks(window->Edit13, g);
            QTest::keyClick(window->Edit13, Qt::Key_Return);
            return QStringLiteral("G %1").arg(g);
        }
        }
    }

    void ExpectCell(int col, int row, std::optional<double> value, double tolerance) {
        const QString shown = grid->Cells().CellText(col, row);
        if (!value) {
            EXPECT_EQ(shown, QString()) << "column " << col << " row " << row;
            return;
        }
        const std::optional<double> v = Number(shown);
        ASSERT_TRUE(v.has_value()) << "column " << col << " row " << row << " empty";
        EXPECT_NEAR(*v, *value, tolerance) << "column " << col << " row " << row;
    }
    void ExpectBox(const QLineEdit* box, std::optional<double> value, double tolerance) {
        if (!value) {
            EXPECT_EQ(box->text(), QString()) << box->objectName().toStdString();
            return;
        }
        const std::optional<double> v = Number(box->text());
        ASSERT_TRUE(v.has_value()) << box->objectName().toStdString() << " empty";
        EXPECT_NEAR(*v, *value, tolerance) << box->objectName().toStdString();
    }

    void Compare() {
        const Expected e(grid->Cells(), window->Edit13->text().toInt());
        for (int r = 1; r <= kCheckedRows; ++r) {
            const Expected::Line& line = e.lines[r];
            ExpectCell(12, r, line.sum, 0.051);
            ExpectCell(13, r, line.squares, 0.0051);
            ExpectCell(14, r, line.largest, 0.051);
            ExpectCell(15, r, line.smallest, 0.051);
            ExpectCell(16, r, line.range, 0.051);
        }
        ExpectBox(window->Edit5, e.total, 0.051);
        ExpectBox(window->Edit6, e.totalSquares, 0.0051);
        EXPECT_EQ(window->Edit7->text(), QString::number(e.n));
        ExpectBox(window->Edit8, e.sigma, 0.0101);
        ExpectBox(window->Edit9, e.rangeSum, 0.051);
        EXPECT_EQ(window->Edit10->text(), QString::number(e.k));
        ExpectBox(window->Edit11, e.rangeSigma, 0.0101);
    }

    TvaSpread* grid = nullptr;
    std::mt19937 random{20261209};
};

TEST_F(MainWindowResultsTest, EveryResultFollowsTheGridAfterEveryEdit) {
    window->Edit13->setText(QStringLiteral("10"));
    for (int step = 0; step < 160; ++step) {
        const QString what = Step();
        SCOPED_TRACE(QStringLiteral("step %1: %2").arg(step).arg(what).toStdString());
        Compare();
        if (HasFailure())
            return;
    }
}

} // namespace
} // namespace tv::test
