// Outputs and built folders are all or nothing and touch nothing else: an output never replaces a
// table or a file of the data folder, replaces its target only by a rename of a whole file and
// clears what a killed write left; a folder built beside its destination gives it all of its
// tables or none. The engine waits for another program's save and says what failed, in Japanese.
#include "platform/SafeOutput.h"
#include "measurement/uRokuma.h"
#include "platform/EngineConfig.h"
#include "platform/GridData.h"
#include "platform/ParadoxTable.h"
#include "platform/TableEngine.h"
#include "tests/support/Measurements.h"
#include "tests/support/ParadoxWriter.h"
#include "tests/support/RunTavelon.h"
#include "tests/support/TestEnv.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>
#include <sqlite3.h>
#include <thread>

namespace tv::test {
namespace {

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

QString Refused(const QString& target) {
    try {
        TOutputFile out(target);
    } catch (const TError& e) {
        return e.Message();
    }
    return QString();
}

TEST_F(EnvTest, AnOutputNeverReplacesATableOrAFileOfTheDataFolder) {
    TRokumaKanri header;
    ChooseMeasurement(header, QStringLiteral("A001"), QStringLiteral("表層"),
                      QStringLiteral("工事"));
    TGridData grid;
    grid.SetCellText(2, 1, QStringLiteral("1.5"));
    SaveMeasurement(header, grid);
    const QString data = env.DataFolder();
    const QString journal = env.WriteFile(QStringLiteral("data/RokumaData.DB-journal"), "j");
    const QString engineFile = env.WriteFile(QStringLiteral("data/.tavelon-engine.sqlite"), "");
    const QString elsewhere = env.Root() + QStringLiteral("/copy.sqlite");
    ASSERT_TRUE(QFile::copy(data + QStringLiteral("Koji1.DB"), elsewhere));
    const QString link = env.Root() + QStringLiteral("/link.pdf");
    ASSERT_TRUE(QFile::link(data + QStringLiteral("RokumaLine.DB"), link));
    const QString userPart = env.WriteFile(QStringLiteral("out.xlsx.part"), "mine");

    const QStringList targets = {data + QStringLiteral("RokumaData.DB"),
                                 data + QStringLiteral("rokumaline.db"),
                                 journal,
                                 engineFile,
                                 EngineConfigFile(),
                                 elsewhere,
                                 link,
                                 data};
    for (const QString& target : targets) {
        const QByteArray before = Bytes(target);
        const QString reason = Refused(target);
        EXPECT_TRUE(reason.contains(QDir::toNativeSeparators(target))) << reason.toStdString();
        EXPECT_EQ(Bytes(target), before) << target.toStdString();
    }
    EXPECT_TRUE(Refused(elsewhere).contains(QStringLiteral("SQLite")));
    // Any other file may be written, in the data folder too; nothing else is touched.
    EXPECT_EQ(Refused(data + QStringLiteral("report.pdf")), QString());
    EXPECT_EQ(Refused(env.Root() + QStringLiteral("/out.xlsx")), QString());
    EXPECT_EQ(Bytes(userPart), QByteArray("mine"));

    // The command line refuses the same with exit code 2; the tables stay byte for byte.
    const QStringList outputs = {QStringLiteral("RokumaData.DB"), QStringLiteral("Koji1.DB")};
    for (const QString& name : outputs) {
        const QByteArray before = Bytes(data + name);
        const TRun run = Tavelon({QStringLiteral("export"), QStringLiteral("--work"),
                                  QStringLiteral("A001"), QStringLiteral("--type"),
                                  QStringLiteral("表層"), QStringLiteral("--xlsx"), data + name});
        EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(name)) << run.err.toStdString();
        EXPECT_EQ(Bytes(data + name), before);
    }
}

TEST_F(EnvTest, AnOutputReplacesItsTargetWholeAndClearsWhatAKilledWriteLeft) {
    const QString target = env.WriteFile(QStringLiteral("out.csv"), "old");
    // A killed write's temporary file (its process is gone) and a running one's.
    const QString dead = env.WriteFile(QStringLiteral(".out.csv.tavelon-99999999-1.tmp"), "half");
    const QString alive = env.WriteFile(
        QStringLiteral(".out.csv.tavelon-%1-1.tmp").arg(QCoreApplication::applicationPid()),
        "writing");
    const QString other = env.WriteFile(QStringLiteral(".other.csv.tavelon-99999999-1.tmp"), "x");
    {
        TOutputFile out(target);
        EXPECT_FALSE(QFile::exists(dead));
        EXPECT_TRUE(QFile::exists(alive));
        EXPECT_TRUE(QFile::exists(other)) << "only the temporary files of this target go";
        out.Device().write("new");
        EXPECT_EQ(Bytes(target), QByteArray("old")) << "the old file stays until the rename";
        // Not committed: the old file stays and the temporary file goes.
    }
    EXPECT_EQ(Bytes(target), QByteArray("old"));
    {
        TOutputFile out(target);
        out.Device().write("new");
        out.Commit();
    }
    EXPECT_EQ(Bytes(target), QByteArray("new"));
    QFile::remove(alive);
    EXPECT_EQ(Entries(env.Root()).filter(QStringLiteral("out.csv")),
              QStringList{QStringLiteral("out.csv")});

    // A folder that does not exist: the message names the file and the cause.
    const QString missing = env.Root() + QStringLiteral("/no/such/out.pdf");
    EXPECT_TRUE(Refused(missing).contains(QStringLiteral("フォルダがありません")))
        << Refused(missing).toStdString();
}

// Builds `tables` table files into `staging`, failing before the table numbered `failAt` (none
// when it is past the end).
void BuildTables(const QString& staging, int tables, int failAt) {
    QStringList names;
    for (int t = 0; t < tables; ++t) {
        if (t == failAt)
            throw EngineError(QStringLiteral("injected"));
        const QString name = QStringLiteral("T%1").arg(t);
        CreateTable(staging, name, {{QStringLiteral("A"), FieldType::Integer, 0}});
        names << name;
    }
    TTransaction tx(staging, names);
    for (const QString& name : std::as_const(names)) {
        TQuery insert(staging);
        insert.AddSQL(QStringLiteral("insert into %1 (A) values (7)").arg(name));
        insert.ExecSQL();
    }
    tx.Commit();
}

// Random destinations (missing, empty, with other files, holding a table of the same name, with
// a killed run's leftovers beside it) and random failures of the build: the destination ends with
// all the tables or none, keeps its other files, and nothing is left beside it.
TEST_F(EnvTest, AFolderBuiltBesideItsDestinationArrivesWholeOrNotAtAll) {
    const quint32 seed = QRandomGenerator::global()->generate();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    QRandomGenerator random(seed);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        const QString parent = env.Root() + QStringLiteral("/r%1/").arg(round);
        const QString dest = parent + QStringLiteral("dest");
        const int kind = static_cast<int>(random.bounded(4));
        const int tables = 1 + static_cast<int>(random.bounded(4));
        const int failAt = static_cast<int>(random.bounded(tables + 2));
        QDir().mkpath(parent);
        QStringList before;
        if (kind >= 1)
            QDir().mkpath(dest);
        if (kind >= 2)
            WriteFile(dest + QStringLiteral("/notes.txt"), "mine");
        if (kind == 3 && random.bounded(2) == 0)
            WriteFile(dest + QStringLiteral("/t0.db"), "a table of that name");
        if (random.bounded(2) == 0) {
            // A killed earlier run: its folder beside the destination, with a table in it.
            const QString left = parent + QStringLiteral(".dest.tavelon-99999999-5.staging/");
            QDir().mkpath(left);
            WriteFile(left + QStringLiteral("T9.DB"), "half");
        }
        before = Entries(dest);
        const bool clash = before.contains(QStringLiteral("t0.db"));
        bool built = true;
        try {
            BuildFolderAtomically(
                dest, [&](const QString& staging) { BuildTables(staging, tables, failAt); });
        } catch (const TError&) {
            built = false;
        }
        EXPECT_EQ(built, failAt >= tables && !clash);
        QStringList expected = before;
        if (built)
            for (int t = 0; t < tables; ++t)
                expected << QStringLiteral("T%1.DB").arg(t);
        expected.sort();
        EXPECT_EQ(Entries(dest), expected);
        EXPECT_EQ(Entries(parent),
                  QDir(dest).exists() ? QStringList{QStringLiteral("dest")} : QStringList());
        if (built) {
            TQuery q(dest);
            q.AddSQL(QStringLiteral("select A from T%1").arg(tables - 1));
            q.Open();
            EXPECT_EQ(q.Fields(0).AsInteger(), 7);
            CloseConnection(dest);
        }
    }
}

