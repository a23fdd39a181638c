#include "platform/TableEngine.h"
#include "platform/Cp932.h"
#include "platform/EngineConfig.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <cstdio>
#include <sqlite3.h>

namespace tv {
namespace {

const QString kDb = QStringLiteral("kestran");

class TableEngineTest : public test::EnvTest {
protected:
    void CreateWorkTables() {
        CreateTable(kDb, QStringLiteral("Kosyu4"),
                    {{QStringLiteral("ID"), FieldType::Integer},
                     {QStringLiteral("Kosyumei"), FieldType::String, 32}});
        CreateTable(kDb, QStringLiteral("RokumaKanri"),
                    {{QStringLiteral("ID"), FieldType::Integer},
                     {QStringLiteral("KOJICODE"), FieldType::String, 8},
                     {QStringLiteral("KosyuName"), FieldType::String, 32},
                     {QStringLiteral("SOKUTEIBI"), FieldType::Date},
                     {QStringLiteral("SOKUTEIKI"), FieldType::String, 32},
                     {QStringLiteral("U"), FieldType::Boolean},
                     {QStringLiteral("DATA"), FieldType::Double}});
    }

    void InsertKosyu(int id, const QString& name) {
        TQuery q(kDb);
        q.AddSQL(QStringLiteral("insert into Kosyu4 (ID,Kosyumei)"));
        q.AddSQL(QStringLiteral("values (:A,:B)"));
        q.Params(0).SetAsInteger(id);
        q.Params(1).SetAsString(name);
        q.ExecSQL();
    }

    void InsertKanri(int id, const QString& code, const QString& kosyu, const QString& kiki,
                     bool u = true, double data = 0) {
        TQuery q(kDb);
        q.AddSQL(QStringLiteral("insert into RokumaKanri (ID,KOJICODE,KosyuName,SOKUTEIBI,"
                                "SOKUTEIKI,U,DATA) values (:A,:B,:C,:D,:E,:F,:G)"));
        q.Params(0).SetAsInteger(id);
        q.Params(1).SetAsString(code);
        q.Params(2).SetAsString(kosyu);
        q.Params(3).SetAsDate(QDate(2026, 12, id));
        q.Params(4).SetAsString(kiki);
        q.Params(5).SetAsBoolean(u);
        q.Params(6).SetAsFloat(data);
        q.ExecSQL();
    }

    // Column 0 of every row, as texts.
    static QStringList Column(const QString& sql, int col = 0) {
        TQuery q(kDb);
        q.AddSQL(sql);
        q.Open();
        QStringList out;
        for (; !q.Eof(); q.Next())
            out << q.Fields(col).AsString();
        return out;
    }

    static int Count(const QString& table) {
        TQuery q(kDb);
        q.AddSQL(QStringLiteral("select count(*) from ") + table);
        q.Open();
        return q.Fields(0).AsInteger();
    }

