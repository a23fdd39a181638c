// The work-type register against real tables in a private data folder.
#include "platform/TableEngine.h"
#include "registers/uKosyu.h"
#include "settings/DataFolder.h"
#include "tests/support/TableRows.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <utility>
#include <vector>

namespace tv::test {
namespace {

using Rows = std::vector<std::pair<int, QString>>;

Rows StoredRows() {
    return StoredWorkTypes();
}

class KosyuTest : public EnvTest {
protected:
    void SetUp() override { ASSERT_FALSE(kosyu.CheckTable()); }

    void SaveNew(const QString& name) {
        kosyu.ID = 0;
        kosyu.FindByName(name);
        kosyu.Save();
    }

    TKosyu kosyu;
};

TEST_F(KosyuTest, CheckTableCreatesTheTableOnceAndAnEmptyTableNumbersFromOne) {
    EXPECT_TRUE(TableExists(QStringLiteral("kestran"), QStringLiteral("Kosyu4")));
    EXPECT_TRUE(kosyu.CheckTable());
    EXPECT_EQ(kosyu.NextID(), 1);
    QStringList names{QStringLiteral("stale")};
    kosyu.ListNames(names);
    EXPECT_TRUE(names.isEmpty());
}

TEST_F(KosyuTest, SaveNumbersNewNamesAfterTheLastAndListsInIdOrder) {
    SaveNew(QStringLiteral("表層工"));
    SaveNew(QStringLiteral("基層工"));
    // A name saved with an ID of its own sorts by it.
    kosyu.ID = 0;
    kosyu.FindByName(QStringLiteral("路盤工"));
    kosyu.ID = -5;
    kosyu.Save();
    EXPECT_EQ(StoredRows(), (Rows{{-5, QStringLiteral("路盤工")},
                                  {1, QStringLiteral("表層工")},
                                  {2, QStringLiteral("基層工")}}));
    QStringList names;
    kosyu.ListNames(names);
    EXPECT_EQ(names, (QStringList{QStringLiteral("路盤工"), QStringLiteral("表層工"),
                                  QStringLiteral("基層工")}));
    EXPECT_EQ(kosyu.NextID(), 3);
}

TEST_F(KosyuTest, SavingAStoredNameUpdatesItsIdInsteadOfAddingARow) {
    SaveNew(QStringLiteral("表層工"));
    SaveNew(QStringLiteral("基層工"));
    kosyu.FindByName(QStringLiteral("表層工"));
    EXPECT_EQ(kosyu.ID, 1);
    kosyu.ID = 7;
    kosyu.Save();
    EXPECT_EQ(StoredRows(), (Rows{{2, QStringLiteral("基層工")}, {7, QStringLiteral("表層工")}}));
}

TEST_F(KosyuTest, FindByNameTrimsTheLookupAndKeepsAnUnknownNameAsPassed) {
    SaveNew(QStringLiteral("表層工"));
    kosyu.ID = 0;
    kosyu.FindByName(QStringLiteral("  表層工 "));
    EXPECT_EQ(kosyu.Kosyumei, QStringLiteral("表層工"));
    EXPECT_EQ(kosyu.ID, 1);

    // Unknown: the name as passed, blanks included, and the previous ID.
    kosyu.FindByName(QStringLiteral(" 舗装 "));
    EXPECT_EQ(kosyu.Kosyumei, QStringLiteral(" 舗装 "));
    EXPECT_EQ(kosyu.ID, 1);

    // Stored with its blanks; a later look-up trims and so does not find it.
    kosyu.ID = 0;
    kosyu.Save();
    EXPECT_EQ(StoredRows(), (Rows{{1, QStringLiteral("表層工")}, {2, QStringLiteral(" 舗装 ")}}));
    kosyu.ID = 9;
    kosyu.FindByName(QStringLiteral(" 舗装 "));
    EXPECT_EQ(kosyu.ID, 9);
}

TEST_F(KosyuTest, BlankNamesSaveNothingAndClearKeepsTheId) {
    kosyu.FindByName(QStringLiteral("   "));
    kosyu.Save();
    kosyu.Kosyumei.clear();
    kosyu.Save();
    EXPECT_TRUE(StoredRows().empty());

    kosyu.Kosyumei = QStringLiteral("表層工");
    kosyu.ID = 4;
    kosyu.Clear();
    EXPECT_TRUE(kosyu.Kosyumei.isEmpty());
    EXPECT_EQ(kosyu.ID, 4);
}

TEST_F(KosyuTest, ANameLongerThanItsColumnIsRefusedAndNothingIsStored) {
    // 17 two-byte characters: 34 bytes for a 32-byte column.
    kosyu.FindByName(QString(17, QChar(0x5DE5)));
    kosyu.ID = 0;
    EXPECT_THROW(kosyu.Save(), EngineError);
    EXPECT_TRUE(StoredRows().empty());
    // 16 of them fit exactly.
    SaveNew(QString(16, QChar(0x5DE5)));
    EXPECT_EQ(StoredRows().size(), 1u);
}

TEST_F(KosyuTest, DeleteAllEmptiesTheTable) {
    SaveNew(QStringLiteral("表層工"));
    SaveNew(QStringLiteral("基層工"));
    kosyu.DeleteAll();
    EXPECT_TRUE(StoredRows().empty());
    EXPECT_EQ(kosyu.NextID(), 1);
}

TEST_F(KosyuTest, ChangingTheDataFolderMovesTheRegisterThere) {
    if (env.OnServer())
        GTEST_SKIP() << "the folder is not used for data on a server";
    SaveNew(QStringLiteral("表層工"));
    const QString other = env.Root() + QStringLiteral("/other");
    QDir().mkpath(other);
    SetDataFolder(QStringLiteral("KESTRAN"), other);
    EXPECT_TRUE(env.messages.isEmpty());
    EXPECT_FALSE(kosyu.CheckTable());
    QStringList names;
    kosyu.ListNames(names);
    EXPECT_TRUE(names.isEmpty());
}

} // namespace
} // namespace tv::test
