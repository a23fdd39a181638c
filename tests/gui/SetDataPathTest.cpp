// The settings window driven by its controls, with the folder browser and the colour dialog
// replaced by scripted answers.
#include "app/Startup.h"
#include "platform/EngineConfig.h"
#include "platform/Errors.h"
#include "settings/DataFolder.h"
#include "settings/RegistryUtility.h"
#include "settings/gui/uSetDataPath.h"
#include "tests/gui/WhenModal.h"
#include "tests/support/TestEnv.h"
#include "tests/support/gui/TestDialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>

namespace tv::test {
namespace {

class SetDataPathTest : public EnvTest {
protected:
    void SetUp() override {
        window = std::make_unique<TfrmSetDataPath>();
        edit1 = window->findChild<QLineEdit*>(QStringLiteral("Edit1"));
        check1 = window->findChild<QCheckBox*>(QStringLiteral("CheckBox1"));
        check2 = window->findChild<QCheckBox*>(QStringLiteral("CheckBox2"));
        check3 = window->findChild<QCheckBox*>(QStringLiteral("CheckBox3"));
        swatch2 = window->findChild<QLineEdit*>(QStringLiteral("Edit2"));
        swatch3 = window->findChild<QLineEdit*>(QStringLiteral("Edit3"));
        ok = window->findChild<QPushButton*>(QStringLiteral("BitBtn1"));
        browse = window->findChild<QPushButton*>(QStringLiteral("Button2"));
        ASSERT_TRUE(edit1 && check1 && check2 && check3 && swatch2 && swatch3 && ok && browse);
        window->show();
        window->FormActivate();
    }

    QColor SwatchColor(QLineEdit* swatch) const { return swatch->palette().color(QPalette::Base); }