    static QString EngineMessage(const std::function<void()>& f) {
        try {
            f();
        } catch (const EngineError& e) {
            return e.Message();
        }
        return QString();
    }
};

TEST_F(TableEngineTest, SqlFormsOfTheSystem) {
    CreateWorkTables();
    InsertKosyu(1, QStringLiteral("表層"));
    InsertKosyu(2, QStringLiteral("基層"));
    InsertKanri(1, QStringLiteral("A001"), QStringLiteral("表層"), QStringLiteral("機械B"), true,
                1.5);
    InsertKanri(2, QStringLiteral("A001"), QStringLiteral("基層"), QStringLiteral("機械A"), false);
    InsertKanri(3, QStringLiteral("A002"), QStringLiteral("表層"), QStringLiteral("機械A"));

    // select * keeps the creation order, values read back in their types
    {
        TQuery q(kDb);
        q.AddSQL(QStringLiteral("select * from RokumaKanri where KOJICODE=:A and KosyuName=:B"));
        q.Params(0).SetAsString(QStringLiteral("A001"));
        q.Params(1).SetAsString(QStringLiteral("表層"));
        q.Open();
        ASSERT_FALSE(q.Eof());
        ASSERT_EQ(q.FieldCount(), 7);
        EXPECT_EQ(q.Fields(0).Name(), QStringLiteral("ID"));
        EXPECT_EQ(q.Fields(6).Name(), QStringLiteral("DATA"));
        EXPECT_EQ(q.Fields(0).AsInteger(), 1);
        EXPECT_EQ(q.Fields(3).AsDate(), QDate(2026, 12, 1));
        EXPECT_TRUE(q.Fields(5).AsBoolean());
        EXPECT_DOUBLE_EQ(q.Fields(6).AsFloat(), 1.5);
        EXPECT_EQ(q.Fields(6).AsInteger(), 1); // toward zero, as the stored results are read
        q.Next();
        EXPECT_TRUE(q.Eof());
    }
    // distinct, group by, order by several columns with Desc
    EXPECT_EQ(Column(QStringLiteral("select distinct KOJICODE from RokumaKanri order by KOJICODE")),
              (QStringList{QStringLiteral("A001"), QStringLiteral("A002")}));
    EXPECT_EQ(Column(QStringLiteral("select Sokuteiki from RokumaKanri group by Sokuteiki")),
              (QStringList{QStringLiteral("機械A"), QStringLiteral("機械B")}));
    EXPECT_EQ(Column(QStringLiteral("select ID from RokumaKanri order by SOKUTEIKI Desc, ID Desc")),
              (QStringList{QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("2")}));
    // one inner join on equal columns, on a fresh connection: the joined table is opened too
    CloseAllConnections();
    EXPECT_EQ(Column(QStringLiteral("select K.ID, R.ID from Kosyu4 K inner join RokumaKanri R on "
                                    "K.Kosyumei = R.KosyuName order by R.ID"),
                     0),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("1")}));
    // update with a repeated parameter: the later :B needs no value of its own
    {
        TQuery q(kDb);
        q.AddSQL(QStringLiteral("update RokumaKanri set ID=:A,KOJICODE=:B,SOKUTEIKI=:C where "
                                "KOJICODE=:B and KosyuName=:D"));
        ASSERT_EQ(q.ParamCount(), 4);
        q.Params(0).SetAsInteger(9);
        q.Params(1).SetAsString(QStringLiteral("A002"));
        q.Params(2).SetAsString(QStringLiteral("機械C"));
        q.Params(3).SetAsString(QStringLiteral("表層"));
        q.ExecSQL();
    }
    EXPECT_EQ(Column(QStringLiteral("select ID from RokumaKanri where SOKUTEIKI='機械C'")),
              QStringList{QStringLiteral("9")});
    // delete with and without where; Max on an empty table is one row holding null
    {
        TQuery q(kDb);
        q.AddSQL(QStringLiteral("delete from RokumaKanri where ID=:A"));
        q.Params(0).SetAsInteger(9);
        q.ExecSQL();
    }
    EXPECT_EQ(Count(QStringLiteral("RokumaKanri")), 2);
    {
        TQuery q(kDb);
        q.AddSQL(QStringLiteral("delete from RokumaKanri"));
        q.ExecSQL();
    }
    TQuery max(kDb);
    max.AddSQL(QStringLiteral("select Max(ID) from RokumaKanri"));
    max.Open();
    ASSERT_FALSE(max.Eof());
    EXPECT_TRUE(max.Fields(0).IsNull());
    EXPECT_EQ(max.Fields(0).AsInteger(), 0);
    EXPECT_EQ(max.Fields(0).AsString(), QString());
    EXPECT_FALSE(max.Fields(0).AsBoolean());
    EXPECT_FALSE(max.Fields(0).AsDate().isValid());
    max.Next();
    EXPECT_TRUE(max.Eof());
}

TEST_F(TableEngineTest, ParametersAreNumberedByFirstOccurrenceAndFoundByNameInAnyCase) {
    CreateWorkTables();
    TQuery q(kDb);
    q.AddSQL(QStringLiteral("select * from RokumaKanri where KOJICODE=:Code and "));
    q.AddSQL(QStringLiteral("KosyuName=:Name and SOKUTEIKI<>':NotAParam' and KOJICODE=:code"));
    ASSERT_EQ(q.ParamCount(), 2);
    EXPECT_EQ(q.Params(0).Name(), QStringLiteral("Code"));
    EXPECT_EQ(q.Params(1).Name(), QStringLiteral("Name"));
    EXPECT_EQ(&q.ParamByName(QStringLiteral("NAME")), &q.Params(1));
    EXPECT_THROW(q.Params(2), EngineError);
    EXPECT_THROW(q.ParamByName(QStringLiteral("Other")), EngineError);

    q.ParamByName(QStringLiteral("code")).SetAsString(QStringLiteral("A001"));
    const QString missing = EngineMessage([&] { q.Open(); });
    EXPECT_TRUE(missing.contains(QStringLiteral("Name"))) << missing.toStdString();

    // Adding a line keeps the values of the names that remain.
    q.AddSQL(QStringLiteral("and ID=:Id"));
    ASSERT_EQ(q.ParamCount(), 3);
    EXPECT_TRUE(q.Params(0).IsSet());
    q.Params(1).SetAsString(QStringLiteral("表層"));
    q.Params(2).SetAsInteger(1);
    InsertKanri(1, QStringLiteral("A001"), QStringLiteral("表層"), QString());
    q.Open();
    EXPECT_FALSE(q.Eof());
}

