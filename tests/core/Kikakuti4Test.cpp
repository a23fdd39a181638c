// The standard-values register against real tables in a private data folder.
#include "platform/TableEngine.h"
#include "registers/uKikakuti4.h"
#include "registers/uKosyu.h"
#include "tests/support/Measurements.h"
#include "tests/support/TestEnv.h"

#include <QFileInfo>

namespace tv::test {
namespace {

// Every stored row as "ID|Kubun|work type|item|U1|D1|U2|D2|flag|condition|standard", by ID.
QStringList StoredRows() {
    TQuery query(QStringLiteral("kestran"));
    query.AddSQL(QStringLiteral("select * from KIKAKUTI4 order by ID"));
    query.Open();
    QStringList rows;
    while (!query.Eof()) {
        QStringList fields;
        for (int i = 0; i < query.FieldCount(); ++i)
            fields << (i == 8 ? QString::number(query.Fields(i).AsBoolean())
                              : query.Fields(i).AsString());
        rows << fields.join(QLatin1Char('|'));
        query.Next();
    }
    return rows;
}

class Kikakuti4Test : public EnvTest {
protected:
    void SetUp() override {
        ASSERT_FALSE(entry.CheckTable());
        TKosyu kosyu;
        kosyu.CheckTable();
    }

    // Fills the object with a new entry's values and saves it.
    void SaveEntry(int kubun, const QString& kosyumei, const QString& item, const QString& upper,
                   const QString& lower, bool hantei = false, const QString& joken = QString()) {
        StoreStandard(entry, kubun, kosyumei, item, upper, lower, hantei, joken);
    }

