// What a user meets before any data: the grid shows usual values whole, the main window grows with
// the screen and remembers its place, message boxes carry the program's name and default to
// Cancel, Qt's own texts are Japanese, and every window's help page is there.
#include "app/uChart.h"
#include "app/uImportParadox.h"
#include "app/uTavelon.h"
#include "platform/Messages.h"
#include "platform/gui/AppGuard.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Help.h"
#include "platform/gui/Installed.h"
#include "platform/gui/vaSpread.h"
#include "printing/gui/PrintView.h"
#include "printing/gui/ProgramDialogs.h"
#include "registers/gui/uEditHacchusya.h"
#include "registers/gui/uEditKikakuti4.h"
#include "registers/gui/uEditKoji.h"
#include "registers/gui/uEditKosyu.h"
#include "registers/gui/uEditSimei.h"
#include "registers/gui/uEditUkeoisya.h"
#include "registers/gui/uListBox.h"
#include "registers/uKoji.h"
#include "settings/RegistryUtility.h"
#include "settings/gui/uSetDataPath.h"
#include "tests/gui/WhenModal.h"
#include "tests/support/TestEnv.h"
#include "tests/support/gui/TestDialogs.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QToolTip>
#include <QTreeView>

namespace tv::test {
namespace {

class WindowFitTest : public EnvTest {
protected:
    std::unique_ptr<TfrmEditTavelon> Shown() {
        auto window = std::make_unique<TfrmEditTavelon>();
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }
    // The text a cell shows against the room its column gives it.
    static void ExpectWhole(TvaSpread* grid, int col, int row) {
        const QModelIndex index = grid->model()->index(row - 1, col - 1);
        const QString shown = index.data(Qt::DisplayRole).toString();
        const int room = grid->visualRect(index).width() - 2 * TvaSpread::kCellMargin;
        EXPECT_LE(grid->fontMetrics().horizontalAdvance(shown), room)
            << "column " << col << ": " << shown.toStdString();
    }
};

TEST_F(WindowFitTest, TheGridShowsUsualValuesWholeAtTheLayoutsSize) {
    auto window = Shown();
    TvaSpread* grid = window->vaSpread1;
    ASSERT_EQ(grid->geometry(), QRect(8, 120, 619, 273));
    grid->Cells().SetCellText(1, 1, QStringLiteral("No.123+5.5"));
    for (int col = 2; col <= 11; ++col)
        grid->Cells().SetCellText(col, 1, QStringLiteral("-99.9"));
    grid->Cells().SetCellText(12, 1, QStringLiteral("-999.9"));
    grid->Cells().SetCellText(13, 1, QStringLiteral("99999.99"));
    for (int col = 14; col <= 16; ++col)
        grid->Cells().SetCellText(col, 1, QStringLiteral("-99.9"));
    for (int col = 1; col <= 16; ++col)
        ExpectWhole(grid, col, 1);
    // All sixteen columns are in view: no sideways scrolling at the layout's size.
    const int right = grid->columnViewportPosition(15) + grid->columnWidth(15);
    EXPECT_LE(right, grid->viewport()->width());
    // The rightmost number sits at the right edge of its cell.
    EXPECT_EQ(grid->model()->index(0, 1).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
              int(Qt::AlignRight));

    // A value too wide for its column shows whole in the tooltip.
    grid->Cells().SetCellText(2, 2, QStringLiteral("-99999999.0"));
    EXPECT_FALSE(grid->CellTextFits(2, 2));
    const QRect cell = grid->visualRect(grid->model()->index(1, 1));
    QHelpEvent tip(QEvent::ToolTip, cell.center(), grid->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(grid->viewport(), &tip);
    EXPECT_EQ(QToolTip::text(), grid->Cells().CellText(2, 2));
    QToolTip::hideText();
    // Dragging the column's edge widens it; it stays so when the window is resized.
    grid->horizontalHeader()->resizeSection(1, 120);
    EXPECT_TRUE(grid->CellTextFits(2, 2));
    window->resize(window->width() + 40, window->height());
    EXPECT_EQ(grid->columnWidth(1), 120);
}

TEST_F(WindowFitTest, TheGridAndTheBottomRowFollowTheWindowAndThePlacementIsKept) {
    auto window = Shown();
    TvaSpread* grid = window->vaSpread1;
    const int rowsBefore = grid->rowAt(grid->viewport()->height() - 1);
    const int columnBefore = grid->columnWidth(5);
    const QPoint comboBefore = window->ComboBox1->pos();
    const QRect work = window->screen()->availableGeometry();
    const QRect enlarged(work.left() + 10, work.top() + 10, window->width() + 100,
                         std::min(window->height() + 60, work.height() - 20));
    window->setGeometry(enlarged);
    const int dy = enlarged.height() - 515;
    EXPECT_EQ(grid->geometry(), QRect(8, 120, 619 + 100, 273 + dy));
    EXPECT_EQ(window->BitBtn3->pos(), QPoint(552, 440 + dy));
    EXPECT_EQ(window->Edit9->pos(), QPoint(8, 440 + dy));
    EXPECT_EQ(window->ComboBox1->pos(), comboBefore);
    EXPECT_GT(grid->rowAt(grid->viewport()->height() - 1), rowsBefore);
    EXPECT_GT(grid->columnWidth(5), columnBefore);

    // The next start opens where this one ended.
    window.reset();
    EXPECT_EQ(Shown()->geometry(), enlarged);
    // A placement that no longer fits the screen is not used.
    WriteSetting(QStringLiteral("MainWindowPlacement"), QStringLiteral("20,20,9000,7000"));
    EXPECT_EQ(Shown()->size(), QSize(637, 515));
}

TEST_F(WindowFitTest, MessageBoxesCarryTheProgramsNameAndQuestionsDefaultToCancel) {
    InstallQtTranslation(); // as the program does at start-up
    TProgramDialogs boxes;  // the program's dialogs in place of the test's recorders
    TDialogs* const previous = SetDialogs(&boxes);
    QString title, defaultButton;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        // Enter alone answers with the default button.
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_FALSE(AskOkCancel(QStringLiteral("本当に削除しますか？")));
    EXPECT_EQ(title, QStringLiteral("平坦性試験"));
    EXPECT_EQ(defaultButton, QStringLiteral("キャンセル"));

    WhenModal<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        box->accept();
    });
    ShowMessage(QStringLiteral("'x' は日付ではありません"));
    EXPECT_EQ(title, QStringLiteral("平坦性試験"));