TEST_F(TableEngineTest, NamesMatchWithoutRegardToCase) {
    CreateTable(kDb, QStringLiteral("SIMEI"),
                {{QStringLiteral("SIMEIMEI"), FieldType::String, 16},
                 {QStringLiteral("YOMI"), FieldType::String, 16}});
    EXPECT_TRUE(TableExists(kDb, QStringLiteral("Simei")));
    EXPECT_FALSE(TableExists(kDb, QStringLiteral("Simei2")));
    EXPECT_THROW(
        CreateTable(kDb, QStringLiteral("simei"), {{QStringLiteral("X"), FieldType::Integer}}),
        EngineError);

    TQuery ins(QStringLiteral("KESTRAN"));
    ins.AddSQL(QStringLiteral("insert into Simei (simeimei, Yomi) values (:A, :B)"));
    ins.Params(0).SetAsString(QStringLiteral("山田"));
    ins.Params(1).SetAsString(QStringLiteral("やまだ"));
    ins.ExecSQL();

    // The folder path reaches the same table as the database name.
    TQuery q(env.OnServer() ? kDb : env.DataFolder());
    q.AddSQL(QStringLiteral("select * from simei"));
    q.Open();
    ASSERT_FALSE(q.Eof());
    EXPECT_EQ(q.FieldByName(QStringLiteral("simeiMEI")).AsString(), QStringLiteral("山田"));
    EXPECT_THROW(q.FieldByName(QStringLiteral("NONE")), EngineError);
    EXPECT_THROW(q.Fields(2), EngineError);

    if (env.OnServer())
        return;
    // A file renamed to another case is still the table.
    CloseAllConnections();
    ASSERT_TRUE(QFile::rename(env.DataFolder() + QStringLiteral("SIMEI.DB"),
                              env.DataFolder() + QStringLiteral("simei.db")));
    EXPECT_EQ(Count(QStringLiteral("SiMeI")), 1);
}

TEST_F(TableEngineTest, TextLongerThanItsColumnIsRefusedAndNothingIsWritten) {
    CreateTable(kDb, QStringLiteral("T"),
                {{QStringLiteral("ID"), FieldType::Integer},
                 {QStringLiteral("SIYOUSYO"), FieldType::String, 4}});
    auto insert = [&](int id, const QString& text) {
        TQuery q(kDb);
        q.AddSQL(QStringLiteral("insert into T (ID,SIYOUSYO) values (:A,:B)"));
        q.Params(0).SetAsInteger(id);
        q.Params(1).SetAsString(text);
        q.ExecSQL();
    };
    insert(1, QStringLiteral("ABCD")); // exactly 4 bytes
    insert(2, QStringLiteral("あい")); // 2 x 2 bytes
    insert(3, QStringLiteral("ｱｲｳｴ")); // half-width kana: 1 byte each
    insert(4, QStringLiteral("1〜2")); // wave dash as typed: 2 bytes
    const QString tooLong = EngineMessage([&] { insert(5, QStringLiteral("ABCDE")); });
    EXPECT_TRUE(tooLong.contains(QStringLiteral("SIYOUSYO")) &&
                tooLong.contains(QStringLiteral("4")))
        << tooLong.toStdString();
    EXPECT_FALSE(EngineMessage([&] { insert(6, QStringLiteral("あいう")); }).isEmpty());
    const QString foreign = EngineMessage([&] { insert(7, QStringLiteral("é")); });
    EXPECT_TRUE(foreign.contains(QStringLiteral("SIYOUSYO"))) << foreign.toStdString();
    EXPECT_EQ(Count(QStringLiteral("T")), 4);

    // A statement touching several rows is refused whole.
    TQuery upd(kDb);
    upd.AddSQL(QStringLiteral("update T set SIYOUSYO = SIYOUSYO || 'x'"));
    EXPECT_THROW(upd.ExecSQL(), EngineError);
    EXPECT_EQ(Column(QStringLiteral("select SIYOUSYO from T order by ID")),
              (QStringList{QStringLiteral("ABCD"), QStringLiteral("あい"), QStringLiteral("ｱｲｳｴ"),
                           QStringLiteral("1〜2")}));

    EXPECT_EQ(Cp932Length(QStringLiteral("A表①")), 5);
    EXPECT_FALSE(Cp932Length(QStringLiteral("€")).has_value());
    // Encoding maps the input method's wave dash to the code page's own; decoding gives it back.
    const std::optional<QByteArray> bytes = Cp932Encode(QStringLiteral("A表〜"));
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, QByteArray("A\x95\x5C\x81\x60"));
    EXPECT_EQ(Cp932Decode(*bytes), QStringLiteral("A表～"));
    EXPECT_FALSE(Cp932Encode(QStringLiteral("€")).has_value());
    EXPECT_FALSE(Cp932Decode(QByteArray("\x81")).has_value());
    // The first character that does not encode, whole; the first byte that does not decode.
    EXPECT_EQ(Cp932FirstUnencodable(QStringLiteral("A表😀")), QStringLiteral("😀"));
    int bad = -1;
    EXPECT_FALSE(Cp932Decode("A\x95\x5C\x81", 4, &bad).has_value());
    EXPECT_EQ(bad, 3);
}

