// The window "旧データの取り込み" opened from the main window's データ menu: the old folder read
// and shown table by table, a damaged table stopping the import, and the imported folder made
// the data folder.
#include "app/uImportParadox.h"
#include "app/uTavelon.h"
#include "settings/DataFolder.h"
#include "tests/gui/WhenModal.h"
#include "tests/support/ParadoxWriter.h"
#include "tests/support/TestEnv.h"
#include "tests/support/gui/TestDialogs.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace tv::test {
namespace {

const QString kSample = QStringLiteral(PARADOX_SAMPLE_DIR);

class ImportParadoxTest : public EnvTest {};

TEST_F(ImportParadoxTest, TheSampleFolderImportsFromTheMenuAndBecomesTheDataFolder) {
    if (!QFileInfo::exists(kSample + QStringLiteral("/expected.json")))
        GTEST_SKIP() << "no sample folder at " << kSample.toStdString();
    TfrmEditTavelon main;
    main.show();
    auto* item = main.findChild<QAction*>(QStringLiteral("N5"));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->text(), QStringLiteral("旧データの取り込み…"));
    const QString dest = env.Root() + QStringLiteral("/imported");
    QStringList shown;
    bool enabledBefore = true;
    TestDialogs dialogs(env);
    dialogs.folderAnswers.push_back(kSample);
    WhenModal<TfrmImportParadox>([&](TfrmImportParadox* w) {
        // Proposed: a new folder beside the data folder.
        EXPECT_EQ(
            QDir::fromNativeSeparators(w->findChild<QLineEdit*>(QStringLiteral("Edit2"))->text()),
            QDir::cleanPath(env.DataFolder()) + QStringLiteral("-旧データ"));
        enabledBefore = w->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->isEnabled();
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
        auto* list = w->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            shown << list->topLevelItem(i)->text(0) + QLatin1Char(' ') +
                         list->topLevelItem(i)->text(1);
        w->findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(dest);
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("BitBtn1")), Qt::LeftButton);
    });
    item->trigger();
    EXPECT_FALSE(enabledBefore);
    EXPECT_EQ(shown.size(), 9);
    EXPECT_TRUE(shown.contains(QStringLiteral("測定値 1457")));
    EXPECT_TRUE(shown.contains(QStringLiteral("氏名 5")));
    EXPECT_TRUE(shown.contains(QStringLiteral("工事 4")))
        << shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(env.messages, QStringList());
    ASSERT_EQ(env.questions.size(), 1);
    EXPECT_TRUE(env.questions[0].contains(QStringLiteral("データフォルダにしますか")));
    EXPECT_EQ(QDir::cleanPath(GetDataFolder(QStringLiteral("kestran"))), QDir::cleanPath(dest));
}

TEST_F(ImportParadoxTest, ADamagedTableIsShownWithItsReasonAndStopsTheImport) {
    const QString old = env.Root() + QStringLiteral("/old/");
    QDir().mkpath(old);
    QByteArray simei =
        PxFile({{QStringLiteral("FURIGANA"), 1, 16}, {QStringLiteral("SIMEI"), 1, 16}},
               {PxAlpha("a", 16) + PxAlpha("b", 16)});
    ASSERT_TRUE(WriteFile(old + QStringLiteral("Simei.DB"), simei.left(simei.size() - 10)));
    ASSERT_TRUE(
        WriteFile(old + QStringLiteral("Kosyu4.DB"),
                  PxFile({{QStringLiteral("KOSYUMEI"), 1, 32}, {QStringLiteral("ID"), 4, 4}},
                         {PxAlpha("\x95\x5c\x91\x77", 32) + PxLong(1)})));
    TfrmImportParadox w;
    w.show();
    w.Edit1->setText(old);
    QTest::keyClick(w.Edit1, Qt::Key_Return);
    ASSERT_EQ(w.ListView1->topLevelItemCount(), 9);
    const QTreeWidgetItem* kosyu =
        w.ListView1->findItems(QStringLiteral("工種"), Qt::MatchExactly)[0];
    EXPECT_EQ(kosyu->text(1), QStringLiteral("1"));
    const QTreeWidgetItem* bad =
        w.ListView1->findItems(QStringLiteral("氏名"), Qt::MatchExactly)[0];
    EXPECT_TRUE(bad->text(2).contains(QStringLiteral("途中で切れています")))
        << bad->text(2).toStdString();
    EXPECT_FALSE(w.BitBtn1->isEnabled());
    EXPECT_TRUE(w.Label3->text().contains(QStringLiteral("Simei")));

    // A destination holding tables is refused; nothing is written.
    ASSERT_TRUE(WriteFile(old + QStringLiteral("Simei.DB"), simei));
    QTest::keyClick(w.Edit1, Qt::Key_Return);
    ASSERT_TRUE(w.BitBtn1->isEnabled());
    w.Edit2->setText(env.DataFolder());
    QFile::copy(old + QStringLiteral("Kosyu4.DB"), env.DataFolder() + QStringLiteral("KOSYU4.db"));
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(env.messages[0].contains(QStringLiteral("既にテーブルがあります")));
    EXPECT_TRUE(env.questions.isEmpty());
}

} // namespace
} // namespace tv::test
