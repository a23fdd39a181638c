// The client, contractor and person-name registers against real tables in a private data folder.
#include "platform/TableEngine.h"
#include "registers/uHacchusya.h"
#include "registers/uSimei.h"
#include "registers/uUkeoisya.h"
#include "tests/support/TableRows.h"
#include "tests/support/TestEnv.h"

#include <QFile>

namespace tv::test {
namespace {

using PartyRegistersTest = EnvTest;

TEST_F(PartyRegistersTest, TablesAreCreatedOnceWithTheirColumnsInOrder) {
    TSimei simei; // the person-name table is ensured by the constructor
    EXPECT_TRUE(TableExists(QStringLiteral("kestran"), QStringLiteral("Simei")));
    EXPECT_TRUE(simei.CheckTable());

    TUkeoisya ukeoisya;
    EXPECT_FALSE(ukeoisya.CheckTable());
    EXPECT_TRUE(ukeoisya.CheckTable());
    THacchusya hacchusya;
    EXPECT_FALSE(hacchusya.CheckTable());
    EXPECT_TRUE(hacchusya.CheckTable());

    const auto names = [](const QString& table) {
        TQuery query(QStringLiteral("kestran"));
        query.AddSQL(QStringLiteral("select * from ") + table);
        query.Open();
        QStringList result;
        for (int i = 0; i < query.FieldCount(); ++i)
            result << query.Fields(i).Name().toUpper();
        return result;
    };
    EXPECT_EQ(names(QStringLiteral("Simei")),
              (QStringList{QStringLiteral("FURIGANA"), QStringLiteral("SIMEI")}));
    EXPECT_EQ(names(QStringLiteral("Hacchusya")),
              (QStringList{QStringLiteral("HACCHUSYAMEI"), QStringLiteral("SYOKUSIMEI")}));
    EXPECT_EQ(names(QStringLiteral("Ukeoisya")),
              (QStringList{QStringLiteral("UKEOISYAMEI"), QStringLiteral("JUSYO"),
                           QStringLiteral("KAISYA"), QStringLiteral("DAIHYOSYA"),
                           QStringLiteral("JVFLAG")}));
}

TEST_F(PartyRegistersTest, PersonNamesAreTrimmedAndAReadingDefaultsToTheName) {
    TSimei simei;
    QStringList list{QStringLiteral("stale")};
    simei.ListNames(list);
    EXPECT_TRUE(list.isEmpty());

    simei.Simei = QStringLiteral("  山田太郎 ");
    simei.Furigana = QStringLiteral(" やまだ ");
    simei.Save();
    EXPECT_EQ(simei.Simei, QStringLiteral("山田太郎"));
    EXPECT_EQ(simei.Furigana, QStringLiteral("やまだ"));

    simei.Clear();
    simei.Simei = QStringLiteral("阿部");
    simei.Save(); // no reading: the name stands in for it, and sorts as such
    EXPECT_EQ(simei.Furigana, QStringLiteral("阿部"));

    simei.Clear();
    simei.Simei = QStringLiteral("伊藤");
    simei.Furigana = QStringLiteral("いとう");
    simei.Save();

    simei.Clear();
    simei.Simei = QStringLiteral("   ");
    simei.Furigana = QStringLiteral("なし");
    simei.Save(); // blank name: nothing stored

    EXPECT_EQ(Rows(QStringLiteral("select * from Simei order by Furigana")),
              (QStringList{QStringLiteral("いとう|伊藤"), QStringLiteral("やまだ|山田太郎"),
                           QStringLiteral("阿部|阿部")}));
    simei.ListNames(list);
    EXPECT_EQ(list, (QStringList{QStringLiteral("伊藤"), QStringLiteral("山田太郎"),
                                 QStringLiteral("阿部")}));

    // Saving a known name updates its row instead of adding one.
    simei.FindByName(QStringLiteral("阿部"));
    simei.Furigana = QStringLiteral("あべ");
    simei.Save();
    EXPECT_EQ(Rows(QStringLiteral("select * from Simei where Simei='阿部'")),
              QStringList{QStringLiteral("あべ|阿部")});
}

TEST_F(PartyRegistersTest, FindingAPersonKeepsTheReadingOfAKnownNameAndClearsForANewOne) {
    TSimei simei;
    simei.Simei = QStringLiteral("山田");
    simei.Furigana = QStringLiteral("やまだ");
    simei.Save();

    simei.FindByName(QStringLiteral("佐藤"));
    EXPECT_EQ(simei.Simei, QStringLiteral("佐藤"));
    EXPECT_EQ(simei.Furigana, QString());

    // A name typed with blanks around it is the stored person: registering it again (as the works
    // window and the measurement do) must not replace the reading by the name.
    simei.FindByName(QStringLiteral("山田 "));
    EXPECT_EQ(simei.Furigana, QStringLiteral("やまだ"));
    simei.Save();
    EXPECT_EQ(Rows(QStringLiteral("select * from Simei")),
              QStringList{QStringLiteral("やまだ|山田")});
}

TEST_F(PartyRegistersTest, DeletingAPersonLeavesOthersWithTheSameReading) {
    TSimei simei;
    for (const QString& name : {QStringLiteral("斉藤"), QStringLiteral("斎藤")}) {
        simei.Clear();
        simei.Simei = name;
        simei.Furigana = QStringLiteral("さいとう");
        simei.Save();
    }
    simei.FindByName(QStringLiteral("斉藤"));
    simei.Delete();
    EXPECT_EQ(Rows(QStringLiteral("select * from Simei")),
              QStringList{QStringLiteral("さいとう|斎藤")});

    // A name that is not stored deletes nothing.
    simei.FindByName(QStringLiteral("田中"));
    simei.Delete();
    EXPECT_EQ(Rows(QStringLiteral("select * from Simei")).size(), 1);
}

TEST_F(PartyRegistersTest, ContractorsAreInsertedUpdatedAndRenamedIntoANewRow) {
    TUkeoisya ukeoisya;
    ukeoisya.CheckTable();
    QStringList list{QStringLiteral("stale")};
    ukeoisya.ListNames(list);
    EXPECT_TRUE(list.isEmpty());

    ukeoisya.Ukeoisyamei = QStringLiteral("北建設");
    ukeoisya.Jusyo = QStringLiteral("札幌市");
    ukeoisya.Kaisya = QStringLiteral("北建設株式会社");
    ukeoisya.Daihyosya = QStringLiteral("北一郎");
    ukeoisya.JVFlag = true;
    ukeoisya.Save();

    ukeoisya.FindByName(QStringLiteral("北建設"));
    ukeoisya.Jusyo = QStringLiteral("旭川市");
    ukeoisya.JVFlag = false;
    ukeoisya.Save(); // a registered name updates its row
    ASSERT_EQ(Rows(QStringLiteral("select * from Ukeoisya")).size(), 1);
    ukeoisya.Clear();
    ukeoisya.FindByName(QStringLiteral("北建設"));
    EXPECT_EQ(ukeoisya.Jusyo, QStringLiteral("旭川市"));
    EXPECT_FALSE(ukeoisya.JVFlag);

    ukeoisya.FindByName(QStringLiteral("北建設"));
    ukeoisya.JVFlag = true;
    ukeoisya.Ukeoisyamei = QStringLiteral("A建設");
    ukeoisya.Save(); // renamed: a new row, the old one stays
    ukeoisya.ListNames(list);
    EXPECT_EQ(list, (QStringList{QStringLiteral("A建設"), QStringLiteral("北建設")}));

    ukeoisya.FindByName(QStringLiteral("A建設"));
    EXPECT_EQ(ukeoisya.Jusyo, QStringLiteral("旭川市"));
    EXPECT_EQ(ukeoisya.Kaisya, QStringLiteral("北建設株式会社"));
    EXPECT_EQ(ukeoisya.Daihyosya, QStringLiteral("北一郎"));
    EXPECT_TRUE(ukeoisya.JVFlag);

    ukeoisya.FindByName(QStringLiteral("未登録"));
    EXPECT_EQ(ukeoisya.Ukeoisyamei, QStringLiteral("未登録"));
    EXPECT_TRUE(ukeoisya.Jusyo.isEmpty() && ukeoisya.Kaisya.isEmpty() &&
                ukeoisya.Daihyosya.isEmpty());
    EXPECT_FALSE(ukeoisya.JVFlag);
    ukeoisya.Delete(); // not stored: nothing happens
    ukeoisya.Ukeoisyamei = QStringLiteral(" ");
    ukeoisya.Save(); // blank: nothing stored

    ukeoisya.FindByName(QStringLiteral("北建設"));
    ukeoisya.Delete();
    ukeoisya.ListNames(list);
    EXPECT_EQ(list, QStringList{QStringLiteral("A建設")});
}

TEST_F(PartyRegistersTest, AContractorWithoutAJointVentureFlagReadsAsNone) {
    TUkeoisya ukeoisya;
    ukeoisya.CheckTable();
    TQuery insert(QStringLiteral("kestran"));
    insert.AddSQL(QStringLiteral("insert into Ukeoisya (UKEOISYAMEI) values (:A)"));
    insert.Params(0).SetAsString(QStringLiteral("南組"));
    insert.ExecSQL();
    ukeoisya.JVFlag = true;
    ukeoisya.FindByName(QStringLiteral("南組"));
    EXPECT_FALSE(ukeoisya.JVFlag);
    EXPECT_EQ(ukeoisya.Jusyo, QString());
}

TEST_F(PartyRegistersTest, ClientsKeepTheirNameAsGivenAndRefuseNamesLongerThanTheColumn) {
    THacchusya hacchusya;
    hacchusya.CheckTable();
    hacchusya.Hacchusyamei = QStringLiteral("札幌開発建設部");
    hacchusya.SyokuSimei = QStringLiteral("部長 開発一郎");
    hacchusya.Save();
    hacchusya.FindByName(QStringLiteral("札幌開発建設部"));
    hacchusya.SyokuSimei = QStringLiteral("部長 開発二郎");
    hacchusya.Save();
    hacchusya.Clear();
    EXPECT_TRUE(hacchusya.Hacchusyamei.isEmpty() && hacchusya.SyokuSimei.isEmpty());
    hacchusya.FindByName(QStringLiteral("札幌開発建設部"));
    EXPECT_EQ(hacchusya.SyokuSimei, QStringLiteral("部長 開発二郎"));
    EXPECT_EQ(Rows(QStringLiteral("select * from Hacchusya")).size(), 1);

    // 17 full-width characters are 34 bytes: more than the 32 of the column.
    hacchusya.Clear();
    hacchusya.Hacchusyamei = QString(17, QChar(0x3042));
    EXPECT_THROW(hacchusya.Save(), EngineError);
    EXPECT_EQ(Rows(QStringLiteral("select * from Hacchusya")).size(), 1);

    hacchusya.FindByName(QStringLiteral("札幌開発建設部"));
    hacchusya.Delete();
    EXPECT_TRUE(Rows(QStringLiteral("select * from Hacchusya")).isEmpty());
}

} // namespace
} // namespace tv::test