TEST_F(TableEngineTest, FailuresSayWhatAndWhere) {
    const QString noTable = EngineMessage([&] { Count(QStringLiteral("RokumaLine")); });
    EXPECT_TRUE(noTable.contains(QStringLiteral("RokumaLine"))) << noTable.toStdString();
    // Reading a folder leaves it as it was.
    EXPECT_EQ(QDir(env.DataFolder())
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList());

    const QString noDb = EngineMessage([&] {
        TQuery q(QStringLiteral("nosuchdb"));
        q.AddSQL(QStringLiteral("select * from X"));
        q.Open();
    });
    EXPECT_TRUE(noDb.contains(QStringLiteral("nosuchdb"))) << noDb.toStdString();
    EXPECT_THROW(ResolveDatabaseFolder(QStringLiteral("nosuchdb")), EngineError);

    CreateWorkTables();
    const QString syntax = EngineMessage([&] {
        TQuery q(kDb);
        q.AddSQL(QStringLiteral("select NOCOLUMN from Kosyu4"));
        q.Open();
    });
    EXPECT_TRUE(syntax.contains(QStringLiteral("NOCOLUMN"))) << syntax.toStdString();

    if (env.OnServer())
        return;
    // Files that are not our tables: a Paradox table of an earlier program, a damaged file, an
    // empty file and an SQLite database holding something else.
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(env.DataFolder() + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    QByteArray paradox(2048, '\0');
    paradox[0] = 0x2a; // record size
    paradox[3] = 0x08; // header size 0x0800
    paradox[4] = 0x00; // indexed table
    paradox[5] = 0x02; // maximum block size
    write(QStringLiteral("Koji1.DB"), paradox);
    write(QStringLiteral("Hacchusya.DB"), QByteArray("this is not a table at all"));
    write(QStringLiteral("Ukeoisya.DB"), QByteArray());
    {
        sqlite3* db = nullptr;
        sqlite3_open((env.DataFolder() + QStringLiteral("Other.DB")).toUtf8().constData(), &db);
        sqlite3_exec(db, "create table Something (X int)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    const QString para = EngineMessage([&] { Count(QStringLiteral("Koji1")); });
    EXPECT_TRUE(para.contains(QStringLiteral("Koji1.DB")) &&
                para.contains(QStringLiteral("Paradox")))
        << para.toStdString();
    const QString junk = EngineMessage([&] { Count(QStringLiteral("Hacchusya")); });
    EXPECT_TRUE(junk.contains(QStringLiteral("Hacchusya.DB"))) << junk.toStdString();
    const QString empty = EngineMessage([&] { Count(QStringLiteral("Ukeoisya")); });
    EXPECT_TRUE(empty.contains(QStringLiteral("Ukeoisya.DB"))) << empty.toStdString();
    const QString other = EngineMessage([&] { Count(QStringLiteral("Other")); });
    EXPECT_TRUE(other.contains(QStringLiteral("Other.DB"))) << other.toStdString();

    // Foreign files beside them do not disturb the tables, in or out of a transaction.
    InsertKosyu(1, QStringLiteral("表層"));
    TTransaction tx(kDb);
    InsertKosyu(2, QStringLiteral("基層"));
    tx.Commit();
    EXPECT_EQ(Count(QStringLiteral("Kosyu4")), 2);
}

TEST_F(TableEngineTest, TransactionsSpanTablesAndCommitOrRollBackWhole) {
    CreateWorkTables();
    InsertKosyu(1, QStringLiteral("表層"));
    {
        TTransaction tx(kDb);
        InsertKosyu(2, QStringLiteral("基層"));
        InsertKanri(1, QStringLiteral("A001"), QStringLiteral("基層"), QString());
        EXPECT_EQ(Count(QStringLiteral("Kosyu4")), 2); // its own writes are visible inside
        tx.Rollback();
    }
    EXPECT_EQ(Count(QStringLiteral("Kosyu4")), 1);
    EXPECT_EQ(Count(QStringLiteral("RokumaKanri")), 0);
    {
        TTransaction tx(kDb); // destroyed without Commit: rolled back
        InsertKosyu(3, QStringLiteral("路盤"));
    }
    EXPECT_EQ(Count(QStringLiteral("Kosyu4")), 1);
    {
        // A failing statement in the middle; the caller abandons the whole.
        TTransaction tx(kDb);
        TQuery del(kDb);
        del.AddSQL(QStringLiteral("delete from Kosyu4"));
        del.ExecSQL();
        InsertKanri(1, QStringLiteral("A001"), QStringLiteral("表層"), QString());
        EXPECT_THROW(InsertKosyu(4, QStringLiteral("とても長い工種の名前はこの列に入りきりません")),
                     EngineError);
    }
    EXPECT_EQ(Count(QStringLiteral("Kosyu4")), 1);
    EXPECT_EQ(Count(QStringLiteral("RokumaKanri")), 0);
    {
        TTransaction tx(QStringLiteral("Kestran"));
        InsertKosyu(2, QStringLiteral("基層"));
        {
            TTransaction inner(kDb);
            InsertKanri(1, QStringLiteral("A001"), QStringLiteral("基層"), QString());
            inner.Rollback();
        }
        InsertKanri(2, QStringLiteral("A001"), QStringLiteral("基層"), QString());
        tx.Commit();
    }
    CloseAllConnections();
    EXPECT_EQ(Count(QStringLiteral("Kosyu4")), 2);
    EXPECT_EQ(Column(QStringLiteral("select ID from RokumaKanri")),
              QStringList{QStringLiteral("2")});
}

TEST_F(TableEngineTest, StoredValuesAreReadableWithPlainSqlite) {
    if (env.OnServer())
        GTEST_SKIP() << "about the table files";
    CreateWorkTables();
    InsertKanri(9, QStringLiteral("A001"), QStringLiteral("表層"), QStringLiteral("機械"), false);
    CloseAllConnections();
    sqlite3* db = nullptr;
    ASSERT_EQ(
        sqlite3_open_v2((env.DataFolder() + QStringLiteral("RokumaKanri.DB")).toUtf8().constData(),
                        &db, SQLITE_OPEN_READONLY, nullptr),
        SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(db, "select SOKUTEIBI, U, KosyuName from RokumaKanri", -1, &st, nullptr),
        SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "2026-12-09");
    EXPECT_EQ(sqlite3_column_type(st, 1), SQLITE_INTEGER);
    EXPECT_EQ(sqlite3_column_int(st, 1), 0);
    EXPECT_EQ(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2))),
              QStringLiteral("表層"));
    sqlite3_finalize(st);
    // The files can be checked without this program.
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "ok");
    sqlite3_finalize(st);
    sqlite3_close(db);
}