TEST_F(EnvTest, TheEngineWaitsForAnotherSaveAndSaysWhatFailed) {
    TRokumaKanri header;
    ChooseMeasurement(header, QStringLiteral("A001"), QStringLiteral("表層"),
                      QStringLiteral("工事"));
    {
        TTransaction first(QStringLiteral("kestran"));
        first.Commit();
    }
    CloseAllConnections();
    // Another program holds the main file while this one opens its first connection.
    sqlite3* other = nullptr;
    const QByteArray main =
        QFile::encodeName(env.DataFolder() + QStringLiteral(".tavelon-engine.sqlite"));
    ASSERT_EQ(sqlite3_open(main.constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::thread release([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    QString failure;
    try {
        TTransaction tx(QStringLiteral("kestran"));
        tx.Commit();
    } catch (const TError& e) {
        failure = e.Message();
    }
    release.join();
    sqlite3_close(other);
    EXPECT_EQ(failure, QString()) << "the save waits for the other one";

    // A data folder deeper than SQLite opens: refused before use, and named with its limit.
    QString deep = env.Root() + QLatin1Char('/');
    while (QFile::encodeName(deep).size() < 520)
        deep += QString(60, QLatin1Char('d')) + QLatin1Char('/');
    ASSERT_TRUE(QDir().mkpath(deep));
    EXPECT_TRUE(DataFolderPathProblem(deep).contains(QString::number(kMaxDataFolderBytes)));
    EXPECT_EQ(DataFolderPathProblem(env.DataFolder()), QString());
    QString created;
    try {
        CreateTable(deep, QStringLiteral("Simei"), {{QStringLiteral("A"), FieldType::Integer, 0}});
    } catch (const TError& e) {
        created = e.Message();
    }
    EXPECT_TRUE(created.contains(QStringLiteral("パスが")) &&
                created.contains(QStringLiteral("511")))
        << created.toStdString();

    // A table file that is no database names the file and the cause.
    CloseAllConnections();
    const QString garbage = env.WriteFile(QStringLiteral("data/Simei.DB"), QByteArray(4096, 'x'));
    QString read;
    try {
        TQuery q(QStringLiteral("kestran"));
        q.AddSQL(QStringLiteral("select * from Simei"));
        q.Open();
    } catch (const TError& e) {
        read = e.Message();
    }
    EXPECT_TRUE(read.contains(QDir::toNativeSeparators(garbage))) << read.toStdString();
    EXPECT_FALSE(read.contains(QStringLiteral("SQL エラー"))) << read.toStdString();
}

// Every cut of a table file short of its header is refused as cut, whatever bytes follow in
// memory; texts of the file reach the message as they are.
TEST(ParadoxTableTest, EveryReadIsCheckedAgainstTheFileSize) {
    const QByteArray whole =
        PxFile({{QStringLiteral("%2ID"), 4, 4}, {QStringLiteral("NAME"), 1, 8}},
               {PxLong(1) + PxAlpha("a", 8)});
    // A header that claims to end within the file's 88 to 95 bytes.
    for (int size = 0x58; size < 0x60; ++size) {
        QByteArray cut = whole.left(size);
        cut[2] = static_cast<char>(size);
        cut[3] = 0;
        QString message;
        try {
            ParadoxTable::FromBytes(cut, QStringLiteral("cut.DB"));
        } catch (const TError& e) {
            message = e.Message();
        }
        EXPECT_TRUE(message.contains(QStringLiteral("途中で切れています")))
            << size << message.toStdString();
    }
    QByteArray wrongSize = whole;
    wrongSize[0x78 + 1] = 2; // the Long field "%2ID" declared 2 bytes long
    wrongSize[0] = 10;
    QString message;
    try {
        ParadoxTable::FromBytes(wrongSize, QStringLiteral("w.DB"));
    } catch (const TError& e) {
        message = e.Message();
    }
    EXPECT_TRUE(message.contains(QStringLiteral("%2ID"))) << message.toStdString();
}

} // namespace
} // namespace tv::test
