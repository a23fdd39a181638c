// Saving and loading a measurement of 5,000 readings in a data folder that already holds years of
// measurements (2,000 measurements of 5,000 points: ten million points) against the same in an
// empty data folder. The full folder is built once with bare SQLite inserts, as tables of the
// first build (results in eight bytes, no indexes), and kept for later runs; the first open
// brings it up to date and is timed on its own.
//
//   bench_years [folder]      (default: /tmp/tavelon-bench-years)
#include "bench/BenchSupport.h"
#include "measurement/uRokuma.h"
#include "platform/EngineConfig.h"
#include "platform/GridData.h"
#include "platform/TableEngine.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "tests/support/Measurements.h"
#include "tests/support/TestEnv.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sqlite3.h>
#include <vector>

using namespace tv::bench;

namespace {

constexpr int kRuns = 7;
constexpr int kStoredMeasurements = 2000;
constexpr int kLines = 500;

// Creates a table file with `create`, then fills it through the statement `insert` in one
// transaction: `fill` binds each row and steps it with Row.
void WriteTableFile(const QString& path, const char* create, const char* insert,
                    const std::function<void(sqlite3_stmt*)>& fill) {
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        std::exit(1);
    }
    Exec(db, "PRAGMA journal_mode=OFF");
    Exec(db, "PRAGMA synchronous=OFF");
    Exec(db, create);
    Exec(db, "begin");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, insert, -1, &st, nullptr);
    fill(st);
    sqlite3_finalize(st);
    Exec(db, "commit");
    sqlite3_close(db);
}

// Writes the row bound to the statement and makes it ready for the next.
void Row(sqlite3_stmt* st) {
    sqlite3_step(st);
    sqlite3_reset(st);
}

void BindText(sqlite3_stmt* st, int index, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    sqlite3_bind_text(st, index, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
}

// Writes the three measurement tables of `count` measurements straight into their files.
void BuildFolder(const QString& folder, int count) {
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    std::printf("building %s: %d measurements of %d points ...\n", qPrintable(folder), count,
                kLines * 10);
    std::fflush(stdout);

    WriteTableFile(
        folder + QStringLiteral("RokumaKanri.DB"),
        "CREATE TABLE \"RokumaKanri\" (\"ID\" INTEGER, \"KOJICODE\" VARCHAR(8), "
        "\"KosyuName\" VARCHAR(32), \"STARTP\" VARCHAR(10), \"ENDP\" VARCHAR(10), "
        "\"KYORI\" VARCHAR(10), \"SOKUTEIBI\" DATE, \"SOKUTEIKI\" VARCHAR(32), "
        "\"SOKUTEISYA\" VARCHAR(16), \"SD\" VARCHAR(8), \"SD2\" VARCHAR(8), "
        "\"DATACOUNT\" VARCHAR(8), \"HENSA\" VARCHAR(8), \"HOSR\" VARCHAR(8), "
        "\"HODATACOUNT\" VARCHAR(8), \"HOHENSA\" VARCHAR(8), \"SIYOUSYO\" VARCHAR(4), "
        "\"GP\" VARCHAR(2))",
        "insert into RokumaKanri values (?1,?2,'表層','No.0','No.50','50m','2020-04-01','3m',"
        "'山田','12.5','40.25','5000','1.10','950.0','500','1.20','2.4','10')",
        [count](sqlite3_stmt* st) {
            for (int id = 1; id <= count; ++id) {
                sqlite3_bind_int(st, 1, id);
                BindText(st, 2, QStringLiteral("W%1").arg(id, 4, 10, QLatin1Char('0')));
                Row(st);
            }
        });
    WriteTableFile(folder + QStringLiteral("RokumaLine.DB"),
                   "CREATE TABLE \"RokumaLine\" (\"HID\" INTEGER, \"LNO\" INTEGER, \"Sokuten\" "
                   "VARCHAR(10), \"K00\" VARCHAR(8), \"K01\" VARCHAR(8), \"K02\" VARCHAR(8), "
                   "\"K03\" VARCHAR(8), \"K04\" VARCHAR(8))",
                   "insert into RokumaLine values (?1,?2,?3,'1.5','10.25','2.0','-1.0','3.0')",
                   [count](sqlite3_stmt* st) {
                       for (int id = 1; id <= count; ++id)
                           for (int r = 1; r <= kLines; ++r) {
                               sqlite3_bind_int(st, 1, id);
                               sqlite3_bind_int(st, 2, r);
                               BindText(st, 3, QStringLiteral("No.%1").arg(r));
                               Row(st);
                           }
                   });
    WriteTableFile(folder + QStringLiteral("RokumaData.DB"),
                   "CREATE TABLE \"RokumaData\" (\"SID\" INTEGER, \"PNO\" INTEGER, \"U\" "
                   "BOOLEAN, \"DATA\" DOUBLE)",
                   "insert into RokumaData values (?1,?2,1,?3)", [count](sqlite3_stmt* st) {
                       for (int id = 1; id <= count; ++id)
                           for (int p = 0; p < kLines * 10; ++p) {
                               sqlite3_bind_int(st, 1, id);
                               sqlite3_bind_int(st, 2, p);
                               sqlite3_bind_double(
                                   st, 3, static_cast<float>((id * 7 + p * 3) % 41 / 10.0 - 2.0));
                               Row(st);
                           }
                   });
    QFile marker(folder + QStringLiteral(".built"));
    marker.open(QIODevice::WriteOnly);
}

qint64 FolderBytes(const QString& folder) {
    qint64 total = 0;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo& f : files)
        total += f.size();
    return total;
}