TEST_F(TableEngineTest, ATableFileReplacedBehindTheEngineIsReadAfresh) {
    if (env.OnServer())
        GTEST_SKIP() << "about the table files";
    CreateWorkTables();
    InsertKosyu(1, QStringLiteral("表層"));
    EXPECT_EQ(Count(QStringLiteral("Kosyu4")), 1);
    ASSERT_TRUE(QFile::remove(env.DataFolder() + QStringLiteral("Kosyu4.DB")));
    EXPECT_FALSE(EngineMessage([&] { Count(QStringLiteral("Kosyu4")); }).isEmpty());
    CreateTable(kDb, QStringLiteral("Kosyu4"),
                {{QStringLiteral("ID"), FieldType::Integer},
                 {QStringLiteral("Kosyumei"), FieldType::String, 32}});
    EXPECT_EQ(Count(QStringLiteral("Kosyu4")), 0);
    InsertKosyu(5, QStringLiteral("基層"));
    CloseAllConnections();
    EXPECT_EQ(Column(QStringLiteral("select ID from Kosyu4")), QStringList{QStringLiteral("5")});
}

TEST_F(TableEngineTest, ABackupRenamedOverATableIsTheTableFromTheNextStatementOn) {
    if (env.OnServer())
        GTEST_SKIP() << "about the table files";
    CreateWorkTables();
    InsertKosyu(1, QStringLiteral("表層"));
    const QString file = env.DataFolder() + QStringLiteral("Kosyu4.DB");
    const QString backup = file + QStringLiteral(".bak");
    const auto restore = [&] { // one step, as a backup tool does it
        ASSERT_EQ(
            std::rename(QFile::encodeName(backup).constData(), QFile::encodeName(file).constData()),
            0);
    };
    // A row written between the copy and its renaming back is gone with the old file.
    ASSERT_TRUE(QFile::copy(file, backup));
    InsertKosyu(2, QStringLiteral("基層"));
    restore();
    EXPECT_EQ(Column(QStringLiteral("select ID from Kosyu4")), QStringList{QStringLiteral("1")});
    // Replaced with no statement in between, the next write goes into the new file.
    ASSERT_TRUE(QFile::copy(file, backup));
    restore();
    InsertKosyu(3, QStringLiteral("路盤"));
    {
        TTransaction tx(kDb, {QStringLiteral("Kosyu4")});
        InsertKosyu(4, QStringLiteral("路床"));
        tx.Commit();
    }
    // Inside a transaction the old file cannot be let go: the commit fails and writes nothing
    // rather than write into the file no longer there.
    for (const bool statementAfter : {true, false}) {
        ASSERT_TRUE(QFile::copy(file, backup));
        TTransaction tx(kDb, {QStringLiteral("Kosyu4")});
        InsertKosyu(5, QStringLiteral("表層"));
        restore();
        const QString failure = EngineMessage([&] {
            if (statementAfter)
                InsertKosyu(6, QStringLiteral("基層"));
            tx.Commit();
        });
        EXPECT_TRUE(failure.contains(QStringLiteral("Kosyu4.DB"))) << failure.toStdString();
    }
    CloseAllConnections();
    EXPECT_EQ(Column(QStringLiteral("select ID from Kosyu4 order by ID")),
              (QStringList{QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("4")}));
}

