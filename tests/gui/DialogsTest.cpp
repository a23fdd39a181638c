// The one place dialogs come from: a test's dialogs nest and give the previous ones back, and the
// program's save dialog follows the file type chosen with its suffix.
#include "platform/gui/Dialogs.h"
#include "printing/gui/ProgramDialogs.h"
#include "tests/gui/WhenModal.h"
#include "tests/support/TestEnv.h"
#include "tests/support/gui/TestDialogs.h"

#include <QComboBox>
#include <QFileDialog>
#include <QTest>

namespace tv::test {
namespace {

class DialogsTest : public EnvTest {};

TEST_F(DialogsTest, ReplacementsNestAndWithoutAnyNothingOpens) {
    // None installed: messages go to the core's handlers, every dialog is cancelled.
    Dialogs().ShowMessage(QStringLiteral("一"));
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("一")});
    EXPECT_FALSE(Dialogs().PickColor(nullptr, Qt::red));
    EXPECT_FALSE(Dialogs().OpenFileName(nullptr, TFileRequest()));
    EXPECT_FALSE(Dialogs().OpenHelpPage(QStringLiteral("x.html")));

    TestDialogs outer(env);
    {
        TestDialogs inner(env);
        inner.folderAnswers.push_back(QStringLiteral("/a"));
        EXPECT_EQ(Dialogs().PickFolder(nullptr, QStringLiteral("t"), QString()),
                  QStringLiteral("/a"));
        EXPECT_EQ(inner.folderTitles.size(), 1);
    }
    EXPECT_FALSE(Dialogs().PickFolder(nullptr, QStringLiteral("t"), QString()));
    EXPECT_EQ(outer.folderTitles.size(), 1);
    // The core's messages and questions reach the dialogs installed.
    env.answerYesNoCancel = TAnswer::Yes;
    EXPECT_EQ(AskYesNoCancel(QStringLiteral("保存しますか")), TAnswer::Yes);
    EXPECT_EQ(env.questions, QStringList{QStringLiteral("保存しますか")});
}

TEST_F(DialogsTest, TheSaveDialogAddsTheSuffixOfTheFileTypeChosen) {
    TProgramDialogs program;
    TFileRequest request;
    request.title = QStringLiteral("測定値の書き出し");
    request.objectName = QStringLiteral("ExportDialog");
    request.start = env.Root();
    request.filters =
        QStringList{QStringLiteral("CSV 表形式 (*.csv)"), QStringLiteral("Excel ブック (*.xlsx)")};
    request.suffixes = QStringList{QStringLiteral("csv"), QStringLiteral("xlsx")};
    QString name, title, before, after;
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        name = dialog->objectName();
        title = dialog->windowTitle();
        before = dialog->defaultSuffix();
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_TRUE(types);
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Down);
        after = dialog->defaultSuffix();
        dialog->selectFile(env.Root() + QStringLiteral("/book"));
        static_cast<QDialog*>(dialog)->accept();
    });
    const std::optional<TChosenFile> chosen = program.SaveFileName(nullptr, request);
    EXPECT_EQ(name, QStringLiteral("ExportDialog"));
    EXPECT_EQ(title, QStringLiteral("測定値の書き出し"));
    EXPECT_EQ(before, QStringLiteral("csv"));
    EXPECT_EQ(after, QStringLiteral("xlsx"));
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->path, env.Root() + QStringLiteral("/book.xlsx"));
    EXPECT_EQ(chosen->filter, 1);
}

} // namespace
} // namespace tv::test