struct Timing {
    double save = 0;
    double load = 0;
};

// Opens the folder as the main window does, then saves and loads the measurement kRuns times.
Timing Measure(const QString& folder, tv::TGridData& grid, double* openMs) {
    tv::SetDatabaseParam(QStringLiteral("kestran"), QStringLiteral("Path"), folder);
    tv::CloseAllConnections();
    QElapsedTimer t;
    t.start();
    tv::TRokumaKanri header;
    tv::test::ChooseMeasurement(header, QStringLiteral("A001"), QStringLiteral("表層"));
    *openMs = t.nsecsElapsed() / 1e6;
    header.SOKUTEISYA = QStringLiteral("山田");

    std::vector<double> save, load;
    for (int run = 0; run < kRuns; ++run)
        SaveAndLoad(header, grid, kLines, save, load);
    return {Median(save), Median(load)};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    tv::test::TestEnv env;
    QString years =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/tavelon-bench-years");
    if (!years.endsWith(QLatin1Char('/')))
        years += QLatin1Char('/');
    if (!QFile::exists(years + QStringLiteral(".built"))) {
        QElapsedTimer t;
        t.start();
        BuildFolder(years, kStoredMeasurements);
        std::printf("built in %.1f s\n", t.nsecsElapsed() / 1e9);
    }

    tv::TGridData grid;
    FillMeasurement(grid, kLines);

    double emptyOpen = 0, fullOpen = 0;
    const Timing empty = Measure(env.DataFolder(), grid, &emptyOpen);
    const Timing full = Measure(years, grid, &fullOpen);
    const double e = empty.save + empty.load, f = full.save + full.load;
    std::printf("save and load of 500 lines and 5000 readings, median of %d runs\n", kRuns);
    std::printf("empty data folder:            save %8.2f ms  load %8.2f ms  together %8.2f ms\n",
                empty.save, empty.load, e);
    std::printf("folder of %d measurements:  save %8.2f ms  load %8.2f ms  together %8.2f ms"
                "  -> %.2fx (target <= 1.5x)\n",
                kStoredMeasurements, full.save, full.load, f, f / e);
    std::printf("opening the full folder (tables checked, brought up to date once, the work "
                "chosen): %.0f ms\n",
                fullOpen);
    std::printf("full data folder: %.1f MB in %s\n", FolderBytes(years) / 1e6, qPrintable(years));
    // The benchmark's own measurement does not stay in the kept folder.
    tv::SetDatabaseParam(QStringLiteral("kestran"), QStringLiteral("Path"), years);
    tv::TRokumaKanri header;
    header.Koji->Code = QStringLiteral("A001");
    header.Kosyu->Kosyumei = QStringLiteral("表層");
    header.Delete();
    return 0;
}