    std::unique_ptr<TfrmSetDataPath> window;
    QLineEdit *edit1 = nullptr, *swatch2 = nullptr, *swatch3 = nullptr;
    QCheckBox *check1 = nullptr, *check2 = nullptr, *check3 = nullptr;
    QPushButton *ok = nullptr, *browse = nullptr;
    TestDialogs dialogs{env};
};

TEST_F(SetDataPathTest, IsLaidOutAsAFixedWindowWithTheSecondPanelHidden) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("環境設定"));
    EXPECT_EQ(window->size(), QSize(378, 326));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(browse->text(), QStringLiteral("パス"));
    EXPECT_EQ(check1->text(), QStringLiteral("社印を使わない"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_FALSE(window->findChild<QFrame*>(QStringLiteral("Panel2"))->isVisible());
    EXPECT_TRUE(window->findChild<QFrame*>(QStringLiteral("Panel1"))->isVisible());
}

TEST_F(SetDataPathTest, FirstUseShowsDefaultsAndOkStoresThemWithTheFolder) {
    EXPECT_EQ(edit1->text(), env.DataFolder());
    EXPECT_FALSE(check1->isChecked());
    EXPECT_EQ(SwatchColor(swatch2), QColor(Qt::black));
    EXPECT_EQ(SwatchColor(swatch3), QColor(Qt::black));
    const QString other = env.Root() + QStringLiteral("/other");
    QDir().mkpath(other);
    edit1->setText(other);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(GetDataFolder(QStringLiteral("kestran")), other + QLatin1Char('/'));
    EXPECT_EQ(ReadSetting(QStringLiteral("UnUseInkan")), QStringLiteral("FALSE"));
    EXPECT_EQ(ReadSetting(QStringLiteral("UseSiyou")), QStringLiteral("FALSE"));
    EXPECT_EQ(ReadSetting(QStringLiteral("UseRate")), QStringLiteral("FALSE"));
    EXPECT_EQ(ReadSetting(QStringLiteral("ColorOndoNeriRange")), QStringLiteral("0"));
    EXPECT_EQ(ReadSetting(QStringLiteral("ColorOndoSikiRange")), QStringLiteral("0"));
}

TEST_F(SetDataPathTest, StoredValuesShowAndTheHiddenBoxesKeepTheirs) {
    WriteSetting(QStringLiteral("UnUseInkan"), QStringLiteral("true"));
    WriteSetting(QStringLiteral("UseSiyou"), QStringLiteral("TRUE"));
    WriteSetting(QStringLiteral("UseRate"), QStringLiteral("yes"));
    WriteSetting(QStringLiteral("ColorOndoNeriRange"), QStringLiteral("255"));
    // A system colour value keeps its exact value through OK.
    WriteSetting(QStringLiteral("ColorOndoSikiRange"), QStringLiteral("-16777201.7"));
    window->FormActivate();
    EXPECT_FALSE(check1->isChecked());
    EXPECT_TRUE(check2->isChecked());
    EXPECT_FALSE(check3->isChecked());
    EXPECT_EQ(SwatchColor(swatch2), QColor(Qt::red));
    EXPECT_EQ(window->Edit3Color(), -16777201);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(ReadSetting(QStringLiteral("UnUseInkan")), QStringLiteral("FALSE"));
    EXPECT_EQ(ReadSetting(QStringLiteral("UseSiyou")), QStringLiteral("TRUE"));
    EXPECT_EQ(ReadSetting(QStringLiteral("UseRate")), QStringLiteral("FALSE"));
    EXPECT_EQ(ReadSetting(QStringLiteral("ColorOndoNeriRange")), QStringLiteral("255"));
    EXPECT_EQ(ReadSetting(QStringLiteral("ColorOndoSikiRange")), QStringLiteral("-16777201"));
}

TEST_F(SetDataPathTest, AValueOfAnotherTypeStopsTheReloadThere) {
    check2->setChecked(true);
    WriteSetting(QStringLiteral("UnUseInkan"), QStringLiteral("TRUE"));
    QDir().mkpath(env.ConfigHome() + QStringLiteral("/kestran"));
    {
        QSettings ini(env.ConfigHome() + QStringLiteral("/kestran/kestran.ini"),
                      QSettings::IniFormat);
        ini.setValue(QStringLiteral("ColorOndoNeriRange"),
                     QStringList{QStringLiteral("1"), QStringLiteral("2")});
    }
    EXPECT_THROW(window->FormActivate(), TError);
    EXPECT_TRUE(check1->isChecked());
    // Not reached: the hidden box keeps what it showed.
    EXPECT_TRUE(check2->isChecked());
}

TEST_F(SetDataPathTest, DoubleClickPicksAColourStartingFromTheLastOneChosen) {
    dialogs.colorAnswers = {QColor(0, 0, 255), std::nullopt, QColor(1, 2, 3)};
    QTest::mouseDClick(swatch2, Qt::LeftButton);
    QTest::mouseDClick(swatch3, Qt::LeftButton);
    QTest::mouseDClick(swatch3, Qt::LeftButton);
    ASSERT_EQ(dialogs.colorStarts.size(), 3u);
    EXPECT_EQ(dialogs.colorStarts[0], QColor(Qt::black));
    EXPECT_EQ(dialogs.colorStarts[1], QColor(0, 0, 255));
    EXPECT_EQ(dialogs.colorStarts[2], QColor(0, 0, 255));
    EXPECT_EQ(SwatchColor(swatch2), QColor(0, 0, 255));
    EXPECT_EQ(SwatchColor(swatch3), QColor(1, 2, 3));
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(ReadSetting(QStringLiteral("ColorOndoNeriRange")), QStringLiteral("16711680"));
    EXPECT_EQ(ReadSetting(QStringLiteral("ColorOndoSikiRange")), QStringLiteral("197121"));
}

TEST_F(SetDataPathTest, BrowsingStartsAtTheLastFolderWhileItExists) {
    const QString chosen = env.Root() + QStringLiteral("/chosen");
    QDir().mkpath(chosen);
    dialogs.folderAnswers = {chosen, std::nullopt, QString(), QString()};
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(edit1->text(), chosen);
    edit1->setText(QStringLiteral("typed"));
    QTest::mouseClick(browse, Qt::LeftButton); // cancelled
    EXPECT_EQ(edit1->text(), QStringLiteral("typed"));
    // An item without a folder path: OK, and the folder stays the one chosen last.
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(edit1->text(), chosen);
    QDir(chosen).removeRecursively();
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(dialogs.folderStarts, (QStringList{QString(), chosen, chosen, QString()}));
    EXPECT_EQ(dialogs.folderTitles, QStringList(4, QStringLiteral("フォルダーの選択")));
}

TEST_F(SetDataPathTest, AFolderThatCannotHoldTablesIsStoredWithAWarning) {
    const QString missing = env.Root() + QStringLiteral("/nowhere");
    edit1->setText(missing);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(GetDataFolder(QStringLiteral("kestran")), missing + QLatin1Char('/'));
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(env.messages[0].contains(missing));
    EXPECT_EQ(ReadSetting(QStringLiteral("UnUseInkan")), QStringLiteral("FALSE"));
}

TEST_F(SetDataPathTest, AConfigurationThatCannotBeWrittenSaysFailedAndStillStoresTheRest) {
    // A folder in place of the configuration file makes it unwritable.
    ASSERT_TRUE(QFile::remove(EngineConfigFile()));
    ASSERT_TRUE(QDir().mkpath(EngineConfigFile()));
    check1->setChecked(true);
    // Enter anywhere in the window is OK.
    edit1->setFocus();
    QTest::keyClick(edit1, Qt::Key_Return);
    EXPECT_EQ(env.messages.value(0), QStringLiteral("Failed"));
    EXPECT_EQ(ReadSetting(QStringLiteral("UnUseInkan")), QStringLiteral("TRUE"));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(SetDataPathTest, AnEmptyRelativeOrTooLongFolderIsRefusedAndTheWindowStaysOpen) {
    for (const QString& folder : {QString(), QStringLiteral("data/tables")}) {
        env.messages.clear();
        edit1->setText(folder);
        QTest::mouseClick(ok, Qt::LeftButton);
        EXPECT_TRUE(window->isVisible());
        ASSERT_EQ(env.messages.size(), 1);
        EXPECT_TRUE(env.messages[0].contains(QStringLiteral("'%1' は使えません").arg(folder)));
        EXPECT_EQ(GetDataFolder(QStringLiteral("kestran")), env.DataFolder());
    }
    // A folder deeper than the engine opens is refused with the limit stated.
    QString deep = env.Root();
    while (QFile::encodeName(deep).size() <= 480)
        deep += QLatin1Char('/') + QString(50, QLatin1Char('d'));
    env.messages.clear();
    edit1->setText(deep);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(env.messages[0].contains(QStringLiteral("471 バイトまで")))
        << env.messages[0].toStdString();
    EXPECT_EQ(GetDataFolder(QStringLiteral("kestran")), env.DataFolder());
    // One written by hand into the configuration is refused when used.
    QSettings ini(EngineConfigFile(), QSettings::IniFormat);
    ini.setValue(QStringLiteral("kestran/Path"), QString());
    ini.sync();
    EXPECT_THROW(GetDataFolder(QStringLiteral("kestran")), EngineError);
}

class DamagedConfigurationTest : public EnvTest {
protected:
    QByteArray Write(const QByteArray& content) {
        QFile f(EngineConfigFile());
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        return content;
    }
    static QByteArray Read(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    }
};

TEST_F(DamagedConfigurationTest, IsReportedWithItsLineAndKeptUntilTheUserChoosesAFolder) {
    const QByteArray damaged = Write("[kestran]\nPath=/srv/old\nPath /srv/garbage\n");
    EnsureDefaultDatabase(); // not a first start: nothing written
    EXPECT_EQ(Read(EngineConfigFile()), damaged);

    // The user closes the settings window without choosing: the program does not start.
    WhenModal<TfrmSetDataPath>([](TfrmSetDataPath* w) { w->close(); });
    EXPECT_FALSE(ChooseDataFolderWhenUnusable());
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(env.messages[0].contains(QDir::toNativeSeparators(EngineConfigFile())) &&
                env.messages[0].contains(QStringLiteral("3 行目")))
        << env.messages[0].toStdString();
    EXPECT_EQ(Read(EngineConfigFile()), damaged);

    // Choosing a folder stores it; the damaged file is kept beside.
    const QString folder = env.DataFolder();
    WhenModal<TfrmSetDataPath>([folder](TfrmSetDataPath* w) {
        EXPECT_EQ(w->Edit1->text(), QString());
        w->Edit1->setText(folder);
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("BitBtn1")), Qt::LeftButton);
    });
    EXPECT_TRUE(ChooseDataFolderWhenUnusable());
    EXPECT_EQ(GetDataFolder(QStringLiteral("kestran")), folder);
    EXPECT_EQ(Read(EngineConfigFile() + QStringLiteral(".bak")), damaged);

    // A file without the entry is no first start either.
    const QByteArray other = Write("[other]\nPath=/srv/other\n");
    EnsureDefaultDatabase();
    EXPECT_EQ(Read(EngineConfigFile()), other);
    EXPECT_THROW(GetDataFolder(QStringLiteral("kestran")), EngineError);
}

TEST(WinColorTest, ColourTextsAreReadLenientlyAndTruncatedTowardZero) {
    EXPECT_EQ(WinColorFromText(QString()), 0);
    EXPECT_EQ(WinColorFromText(QStringLiteral("abc")), 0);
    EXPECT_EQ(WinColorFromText(QStringLiteral("12.9")), 12);
    EXPECT_EQ(WinColorFromText(QStringLiteral("-12.9")), -12);
    EXPECT_EQ(WinColorFromText(QStringLiteral("16711680")), 16711680);
    EXPECT_EQ(WinColorFromText(QStringLiteral("4294967295")), -1);
    EXPECT_EQ(WinColorFromText(QString(400, QLatin1Char('9'))), 0);
    EXPECT_EQ(ColorFromWinColor(0x00336699), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(WinColorFromColor(QColor(0x99, 0x66, 0x33)), 0x00336699);
}

} // namespace
} // namespace tv::test