    // Questions with はい and いいえ: キャンセル, where offered, is the default, else いいえ. The
    // standard-values window's question has no icon.
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    const auto look = [&](QMessageBox* box) {
        buttons.clear();
        for (QAbstractButton* button : box->buttons())
            buttons << button->text();
        buttons.sort();
        icon = box->icon();
        defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        QTest::keyClick(box, Qt::Key_Return);
    };
    WhenModal<QMessageBox>(look);
    EXPECT_EQ(AskYesNoCancel(QStringLiteral("変更を保存しますか？")), TAnswer::Cancel);
    EXPECT_EQ(buttons, QStringList({QStringLiteral("いいえ"), QStringLiteral("はい"),
                                    QStringLiteral("キャンセル")}));
    EXPECT_EQ(defaultButton, QStringLiteral("キャンセル"));
    EXPECT_EQ(icon, QMessageBox::Question);
    WhenModal<QMessageBox>(look);
    EXPECT_FALSE(AskYesNo(QStringLiteral("続けますか？")));
    EXPECT_EQ(defaultButton, QStringLiteral("いいえ"));
    WhenModal<QMessageBox>(look);
    EXPECT_EQ(Dialogs().AskYesNo(QStringLiteral("未登録データを保存しますか"),
                                 TQuestion::PlainYesNoCancel),
              TAnswer::Cancel);
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(buttons.size(), 3);
    EXPECT_EQ(defaultButton, QStringLiteral("キャンセル"));

    // Removed, the messages go to the test's recorders again.
    EXPECT_EQ(SetDialogs(previous), &boxes);
    ShowMessage(QStringLiteral("記録"));
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("記録")});
}

TEST(TranslationTest, QtsOwnButtonsAndDialogsSpeakJapanese) {
    const QString file = InstallQtTranslation();
    ASSERT_FALSE(file.isEmpty());
    EXPECT_TRUE(QFileInfo(file).fileName() == QStringLiteral("qtbase_ja.qm"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"),
              QStringLiteral("キャンセル"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("アドレス:"));
    // The file dialogs' folder type, which the shipped translation lacks, and its dates in full.
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"),
              QStringLiteral("フォルダー"));
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "%1 File"),
              QStringLiteral("%1 ファイル"));
    QFileDialog dialog(nullptr, QString(), QDir::tempPath());
    SetUpFileDialog(dialog);
    auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(tree, nullptr);
    ASSERT_GE(tree->header()->count(), 4);
    EXPECT_EQ(tree->header()->sectionResizeMode(3), QHeaderView::ResizeToContents);
    EXPECT_EQ(dialog.viewMode(), QFileDialog::Detail);
}

