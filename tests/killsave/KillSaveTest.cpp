// A process saving measurements over and over is killed at random moments; after each kill the
// stored measurement is the old or the new one, whole, and every table file is intact.
#include "measurement/uRokuma.h"
#include "platform/GridData.h"
#include "platform/TableEngine.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "tests/support/TestEnv.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace tv {
namespace {} // namespace

const char* g_self = nullptr; // this program, started again as the saving process

namespace {

// Two measurements of the same pair that differ in every stored part.
void Fill(int variant, TRokumaKanri& header, TGridData& grid) {
    header.STARTP = variant == 0 ? QStringLiteral("old") : QStringLiteral("new");
    header.SD = QString::number(variant);
    const int rows = variant == 0 ? 500 : 230;
    for (int r = 1; r <= rows; ++r) {
        grid.SetCellText(1, r, QStringLiteral("V%1-%2").arg(variant).arg(r));
        for (int j = 2; j <= 11; ++j) {
            grid.SetCellText(j, r, QString::number(((r * 7 + j * (variant + 2)) % 50) / 10.0 - 2));
            grid.SetForeColor((r + j + variant) % 13 == 0 ? kColorRed : kColorBlack);
        }
        for (int k = 12; k <= 16; ++k)
            grid.SetCellText(k, r, QString::number(variant + k));
    }
}

void Choose(TRokumaKanri& header) {
    header.Koji->Code = QStringLiteral("A001");
    header.Kosyu->Kosyumei = QStringLiteral("表層");
    header.LoadByWork();
}

// The saving process: alternates the two measurements until it is killed.
int SaveForever() {
    TRokumaKanri header;
    Choose(header);
    TGridData grids[2];
    for (int v = 0; v < 2; ++v) {
        Fill(v, header, grids[v]);
    }
    std::printf("ready\n");
    std::fflush(stdout);
    try {
        for (int n = 1;; ++n) {
            Fill(n % 2, header, grids[n % 2]);
            SaveMeasurement(header, grids[n % 2]);
        }
    } catch (const TError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

QString GridText(const TGridData& grid) {
    QString out;
    for (int r = 1; r <= grid.MaxRows(); ++r)
        for (int c = 1; c <= 16; ++c) {
            out += grid.CellText(c, r);
            if (c >= 2 && c <= 11 && !grid.CellText(c, r).isEmpty() && grid.CellColor(c, r) != 0)
                out += QLatin1Char('*');
            out += QLatin1Char(',');
        }
    return out;
}

TEST(KillSave, AKilledSaveLeavesTheOldOrTheNewMeasurementWhole) {
    test::TestEnv env;
    TRokumaKanri header;
    header.CheckTable();
    TRokumaLine().CheckTable();
    TKosyu().CheckTable();
    header.Koji->CheckTable();
    Choose(header);

    QString expected[2];
    for (int v = 0; v < 2; ++v) {
        TGridData grid;
        Fill(v, header, grid);
        expected[v] = GridText(grid);
    }
    {
        TGridData grid;
        Fill(0, header, grid);
        SaveMeasurement(header, grid);
    }
    CloseAllConnections();

    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    int seen[2] = {0, 0};
    for (int round = 0; round < 20; ++round) {
        QProcess saver;
        saver.start(QString::fromLocal8Bit(g_self), {QStringLiteral("--save-forever")});
        ASSERT_TRUE(saver.waitForStarted(10000));
        ASSERT_TRUE(saver.waitForReadyRead(20000))
            << "the saver did not start: " << saver.readAllStandardError().toStdString();
        QThread::msleep(random.bounded(20, 600));
        saver.kill();
        saver.waitForFinished(10000);
        ASSERT_EQ(saver.exitStatus(), QProcess::CrashExit)
            << saver.readAllStandardError().toStdString();

        // Each table file on its own (a plain open rolls back what the dead process left).
        for (const char* table : {"RokumaKanri", "RokumaLine", "RokumaData"}) {
            sqlite3* db = nullptr;
            const QByteArray path =
                (env.DataFolder() + QLatin1String(table) + QStringLiteral(".DB")).toUtf8();
            ASSERT_EQ(sqlite3_open(path.constData(), &db), SQLITE_OK);
            sqlite3_stmt* st = nullptr;
            ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr),
                      SQLITE_OK);
            ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
            EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "ok")
                << table << " after round " << round;
            sqlite3_finalize(st);
            sqlite3_close(db);
        }

        TRokumaKanri stored;
        Choose(stored);
        ASSERT_EQ(stored.ID, 1);
        const int variant = stored.STARTP == QLatin1String("new") ? 1 : 0;
        EXPECT_EQ(stored.SD, QString::number(variant)) << "round " << round;
        TGridData loaded;
        LoadMeasurementGrid(stored.ID, loaded);
        EXPECT_TRUE(GridText(loaded) == expected[variant])
            << "round " << round << ": the stored lines and points are not measurement " << variant
            << " whole";
        ++seen[variant];
        TQuery count(QStringLiteral("kestran"));
        count.AddSQL(QStringLiteral("select count(*) from RokumaKanri"));
        count.Open();
        EXPECT_EQ(count.Fields(0).AsInteger(), 1);
        CloseAllConnections();
    }
    std::printf("old measurement found %d times, new %d times\n", seen[0], seen[1]);
}

} // namespace
} // namespace tv

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--save-forever") == 0)
        return tv::SaveForever();
    QCoreApplication app(argc, argv);
    tv::g_self = strdup(QCoreApplication::applicationFilePath().toLocal8Bit().constData());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
