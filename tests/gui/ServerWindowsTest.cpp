// The windows that choose a server and move the data there, against the throwaway server the
// suite starts (skipped without it): the settings window's choice, the password asked once and
// again after a wrong one, and データ → サーバーへ移す….
#include "app/uMoveToServer.h"
#include "measurement/uRokuma.h"
#include "platform/EngineConfig.h"
#include "platform/TableEngine.h"
#include "registers/uKoji.h"
#include "settings/gui/ServerBoxes.h"
#include "settings/gui/uSetDataPath.h"
#include "tests/support/TableRows.h"
#include "tests/support/TestEnv.h"
#include "tests/support/gui/TestDialogs.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace tv::test {
namespace {

const QString kDatabase = QStringLiteral("kestran");

class ServerWindowsTest : public EnvTest {
protected:
    void SetUp() override {
        if (!env.OnServer())
            GTEST_SKIP() << "needs the test server";
        // The data starts in the folder; the server is chosen in the windows.
        SetDatabaseParam(kDatabase, QStringLiteral("Server"), QString());
        CloseAllConnections();
    }
    void TearDown() override { SetServerPasswordPrompt({}); }

    TestDialogs dialogs{env};
};

TEST_F(ServerWindowsTest, TheSettingsWindowSwitchesBetweenFolderAndServer) {
    TfrmSetDataPath window;
    int switches = 0;
    window.SetAfterSwitch([&] {
        ++switches;
        CheckMeasurementTables();
    });
    window.show();
    window.FormActivate();
    EXPECT_TRUE(window.RadioButton1->isChecked());
    EXPECT_FALSE(window.ServerBoxes1->isEnabled());

    // A server without the tables: asked before they are made; いいえ keeps everything.
    const QString server = env.NewServer();
    QTest::mouseClick(window.RadioButton2, Qt::LeftButton);
    window.ServerBoxes1->SetAddress(server);
    window.ServerBoxes1->Edit6->clear();
    QTest::mouseClick(window.BitBtn1, Qt::LeftButton);
    EXPECT_TRUE(env.messages.last().contains(QStringLiteral("データベース名")));
    window.ServerBoxes1->Edit6->setText(QStringLiteral("postgres"));
    env.answerYes = false;
    QTest::mouseClick(window.BitBtn1, Qt::LeftButton);
    EXPECT_TRUE(env.questions.last().contains(QStringLiteral("作成しますか")));
    EXPECT_EQ(DatabaseServer(kDatabase), QString());
    EXPECT_TRUE(window.isVisible());

    env.answerYes = true;
    QTest::mouseClick(window.BitBtn1, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(switches, 1);
    // The boxes' address reaches the same schema as the one typed (its options kept).
    EXPECT_EQ(SplitServerAddress(DatabaseServer(kDatabase)), SplitServerAddress(server));
    EXPECT_TRUE(TableExists(kDatabase, QStringLiteral("RokumaKanri")));

    // Shown again as chosen; back to the folder, which is used again.
    window.show();
    window.FormActivate();
    EXPECT_TRUE(window.RadioButton2->isChecked());
    EXPECT_EQ(window.ServerBoxes1->Edit7->text(), QStringLiteral("tavelon"));
    QTest::mouseClick(window.RadioButton1, Qt::LeftButton);
    QTest::mouseClick(window.BitBtn1, Qt::LeftButton);
    EXPECT_EQ(switches, 2);
    EXPECT_EQ(DatabaseServer(kDatabase), QString());
    EXPECT_FALSE(IsServerDatabase(kDatabase));
}

TEST_F(ServerWindowsTest, APasswordIsAskedUntilRightAndTheMissingRightsAreNamed) {
    InstallServerPasswordPrompt();
    const QString server = QStringLiteral("host=%1 user=tvpassword dbname=postgres")
                               .arg(qEnvironmentVariable("TV_TEST_SERVER"));
    // Given up: the failure says the password is wrong.
    dialogs.passwordAnswers = {std::nullopt};
    EXPECT_TRUE(ServerConnectionProblem(server).contains(QStringLiteral("パスワード")));
    // A wrong one, then the right one: asked again with the reason; the user may not create
    // tables in the schema, which is what is said.
    dialogs.passwordAnswers = {QStringLiteral("wrong"), QStringLiteral("geheim")};
    dialogs.passwordQuestions.clear();
    EXPECT_TRUE(ServerConnectionProblem(server).contains(QStringLiteral("権限")));
    ASSERT_EQ(dialogs.passwordQuestions.size(), 2);
    EXPECT_TRUE(dialogs.passwordQuestions[1].contains(QStringLiteral("パスワードが違います")));
    // Kept for the run: not asked again. Rights to create tables are only wanted for that.
    CloseAllConnections();
    EXPECT_EQ(ServerConnectionProblem(server, false), QString());
    EXPECT_EQ(dialogs.passwordQuestions.size(), 2);
}

TEST_F(ServerWindowsTest, MovingToTheServerCopiesEverythingOnceAndSwitches) {
    CheckMeasurementTables();
    TKoji works;
    works.Code = QStringLiteral("K1");
    works.Kojimei = QStringLiteral("国道1号舗装工事");
    works.Save();
    const QString server = env.NewServer();

    TfrmMoveToServer dialog;
    int leaves = 0;
    dialog.SetBeforeCopy([&] { return ++leaves > 0; });
    dialog.ServerBoxes1->SetAddress(server);
    QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);
    EXPECT_EQ(leaves, 1);
    EXPECT_TRUE(dialog.SwitchedToServer());
    EXPECT_TRUE(env.questions.last().contains(QStringLiteral("工事（Koji1）: 1")));
    EXPECT_EQ(Rows(QStringLiteral("select KOJIMEI from Koji1")),
              QStringList{QStringLiteral("国道1号舗装工事")});
    EXPECT_TRUE(IsServerDatabase(kDatabase));

    // The server now holds the tables: a second copy is refused before anything is asked.
    SetDatabaseParam(kDatabase, QStringLiteral("Server"), QString());
    TfrmMoveToServer again;
    again.ServerBoxes1->SetAddress(server);
    const qsizetype asked = env.questions.size();
    QTest::mouseClick(again.BitBtn1, Qt::LeftButton);
    EXPECT_FALSE(again.SwitchedToServer());
    EXPECT_EQ(env.questions.size(), asked);
    EXPECT_FALSE(env.messages.isEmpty());
}

} // namespace
} // namespace tv::test