TEST_F(TableEngineTest, ConfigurationNamesDatabasesAndTheirFolders) {
    EXPECT_EQ(DatabaseParam(QStringLiteral("KESTRAN"), QStringLiteral("path")), env.DataFolder());
    EXPECT_EQ(ResolveDatabaseFolder(QStringLiteral("Kestran")), env.DataFolder());
    EXPECT_EQ(ResolveDatabaseFolder(QStringLiteral("/some/folder")),
              QStringLiteral("/some/folder/"));
    const QString msg =
        EngineMessage([] { DatabaseParam(QStringLiteral("other"), QStringLiteral("Path")); });
    EXPECT_TRUE(msg.contains(QStringLiteral("other"))) << msg.toStdString();

    // Rewriting an entry keeps the spelling of section and key and the file stays one entry.
    ASSERT_TRUE(
        SetDatabaseParam(QStringLiteral("KESTRAN"), QStringLiteral("PATH"), QStringLiteral("/x")));
    EXPECT_EQ(DatabaseParam(QStringLiteral("kestran"), QStringLiteral("Path")),
              QStringLiteral("/x"));
    QSettings ini(EngineConfigFile(), QSettings::IniFormat);
    EXPECT_EQ(ini.childGroups(), QStringList{QStringLiteral("kestran")});

    // First start: no entry yet.
    QFile::remove(EngineConfigFile());
    EnsureDefaultDatabase();
    EXPECT_EQ(DatabaseParam(QStringLiteral("kestran"), QStringLiteral("Path")),
              DefaultDataFolder());
    EXPECT_TRUE(QDir(DefaultDataFolder()).exists());
    EXPECT_TRUE(DefaultDataFolder().startsWith(env.Root()));

    // A configuration that cannot be written: its folder is taken by a file.
    const QString configDir = QFileInfo(EngineConfigFile()).absolutePath();
    QDir(configDir).removeRecursively();
    QFile blocker(configDir);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(
        SetDatabaseParam(QStringLiteral("kestran"), QStringLiteral("Path"), QStringLiteral("/y")));
}