    TKikakuti4 entry;
};

TEST_F(Kikakuti4Test, TableHasTheElevenColumnsInOrderAndNumbersFromOne) {
    EXPECT_TRUE(TableExists(QStringLiteral("kestran"), QStringLiteral("KIKAKUTI4")));
    EXPECT_TRUE(entry.CheckTable());
    EXPECT_EQ(entry.NextID(), 1);
    SaveEntry(0, QStringLiteral("表層工"), QStringLiteral("平坦性"), QStringLiteral("2.4"),
              QStringLiteral("-"), true, QStringLiteral("σ≦2.4"));
    TQuery query(QStringLiteral("kestran"));
    query.AddSQL(QStringLiteral("select * from Kikakuti4"));
    query.Open();
    QStringList names;
    for (int i = 0; i < query.FieldCount(); ++i)
        names << query.Fields(i).Name().toUpper();
    EXPECT_EQ(names, (QStringList{QStringLiteral("ID"), QStringLiteral("KUBUN"),
                                  QStringLiteral("KOSYUMEI"), QStringLiteral("KOUMOKUMEI"),
                                  QStringLiteral("KIKAKUTIU1"), QStringLiteral("KIKAKUTID1"),
                                  QStringLiteral("KIKAKUTIU2"), QStringLiteral("KIKAKUTID2"),
                                  QStringLiteral("GOKAKUHANTEI"), QStringLiteral("JOKEN"),
                                  QStringLiteral("SOKUTEIKIJUN")}));
    EXPECT_EQ(StoredRows(),
              QStringList{QStringLiteral("1|0|表層工|平坦性|2.4|-|2.40|-0|1|σ≦2.4|")});
    EXPECT_EQ(entry.NextID(), 2);
}

TEST_F(Kikakuti4Test, SaveInsertsByKeyAndUpdatesTheStoredEntryUnderItsOwnId) {
    SaveEntry(0, QStringLiteral("表層工"), QStringLiteral("平坦性"), QStringLiteral("2.4"),
              QStringLiteral(""));
    EXPECT_EQ(entry.ID, 1);
    SaveEntry(1, QStringLiteral("表層工"), QStringLiteral("平坦性"), QStringLiteral("3.0"),
              QStringLiteral(""));
    EXPECT_EQ(entry.ID, 2);
    // No category chosen: stored as -1.
    SaveEntry(-1, QStringLiteral("基層工"), QStringLiteral("厚さ"), QStringLiteral("5"),
              QStringLiteral("-5"));
    EXPECT_EQ(entry.ID, 3);

    // The object holds entry 3; the key is changed to entry 1's without reloading. The update
    // reaches entry 1 and leaves its number as it was, so no two entries share an ID.
    entry.Kubun = 0;
    entry.Kosyu->FindByName(QStringLiteral("表層工"));
    entry.Koumokumei = QStringLiteral("平坦性");
    entry.KikakutiU1 = QStringLiteral("2.6");
    entry.Save();
    EXPECT_EQ(entry.ID, 1);
    EXPECT_EQ(StoredRows(), (QStringList{QStringLiteral("1|0|表層工|平坦性|2.6|-5|50|-50|0||"),
                                         QStringLiteral("2|1|表層工|平坦性|3.0||3.00|0|0||"),
                                         QStringLiteral("3|-1|基層工|厚さ|5|-5|50|-50|0||")}));
    // Deleting now removes the entry just saved, not the one loaded before.
    entry.Delete();
    EXPECT_EQ(StoredRows().size(), 2);
    EXPECT_TRUE(StoredRows().first().startsWith(QStringLiteral("2|")));
}

TEST_F(Kikakuti4Test, FindByKeyLoadsAnEntryOrEmptiesOnlyTheLimits) {
    StoreWorkTypes({QStringLiteral("表層工")});
    SaveEntry(2, QStringLiteral("表層工"), QStringLiteral("平坦性"), QStringLiteral("2.4"),
              QStringLiteral("1"), true, QStringLiteral("n≧10"));
    TKikakuti4 other;
    other.Kubun = 2;
    other.Kosyu->FindByName(QStringLiteral("表層工"));
    other.Koumokumei = QStringLiteral("平坦性");
    other.FindByKey();
    EXPECT_EQ(other.ID, 1);
    EXPECT_EQ(other.Kosyu->ID, 1); // the work type comes from its register
    EXPECT_EQ(other.KikakutiU1, QStringLiteral("2.4"));
    EXPECT_EQ(other.KikakutiD1, QStringLiteral("1"));
    EXPECT_EQ(other.KikakutiU2, QStringLiteral("2.40"));
    EXPECT_EQ(other.KikakutiD2, QStringLiteral("10"));
    EXPECT_TRUE(other.GokakuHantei);
    EXPECT_EQ(other.Joken, QStringLiteral("n≧10"));

    // The key is looked up as held: a blank around the item name finds nothing.
    other.Koumokumei = QStringLiteral("平坦性 ");
    other.FindByKey();
    EXPECT_TRUE(other.KikakutiU1.isEmpty() && other.KikakutiD1.isEmpty() &&
                other.KikakutiU2.isEmpty() && other.KikakutiD2.isEmpty());
    EXPECT_TRUE(other.GokakuHantei);
    EXPECT_EQ(other.Joken, QStringLiteral("n≧10"));
    EXPECT_EQ(other.Koumokumei, QStringLiteral("平坦性 "));
    // Nothing stored is held, so deleting removes nothing.
    EXPECT_EQ(other.ID, 0);
    other.Delete();
    EXPECT_EQ(StoredRows().size(), 1);
    // The same key in another category is another entry.
    other.Koumokumei = QStringLiteral("平坦性");
    other.Kubun = 0;
    other.FindByKey();
    EXPECT_EQ(other.ID, 0);
}

TEST_F(Kikakuti4Test, ListsAreOfTheCurrentCategoryAndTheRegisteredPickFollowsTheWorkTypeOrder) {
    StoreWorkTypes({QStringLiteral("路盤工"), QStringLiteral("表層:A"), QStringLiteral("基層工")});
    SaveEntry(0, QStringLiteral("基層工"), QStringLiteral("平坦性"), QStringLiteral("1"), {});
    SaveEntry(0, QStringLiteral("路盤工"), QStringLiteral("厚さ"), QStringLiteral("1"), {});
    SaveEntry(0, QStringLiteral("表層:A"), QStringLiteral("平坦性"), QStringLiteral("1"), {});
    SaveEntry(0, QStringLiteral("路盤工"), QStringLiteral("平坦性"), QStringLiteral("1"), {});
    // A work type no longer registered, and another category.
    SaveEntry(0, QStringLiteral("舗装工"), QStringLiteral("幅"), QStringLiteral("1"), {});
    SaveEntry(1, QStringLiteral("基層工"), QStringLiteral("密度"), QStringLiteral("1"), {});

    entry.Kubun = 0;
    QStringList list{QStringLiteral("stale")};
    entry.ListItemNames(list);
    EXPECT_EQ(list, (QStringList{QStringLiteral("厚さ"), QStringLiteral("幅"),
                                 QStringLiteral("平坦性")}));
    entry.ListRegistered(list);
    EXPECT_EQ(list,
              (QStringList{QStringLiteral("路盤工:厚さ"), QStringLiteral("路盤工:平坦性"),
                           QStringLiteral("表層:A:平坦性"), QStringLiteral("基層工:平坦性")}));
    entry.Kubun = 1;
    entry.ListItemNames(list);
    EXPECT_EQ(list, QStringList{QStringLiteral("密度")});
    entry.ListRegistered(list);
    EXPECT_EQ(list, QStringList{QStringLiteral("基層工:密度")});
    entry.Kubun = 2;
    entry.ListRegistered(list);
    EXPECT_TRUE(list.isEmpty());
}

} // namespace
} // namespace tv::test