TEST_F(WindowFitTest, EveryWindowsHelpOpensItsOwnInstalledPage) {
    TKoji().CheckTable();
    TestDialogs dialogs(env);
    TfrmEditTavelon main;
    main.Help1->trigger();
    TfrmEditKoji works;
    works.Help1->trigger();
    TfrmEditHacchusya client;
    client.Help1->trigger();
    TfrmEditUkeoisya contractor;
    contractor.Help1->trigger();
    TfrmEditSimei person;
    person.Help1->trigger();
    TfrmEditKikakuti4 standards;
    standards.Help1->trigger();
    TfrmEditKosyu workTypes;
    workTypes.Help1->trigger();
    TfrmSetDataPath settings;
    settings.Help1->trigger();
    // The windows without a menu bar: F1 pressed in the window, on one of its controls.
    TfrmChart chart;
    TfrmImportParadox import;
    TfrmPreView preview(nullptr);
    TfrmListBox list;
    for (QWidget* w : std::initializer_list<QWidget*>{&chart, &import, &preview, &list}) {
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w)) << w->objectName().toStdString();
        QWidget* control = w->findChild<QPushButton*>();
        ASSERT_NE(control, nullptr);
        control->setFocus();
        QTest::keyClick(control, Qt::Key_F1);
        w->hide();
    }
    const QStringList opened = dialogs.helpPages;

    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
    QStringList expected;
    for (int i = 1; i <= 12; ++i)
        expected << QStringLiteral("HID%1").arg(i, 8, 10, QLatin1Char('0'));
    ASSERT_EQ(opened.size(), expected.size()) << opened.join(QLatin1Char(' ')).toStdString();
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(QFileInfo(opened[i]).completeBaseName(), expected[i]);
        QFile page(opened[i]);
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << opened[i].toStdString();
        const QString html = QString::fromUtf8(page.readAll());
        // A Japanese page with a heading; the topic id is only its file name.
        EXPECT_TRUE(html.contains(QStringLiteral("<h1>"))) << expected[i].toStdString();
        EXPECT_FALSE(html.contains(expected[i] + QLatin1Char('<')));
    }
    EXPECT_EQ(HelpTopics(), expected);
    for (const QString& topic : HelpTopics())
        EXPECT_FALSE(HelpPageFile(topic).isEmpty()) << topic.toStdString();
}

// The installed pages: the contents page reaches every page and each feature, every page links
// only to pages that are there, and the command-line page shows every command with an example.
TEST(HelpPagesTest, TheContentsReachEveryPageAndTheCommandLinePageEveryCommand) {
    const QDir folder(QFileInfo(HelpPageFile(QStringLiteral("HID00000001"))).absolutePath());
    const QStringList pages = folder.entryList({QStringLiteral("*.html")}, QDir::Files);
    auto read = [&folder](const QString& name) {
        QFile file(folder.filePath(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    const QString contents = read(QStringLiteral("index.html"));
    const QRegularExpression link(QStringLiteral("href=\"([^\"#]+\\.html)"));
    for (const QString& page : pages) {
        const QString html = read(page);
        EXPECT_TRUE(html.contains(QStringLiteral("<h1>"))) << page.toStdString();
        if (page != QStringLiteral("index.html")) {
            EXPECT_TRUE(contents.contains(QStringLiteral("href=\"%1\"").arg(page)))
                << page.toStdString();
        }
        for (const QRegularExpressionMatch& m : link.globalMatch(html))
            EXPECT_TRUE(pages.contains(m.captured(1)))
                << page.toStdString() << " -> " << m.captured(1).toStdString();
    }
    for (const char16_t* feature :
         {u"コピーと貼り付け", u"元に戻す／やり直し", u"読み込み／書き出し", u"グラフ",
          u"合格／不合格の判定", u"旧データの取り込み", u"サーバー", u"コマンドライン"})
        EXPECT_TRUE(contents.contains(QString::fromUtf16(feature)))
            << QString::fromUtf16(feature).toStdString();

    const QString commandLine = read(QStringLiteral("HID00000018.html"));
    for (const char* command :
         {"calc", "export", "import", "print", "printers", "import-paradox", "copy-data"}) {
        EXPECT_TRUE(
            commandLine.contains(QStringLiteral("<h2>tavelon %1</h2>").arg(QLatin1String(command))))
            << command;
        // Within a <pre> block: the command as typed.
        EXPECT_TRUE(commandLine.contains(QRegularExpression(
            QStringLiteral("[>\\n]tavelon %1[ <\\n]").arg(QLatin1String(command)))))
            << command;
    }
    const QString server = read(QStringLiteral("HID00000017.html"));
    for (const char16_t* word : {u"Server", u"このコンピュータのフォルダ", u"サーバー (PostgreSQL)",
                                 u"接続テスト", u"tavelon copy-data --from"})
        EXPECT_TRUE(server.contains(QString::fromUtf16(word)))
            << QString::fromUtf16(word).toStdString();
}

} // namespace
} // namespace tv::test