TEST_F(TableEngineTest, ATransactionCommitsThroughItsMainFileOrNotAtAll) {
    if (env.OnServer())
        GTEST_SKIP() << "about the table files";
    CreateWorkTables();
    const QString mainFile = env.DataFolder() + QStringLiteral(".tavelon-engine.sqlite");
    // A directory where the main file belongs: no transaction without an all-or-nothing commit.
    CloseAllConnections();
    ASSERT_TRUE(QDir().mkpath(mainFile));
    const QString refused = EngineMessage([&] { TTransaction tx(kDb); });
    EXPECT_TRUE(refused.contains(QStringLiteral("管理ファイルに書き込めません")) &&
                refused.contains(QDir::toNativeSeparators(env.DataFolder())))
        << refused.toStdString();
    ASSERT_TRUE(QDir(mainFile).removeRecursively());

    // A garbage or empty main file without a journal holds nothing and is made again.
    for (const QByteArray& content : {QByteArray("not a database at all"), QByteArray()}) {
        CloseAllConnections();
        QFile f(mainFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        TTransaction tx(kDb);
        InsertKosyu(Count(QStringLiteral("Kosyu4")) + 1, QStringLiteral("表層"));
        InsertKanri(Count(QStringLiteral("RokumaKanri")) + 1, QStringLiteral("A001"),
                    QStringLiteral("表層"), QString());
        tx.Commit();
    }
    EXPECT_EQ(Count(QStringLiteral("Kosyu4")), 2);
    QFile f(mainFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(16).startsWith("SQLite format 3"));
    f.close();

    // A super-journal left by a killed save goes when the folder is opened; one that a table's
    // journal still needs stays until the table is recovered.
    CloseAllConnections();
    const QString super = mainFile + QStringLiteral("-mj1A2B3C4D5");
    QFile stray(super);
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.write("Kosyu4.DB");
    stray.close();
    QFile journal(env.DataFolder() + QStringLiteral("Other.DB-journal"));
    ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
    journal.write("busy");
    journal.close();
    EXPECT_EQ(Count(QStringLiteral("Kosyu4")), 2);
    EXPECT_TRUE(QFile::exists(super));
    CloseAllConnections();
    ASSERT_TRUE(journal.remove());
    EXPECT_EQ(Count(QStringLiteral("Kosyu4")), 2);
    EXPECT_FALSE(QFile::exists(super));
}

TEST_F(TableEngineTest, ATransactionOpensTheTablesItDeclaresWhateverElseIsInTheFolder) {
    if (env.OnServer())
        GTEST_SKIP() << "a server transaction spans every table";
    // Twelve other valid tables, ahead of ours in name order, pass SQLite's limit of ten.
    for (int i = 1; i <= 12; ++i)
        CreateTable(kDb, QStringLiteral("A%1").arg(i, 2, 10, QLatin1Char('0')),
                    {{QStringLiteral("X"), FieldType::Integer}});
    CreateWorkTables();
    // Plain statements open what they name and let go of others beyond SQLite's ten.
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(Count(QStringLiteral("A%1").arg(i, 2, 10, QLatin1Char('0'))), 0);
    {
        TTransaction tx(kDb, {QStringLiteral("Kosyu4"), QStringLiteral("RokumaKanri")});
        InsertKosyu(1, QStringLiteral("表層"));
        InsertKanri(1, QStringLiteral("A001"), QStringLiteral("表層"), QString());
        // A table it did not declare is named as such.
        const QString other = EngineMessage([&] { Count(QStringLiteral("A05")); });
        EXPECT_TRUE(other.contains(QStringLiteral("A05"))) << other.toStdString();
        // Nor can an inner transaction open it.
        const QString inner = EngineMessage([&] { TTransaction in(kDb, {QStringLiteral("A05")}); });
        EXPECT_TRUE(inner.contains(QStringLiteral("A05"))) << inner.toStdString();
        tx.Commit();
    }
    EXPECT_EQ(Count(QStringLiteral("Kosyu4")), 1);
    EXPECT_EQ(Count(QStringLiteral("RokumaKanri")), 1);

    // Ten declared tables, SQLite's limit, are used together; an eleventh is refused.
    QStringList ten;
    for (int i = 1; i <= 10; ++i)
        ten << QStringLiteral("A%1").arg(i, 2, 10, QLatin1Char('0'));
    {
        TTransaction tx(kDb, ten);
        for (const QString& table : ten) {
            TQuery q(kDb);
            q.AddSQL(QStringLiteral("insert into %1 (X) values (1)").arg(table));
            q.ExecSQL();
        }
        tx.Commit();
    }
    EXPECT_EQ(Count(QStringLiteral("A01")) + Count(QStringLiteral("A10")), 2);
    const QString eleven =
        EngineMessage([&] { TTransaction tx(kDb, ten + QStringList{QStringLiteral("A11")}); });
    EXPECT_TRUE(eleven.contains(QStringLiteral("10 個まで"))) << eleven.toStdString();

    // A truncated table file is reported with its name and cause, declared or met later.
    QFile damaged(env.DataFolder() + QStringLiteral("Koji1.DB"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray("SQLite format 3\0", 16) + QByteArray(40, '\x01'));
    damaged.close();
    const QString declared = EngineMessage([&] {
        TTransaction tx(kDb, {QStringLiteral("Koji1"), QStringLiteral("Kosyu4")});
    });
    EXPECT_TRUE(declared.contains(QStringLiteral("Koji1.DB"))) << declared.toStdString();
    ASSERT_TRUE(QFile::remove(env.DataFolder() + QStringLiteral("A01.DB")));
    for (int i = 2; i <= 12; ++i)
        QFile::remove(env.DataFolder() + QStringLiteral("A%1.DB").arg(i, 2, 10, QLatin1Char('0')));
    TTransaction tx(kDb);
    const QString later = EngineMessage([&] { Count(QStringLiteral("Koji1")); });
    EXPECT_TRUE(later.contains(QStringLiteral("Koji1.DB")) &&
                !later.contains(QStringLiteral("トランザクションの開始時")))
        << later.toStdString();
}

TEST_F(TableEngineTest, IndexesAndWiderColumnsChangeNoResult) {
    CreateTable(kDb, QStringLiteral("Line"),
                {{QStringLiteral("HID"), FieldType::Integer},
                 {QStringLiteral("K00"), FieldType::String, 4},
                 {QStringLiteral("Name"), FieldType::String, 4}},
                {{QStringLiteral("HID")}});
    TQuery insert(kDb);
    insert.AddSQL(QStringLiteral("insert into Line (HID,K00,Name) values (:A,:B,:C)"));
    for (int i = 1; i <= 3; ++i) {
        insert.Params(0).SetAsInteger(i);
        insert.Params(1).SetAsString(QStringLiteral("1234"));
        insert.Params(2).SetAsString(QStringLiteral("n%1").arg(i));
        insert.ExecSQL();
    }
    EXPECT_EQ(Column(QStringLiteral("select * from Line where HID=2"), 2),
              QStringList{QStringLiteral("n2")});
    insert.Params(1).SetAsString(QStringLiteral("12345"));
    EXPECT_THROW(insert.ExecSQL(), EngineError);

    UpgradeTable(kDb, QStringLiteral("LINE"),
                 {{QStringLiteral("HID"), FieldType::Integer},
                  {QStringLiteral("K00"), FieldType::String, 6},
                  {QStringLiteral("Name"), FieldType::String, 2}}, // never narrowed
                 {{QStringLiteral("HID")}, {QStringLiteral("Name"), QStringLiteral("HID")}});
    {
        TQuery q(kDb);
        q.AddSQL(QStringLiteral("select * from Line order by HID"));
        q.Open();
        ASSERT_EQ(q.FieldCount(), 3);
        EXPECT_EQ(q.Fields(2).Name(), QStringLiteral("Name"));
        EXPECT_EQ(q.Fields(2).AsString(), QStringLiteral("n1"));
    }
    insert.Params(0).SetAsInteger(4);
    insert.ExecSQL(); // "12345" fits now
    insert.Params(1).SetAsString(QStringLiteral("1234567"));
    EXPECT_THROW(insert.ExecSQL(), EngineError);
    insert.Params(1).SetAsString(QString());
    insert.Params(2).SetAsString(QStringLiteral("abcd"));
    insert.ExecSQL();
    EXPECT_EQ(Count(QStringLiteral("Line")), 5);

    if (env.OnServer())
        return;
    sqlite3* db = nullptr;
    sqlite3_open((env.DataFolder() + QStringLiteral("Line.DB")).toUtf8().constData(), &db);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "select count(*) from sqlite_master where type='index'", -1, &st,
                       nullptr);
    sqlite3_step(st);
    EXPECT_EQ(sqlite3_column_int(st, 0), 2);
    sqlite3_finalize(st);
    sqlite3_close(db);
}

TEST_F(TableEngineTest, AFullDiskInsideATransactionWritesNothing) {
    if (env.OnServer())
        GTEST_SKIP() << "about the table files";
    CreateWorkTables();
    InsertKosyu(1, QStringLiteral("表層"));
    {
        TTransaction tx(kDb);
        InsertKanri(1, QStringLiteral("A001"), QStringLiteral("表層"), QString());
        {
            // The table file may not grow any more, as on a full disk.
            TQuery limit(kDb);
            limit.AddSQL(QStringLiteral("PRAGMA t_kosyu4.max_page_count = 2"));
            limit.Open();
        }
        QString failure;
        for (int i = 0; i < 200 && failure.isEmpty(); ++i)
            failure = EngineMessage([&] { InsertKosyu(10 + i, QString(16, QChar(u'あ'))); });
        EXPECT_TRUE(failure.contains(QStringLiteral("ディスク"))) << failure.toStdString();
        // A caller going on regardless gets no piecemeal commit.
        EXPECT_THROW(InsertKanri(2, QStringLiteral("A002"), QStringLiteral("表層"), QString()),
                     EngineError);
        EXPECT_THROW(tx.Commit(), EngineError);
    }
    CloseAllConnections();
    EXPECT_EQ(Count(QStringLiteral("Kosyu4")), 1);
    EXPECT_EQ(Count(QStringLiteral("RokumaKanri")), 0);
    InsertKosyu(2, QStringLiteral("基層")); // the engine goes on normally afterwards
    EXPECT_EQ(Count(QStringLiteral("Kosyu4")), 2);
}

} // namespace
} // namespace tv
