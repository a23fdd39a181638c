// Saving and loading a full measurement (500 lines, 5,000 readings) through the records, against
// a bare SQLite program writing the same rows in one transaction, measured in the same run.
#include "bench/BenchSupport.h"
#include "measurement/uRokuma.h"
#include "platform/GridData.h"
#include "platform/TableEngine.h"
#include "platform/gui/vaSpread.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "tests/support/Measurements.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

using namespace tv::bench;

namespace {

constexpr int kRuns = 7;

// The same rows as the records write, with prepared statements reused, in one transaction.
// `files` 3: one file per table as the engine keeps them; 1: all three tables in one file.
double BareSqlite(const QString& folder, int files, const tv::TGridData& grid) {
    QDir().mkpath(folder);
    const QByteArray main = (folder + QStringLiteral("/RokumaKanri.DB")).toUtf8();
    sqlite3* db = nullptr;
    sqlite3_open(main.constData(), &db);
    Exec(db, "create table if not exists RokumaKanri (ID INTEGER, KOJICODE TEXT, KosyuName TEXT, "
             "STARTP TEXT, ENDP TEXT, KYORI TEXT, SOKUTEIBI DATE, SOKUTEIKI TEXT, SOKUTEISYA TEXT, "
             "SD TEXT, SD2 TEXT, DATACOUNT TEXT, HENSA TEXT, HOSR TEXT, HODATACOUNT TEXT, HOHENSA "
             "TEXT, SIYOUSYO TEXT, GP TEXT)");
    const char* line = "main";
    const char* data = "main";
    if (files == 3) {
        const QByteArray l =
            "attach '" + (folder + QStringLiteral("/RokumaLine.DB")).toUtf8() + "' as l";
        const QByteArray d =
            "attach '" + (folder + QStringLiteral("/RokumaData.DB")).toUtf8() + "' as d";
        Exec(db, l.constData());
        Exec(db, d.constData());
        line = "l";
        data = "d";
    }
    Exec(db, QStringLiteral("create table if not exists %1.RokumaLine (HID INTEGER, LNO INTEGER, "
                            "Sokuten TEXT, K00 TEXT, K01 TEXT, K02 TEXT, K03 TEXT, K04 TEXT)")
                 .arg(QLatin1String(line))
                 .toUtf8()
                 .constData());
    Exec(db, QStringLiteral("create table if not exists %1.RokumaData (SID INTEGER, PNO INTEGER, U "
                            "BOOLEAN, DATA DOUBLE)")
                 .arg(QLatin1String(data))
                 .toUtf8()
                 .constData());

    QElapsedTimer timer;
    timer.start();
    Exec(db, "begin immediate");
    Exec(db, "delete from RokumaLine where HID=1");
    Exec(db, "delete from RokumaData where SID=1");
    Exec(db, "delete from RokumaKanri where ID=1");
    Exec(db, "insert into RokumaKanri values (1,'A001','表層','No.0','No.50','50m','2026-12-09',"
             "'3m','山田','1','2','5000','1.00','10','500','1.00','2.4','10')");
    sqlite3_stmt* insLine = nullptr;
    sqlite3_stmt* insData = nullptr;
    sqlite3_prepare_v2(db, "insert into RokumaLine values (?,?,?,?,?,?,?,?)", -1, &insLine,
                       nullptr);
    sqlite3_prepare_v2(db, "insert into RokumaData values (?,?,?,?)", -1, &insData, nullptr);
    for (int r = 1; r <= grid.MaxRows(); ++r) {
        sqlite3_bind_int(insLine, 1, 1);
        sqlite3_bind_int(insLine, 2, r);
        const int cols[6] = {1, 12, 13, 14, 15, 16};
        for (int k = 0; k < 6; ++k) {
            const QByteArray t = grid.CellText(cols[k], r).toUtf8();
            sqlite3_bind_text(insLine, 3 + k, t.constData(), t.size(), SQLITE_TRANSIENT);
        }
        sqlite3_step(insLine);
        sqlite3_reset(insLine);
        for (int j = 2; j <= 11; ++j) {
            sqlite3_bind_int(insData, 1, 1);
            sqlite3_bind_int(insData, 2, (r - 1) * 10 + j - 2);
            sqlite3_bind_int(insData, 3, grid.CellColor(j, r) == 0);
            sqlite3_bind_double(insData, 4, static_cast<float>(grid.CellText(j, r).toDouble()));
            sqlite3_step(insData);
            sqlite3_reset(insData);
        }
    }
    sqlite3_finalize(insLine);
    sqlite3_finalize(insData);
    Exec(db, "commit");
    const double ms = timer.nsecsElapsed() / 1e6;
    sqlite3_close(db);
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tv::test::TestEnv env;
    tv::TvaSpread spread;
    spread.resize(619, 273);
    spread.show();
    QApplication::processEvents();
    tv::TRokumaKanri header;
    tv::test::ChooseMeasurement(header, QStringLiteral("A001"), QStringLiteral("表層"));
    header.SOKUTEISYA = QStringLiteral("山田");

    tv::TGridData grid;
    FillMeasurement(grid, grid.MaxRows());

    std::vector<double> save, load, window, bare3, bare1;
    for (int run = 0; run < kRuns; ++run) {
        SaveAndLoad(header, grid, grid.MaxRows(), save, load);
        // Into the window's grid control, until the view has taken the change in.
        QElapsedTimer t;
        t.start();
        tv::LoadMeasurementGrid(header.ID, spread);
        QApplication::processEvents();
        window.push_back(t.nsecsElapsed() / 1e6);

        bare3.push_back(BareSqlite(env.Root() + QStringLiteral("/bare3"), 3, grid));
        bare1.push_back(BareSqlite(env.Root() + QStringLiteral("/bare1"), 1, grid));
    }
    const double s = Median(save), b3 = Median(bare3), b1 = Median(bare1), l = Median(load),
                 w = Median(window);
    std::printf("records: median of %d runs, 500 lines and 5000 readings\n", kRuns);
    std::printf("save (one transaction, three table files):  %8.2f ms\n", s);
    std::printf(
        "bare SQLite, same rows, three files:          %8.2f ms  -> save is %.2fx (target <= 3x)\n",
        b3, s / b3);
    std::printf("bare SQLite, same rows, one file:             %8.2f ms  -> save is %.2fx\n", b1,
                s / b1);
    std::printf("load into the grid store:                     %8.2f ms  (target < 100 ms)\n", l);
    std::printf("load into the window's grid control:          %8.2f ms  (target < 100 ms)\n", w);
    return 0;
}
