// "tavelon import-paradox" and "copy-data" killed at random moments: the destination then holds
// none of the tables or all of them whole, and the next run into it succeeds and leaves nothing.
#include "platform/TableEngine.h"
#include "tests/support/ParadoxWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace tv::test {
namespace {

constexpr int kPoints = 40000;

// The earlier program's folder: points, their lines and a person name.
void WriteOldFolder(const QString& folder) {
    QDir().mkpath(folder);
    std::vector<QByteArray> points, lines;
    for (int p = 0; p < kPoints; ++p)
        points.push_back(PxLong(1 + p / 1000) + PxLong(p % 1000) + PxLogical(p % 7 != 0) +
                         PxNumber(p % 97 / 10.0 - 4.5));
    for (int l = 0; l < kPoints / 10; ++l) {
        QByteArray line =
            PxLong(1 + l / 100) + PxLong(l % 100) + PxAlpha("No." + QByteArray::number(l), 10);
        for (int k = 0; k < 5; ++k)
            line += PxAlpha("12.5", 8);
        lines.push_back(line);
    }
    std::vector<PxField> lineFields = {{QStringLiteral("HID"), 4, 4},
                                       {QStringLiteral("LNO"), 4, 4},
                                       {QStringLiteral("SOKUTEN"), 1, 10}};
    for (const char* name : {"K00", "K01", "K02", "K03", "K04"})
        lineFields.push_back({QString::fromLatin1(name), 1, 8});
    PxOptions big;
    big.blockKb = 4;
    ASSERT_TRUE(WriteFile(folder + QStringLiteral("/RokumaData.DB"),
                          PxFile({{QStringLiteral("SID"), 4, 4},
                                  {QStringLiteral("PNO"), 4, 4},
                                  {QStringLiteral("U"), 9, 1},
                                  {QStringLiteral("DATA"), 6, 8}},
                                 points, big)));
    ASSERT_TRUE(
        WriteFile(folder + QStringLiteral("/RokumaLine.DB"), PxFile(lineFields, lines, big)));
    ASSERT_TRUE(
        WriteFile(folder + QStringLiteral("/Simei.DB"),
                  PxFile({{QStringLiteral("Furigana"), 1, 16}, {QStringLiteral("Simei"), 1, 16}},
                         {PxAlpha("a", 16) + PxAlpha("b", 16)})));
}

// Rows of the table file read on its own (a plain open rolls back what a dead process left);
// -1 when the file is damaged.
int RowsOf(const QString& file, const QString& table) {
    sqlite3* db = nullptr;
    int rows = -1;
    if (sqlite3_open(QFile::encodeName(file).constData(), &db) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        const QByteArray check = "PRAGMA integrity_check";
        if (sqlite3_prepare_v2(db, check.constData(), -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW &&
            qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "ok") == 0) {
            sqlite3_finalize(st);
            const QByteArray count = "select count(*) from " + table.toUtf8();
            if (sqlite3_prepare_v2(db, count.constData(), -1, &st, nullptr) == SQLITE_OK &&
                sqlite3_step(st) == SQLITE_ROW)
                rows = sqlite3_column_int(st, 0);
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return rows;
}

QStringList TablesIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.DB")}, QDir::Files | QDir::Hidden, QDir::Name);
}

// The destination after a kill: none of the tables, or all of them with every row.
void ExpectNoneOrAll(const QString& dest, int round, bool* all) {
    const QStringList tables = TablesIn(dest);
    *all = !tables.isEmpty();
    if (tables.isEmpty())
        return;
    EXPECT_EQ(tables, (QStringList{QStringLiteral("RokumaData.DB"), QStringLiteral("RokumaLine.DB"),
                                   QStringLiteral("Simei.DB")}))
        << "round " << round;
    EXPECT_EQ(RowsOf(dest + QStringLiteral("/RokumaData.DB"), QStringLiteral("RokumaData")),
              kPoints)
        << "round " << round;
    EXPECT_EQ(RowsOf(dest + QStringLiteral("/RokumaLine.DB"), QStringLiteral("RokumaLine")),
              kPoints / 10)
        << "round " << round;
    EXPECT_EQ(RowsOf(dest + QStringLiteral("/Simei.DB"), QStringLiteral("Simei")), 1)
        << "round " << round;
}

// Runs of the command (its arguments, then parent/data) killed at random moments, then one whole.
void KillRuns(QStringList args, const QString& parent, int rounds) {
    const QString dest = parent + QStringLiteral("data");
    args << dest;
    const auto runWhole = [&] {
        QProcess run;
        run.start(QStringLiteral(TAVELON_EXE), args);
        EXPECT_TRUE(run.waitForFinished(120000));
        EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    };

    // One whole run tells how long an import takes here; the kills fall within that time.
    QElapsedTimer timer;
    timer.start();
    runWhole();
    const int span = static_cast<int>(timer.elapsed()) + 50;
    QDir(dest).removeRecursively();

    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    int none = 0, whole = 0;
    for (int round = 0; round < rounds; ++round) {
        QProcess import;
        import.start(QStringLiteral(TAVELON_EXE), args);
        ASSERT_TRUE(import.waitForStarted(10000));
        QThread::msleep(random.bounded(span));
        import.kill();
        import.waitForFinished(10000);
        bool all = false;
        ExpectNoneOrAll(dest, round, &all);
        ++(all ? whole : none);
        if (all)
            QDir(dest).removeRecursively();
    }
    // The next run into what the kills left succeeds and leaves nothing beside the destination.
    runWhole();
    bool all = false;
    ExpectNoneOrAll(dest, -1, &all);
    EXPECT_TRUE(all);
    EXPECT_EQ(QDir(parent).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("data")});
    std::printf("%s of %d points takes %d ms; killed with no table %d times, with all %d\n",
                qPrintable(args.first()), kPoints, span - 50, none, whole);
}

TEST(KillImport, AKilledImportOrCopyLeavesNoTableOrAllAndTheNextRunSucceeds) {
    QTemporaryDir dir;
    const QString src = dir.path() + QStringLiteral("/old");
    WriteOldFolder(src);
    KillRuns({QStringLiteral("import-paradox"), src, QStringLiteral("--into")},
             dir.path() + QStringLiteral("/new/"), 30);
    KillRuns({QStringLiteral("copy-data"), QStringLiteral("--from"),
              dir.path() + QStringLiteral("/new/data"), QStringLiteral("--to")},
             dir.path() + QStringLiteral("/copy/"), 12);
}

} // namespace
} // namespace tv::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
