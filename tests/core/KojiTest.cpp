// The works register with its three parties, against real tables in a private data folder.
#include "platform/TableEngine.h"
#include "registers/Codes.h"
#include "registers/uKoji.h"
#include "tests/support/TableRows.h"
#include "tests/support/TestEnv.h"

namespace tv::test {
namespace {

class KojiTest : public EnvTest {
protected:
    void SetUp() override {
        koji = std::make_unique<TKoji>();
        koji->CheckTable();
    }

    // A work with all of its fields set, saved.
    void SaveWork(const QString& code, const QString& name, const QString& client,
                  const QString& contractor, const QString& agent, int form) {
        koji->Code = code;
        koji->Kojimei = name;
        koji->Hacchusya->FindByName(client);
        koji->Ukeoisya->FindByName(contractor);
        koji->Dairinin->FindByName(agent);
        koji->Yoshiki = form;
        koji->Save();
    }

    std::unique_ptr<TKoji> koji;
};

TEST_F(KojiTest, CreatingAWorkEnsuresThePartyTablesAndCheckTableCreatesKoji1) {
    for (const char* table : {"Simei", "Ukeoisya", "Hacchusya", "Koji1"})
        EXPECT_TRUE(TableExists(QStringLiteral("kestran"), QLatin1String(table))) << table;
    EXPECT_TRUE(koji->CheckTable());
    TQuery query(QStringLiteral("kestran"));
    query.AddSQL(QStringLiteral("select * from Koji1"));
    query.Open();
    QStringList names;
    for (int i = 0; i < query.FieldCount(); ++i)
        names << query.Fields(i).Name().toUpper();
    EXPECT_EQ(names.join(QLatin1Char(',')),
              QStringLiteral("CODE,KOJIMEI,HACCHUSYA,UKEOISYA,DAIRININ,YOSHIKI"));
}

TEST_F(KojiTest, SavingAWorkRegistersItsNewPartiesAndLoadsBackByCode) {
    SaveWork(QStringLiteral(" K001 "), QStringLiteral("国道5号舗装工事"),
             QStringLiteral("札幌開発建設部"), QStringLiteral("北建設"), QStringLiteral("山田"), 1);
    EXPECT_EQ(Rows(QStringLiteral("select * from Koji1")),
              QStringList{QStringLiteral("K001|国道5号舗装工事|札幌開発建設部|北建設|山田|1")});
    EXPECT_EQ(Rows(QStringLiteral("select * from Hacchusya")),
              QStringList{QStringLiteral("札幌開発建設部|")});
    EXPECT_EQ(Rows(QStringLiteral("select * from Simei")),
              QStringList{QStringLiteral("山田|山田")});
    QStringList contractors;
    koji->Ukeoisya->ListNames(contractors);
    EXPECT_EQ(contractors, QStringList{QStringLiteral("北建設")});

    CloseAllConnections(); // as after a restart
    TKoji other;
    other.Yoshiki = 2;
    other.LoadByCode(QStringLiteral("K001  "));
    EXPECT_EQ(other.Code, QStringLiteral("K001"));
    EXPECT_EQ(other.Kojimei, QStringLiteral("国道5号舗装工事"));
    EXPECT_EQ(other.Hacchusya->Hacchusyamei, QStringLiteral("札幌開発建設部"));
    EXPECT_EQ(other.Ukeoisya->Ukeoisyamei, QStringLiteral("北建設"));
    EXPECT_EQ(other.Dairinin->Simei, QStringLiteral("山田"));
    EXPECT_EQ(other.Dairinin->Furigana, QStringLiteral("山田"));
    EXPECT_EQ(other.Yoshiki, 1);

    // An unknown code clears the work, keeps the code as passed and leaves the print form.
    other.LoadByCode(QStringLiteral(" X9"));
    EXPECT_EQ(other.Code, QStringLiteral(" X9"));
    EXPECT_TRUE(other.Kojimei.isEmpty());
    EXPECT_TRUE(other.Hacchusya->Hacchusyamei.isEmpty());
    EXPECT_TRUE(other.Ukeoisya->Ukeoisyamei.isEmpty());
    EXPECT_TRUE(other.Dairinin->Simei.isEmpty());
    EXPECT_EQ(other.Yoshiki, 1);
}

TEST_F(KojiTest, SavingAnExistingCodeReplacesTheRowAndBlankPartiesStayOutOfTheirRegisters) {
    SaveWork(QStringLiteral("K001"), QStringLiteral("旧名"), QStringLiteral("旭川開発建設部"),
             QStringLiteral("北建設"), QStringLiteral("山田"), 0);
    SaveWork(QStringLiteral("K001"), QStringLiteral("新名"), QString(), QString(), QString(), 2);
    EXPECT_EQ(Rows(QStringLiteral("select * from Koji1")),
              QStringList{QStringLiteral("K001|新名||||2")});
    EXPECT_EQ(Rows(QStringLiteral("select * from Hacchusya")).size(), 1);
    EXPECT_EQ(Rows(QStringLiteral("select * from Ukeoisya")).size(), 1);
    EXPECT_EQ(Rows(QStringLiteral("select * from Simei")).size(), 1);

    // A known person keeps the reading registered for it.
    koji->Dairinin->Simei = QStringLiteral("佐藤");
    koji->Dairinin->Furigana = QStringLiteral("さとう");
    koji->Dairinin->Save();
    SaveWork(QStringLiteral("K002"), QStringLiteral("別工事"), QString(), QString(),
             QStringLiteral("佐藤 "), 0);
    EXPECT_EQ(Rows(QStringLiteral("select * from Simei where Simei='佐藤'")),
              QStringList{QStringLiteral("さとう|佐藤")});

    // A blank code saves nothing.
    SaveWork(QStringLiteral("  "), QStringLiteral("無効"), QStringLiteral("新発注者"), QString(),
             QString(), 0);
    EXPECT_EQ(Rows(QStringLiteral("select * from Koji1")).size(), 2);
    EXPECT_EQ(Rows(QStringLiteral("select * from Hacchusya")).size(), 1);
}

TEST_F(KojiTest, ListingWorksGivesCodeAndNameByCodeDescendingWithoutBlankCodes) {
    QStringList list{QStringLiteral("stale")};
    koji->ListWorks(list);
    EXPECT_TRUE(list.isEmpty());

    SaveWork(QStringLiteral("A01"), QStringLiteral("一"), QString(), QString(), QString(), 0);
    SaveWork(QStringLiteral("C03"), QStringLiteral("三"), QString(), QString(), QString(), 0);
    SaveWork(QStringLiteral("B02"), QStringLiteral("二:副"), QString(), QString(), QString(), 0);
    TQuery blank(QStringLiteral("kestran"));
    blank.AddSQL(QStringLiteral("insert into Koji1 (Code,Kojimei) values (:A,:B)"));
    blank.Params(0).SetAsString(QStringLiteral(" "));
    blank.Params(1).SetAsString(QStringLiteral("コードなし"));
    blank.ExecSQL();

    koji->ListWorks(list);
    EXPECT_EQ(list, (QStringList{QStringLiteral("C03:三"), QStringLiteral("B02:二:副"),
                                 QStringLiteral("A01:一")}));
    // An entry splits at its first colon; a name may hold more.
    EXPECT_EQ(CodePart(list[1]) + QLatin1Char('|') + NamePart(list[1]),
              QStringLiteral("B02|二:副"));
    EXPECT_EQ(CodePart(QStringLiteral("D04")) + NamePart(QStringLiteral("D04")),
              QStringLiteral("D04"));
}

TEST_F(KojiTest, DeleteFindsTheWorkUnderItsTrimmedCode) {
    SaveWork(QStringLiteral("K001"), QStringLiteral("一"), QStringLiteral("発注者"), QString(),
             QString(), 0);
    SaveWork(QStringLiteral("K002"), QStringLiteral("二"), QString(), QString(), QString(), 0);
    koji->Code = QStringLiteral(" K001");
    koji->Delete();
    EXPECT_EQ(Rows(QStringLiteral("select Code from Koji1")), QStringList{QStringLiteral("K002")});
    // The parties stay registered.
    EXPECT_EQ(Rows(QStringLiteral("select * from Hacchusya")).size(), 1);
    koji->Code = QStringLiteral("ZZZ");
    koji->Delete();
    EXPECT_EQ(Rows(QStringLiteral("select Code from Koji1")).size(), 1);
}

TEST_F(KojiTest, AClientNameTooLongForTheWorkIsRefusedAndNothingIsWritten) {
    // 16 full-width characters: 32 bytes fit the client register but not the 20 of Koji1.
    const QString longClient = QString(16, QChar(0x767A)); // 発
    THacchusya client;
    client.Hacchusyamei = longClient;
    EXPECT_NO_THROW(client.Save());
    client.Delete();

    koji->Code = QStringLiteral("K001");
    koji->Kojimei = QStringLiteral("工事");
    koji->Hacchusya->FindByName(longClient);
    koji->Ukeoisya->FindByName(QStringLiteral("新請負者"));
    koji->Dairinin->FindByName(QStringLiteral("新人"));
    try {
        koji->Save();
        FAIL() << "the save went through";
    } catch (const EngineError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("K001"))) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains(QStringLiteral("HACCHUSYA"), Qt::CaseInsensitive))
            << e.Message().toStdString();
    }
    for (const char* table : {"Koji1", "Hacchusya", "Ukeoisya", "Simei"})
        EXPECT_TRUE(Rows(QStringLiteral("select * from ") + QLatin1String(table)).isEmpty())
            << table;

    // An update that fails leaves the stored work as it was.
    SaveWork(QStringLiteral("K001"), QStringLiteral("元"), QStringLiteral("短い"), QString(),
             QString(), 0);
    koji->Kojimei = QStringLiteral("変更");
    koji->Hacchusya->FindByName(longClient);
    EXPECT_THROW(koji->Save(), EngineError);
    EXPECT_EQ(Rows(QStringLiteral("select * from Koji1")),
              QStringList{QStringLiteral("K001|元|短い|||0")});
    EXPECT_EQ(Rows(QStringLiteral("select * from Hacchusya")).size(), 1);

    // A contractor name too long for its 40-byte column likewise.
    koji->Hacchusya->FindByName(QStringLiteral("短い"));
    koji->Ukeoisya->FindByName(QString(21, QChar(0x5EFA))); // 42 bytes
    EXPECT_THROW(koji->Save(), EngineError);
    EXPECT_TRUE(Rows(QStringLiteral("select * from Ukeoisya")).isEmpty());
}

} // namespace
} // namespace tv::test
