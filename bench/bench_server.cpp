// The server engine on a local socket: saving and loading a full measurement (500 lines, 5,000
// readings) through the records against bare libpq writing the same rows in one transaction, and
// 8 programs saving 50 measurements each at once (per-save median and slowest latency; nothing
// lost, nothing torn, every ID once).
//
// Starts its own throwaway server (tests/server/pgtest.sh) unless TV_TEST_SERVER names the
// socket folder of a running one.
#include "bench/BenchSupport.h"
#include "measurement/uRokuma.h"
#include "platform/GridData.h"
#include "platform/TableEngine.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "tests/support/Measurements.h"
#include "tests/support/TableRows.h"
#include "tests/support/TestEnv.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>
#include <libpq-fe.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace tv::bench;

namespace {

constexpr int kRuns = 7;
constexpr int kClients = 8;
constexpr int kSaves = 50;
constexpr int kClientLines = 50;

void PgExec(PGconn* c, const char* sql) {
    PGresult* r = PQexec(c, sql);
    if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, PQerrorMessage(c));
        std::exit(1);
    }
    PQclear(r);
}

void PgPrepared(PGconn* c, const char* name, int n, const char* const* values) {
    PGresult* r = PQexecPrepared(c, name, n, values, nullptr, nullptr, 0);
    if (PQresultStatus(r) != PGRES_COMMAND_OK) {
        std::fprintf(stderr, "%s: %s\n", name, PQerrorMessage(c));
        std::exit(1);
    }
    PQclear(r);
}

// The same rows as the records write, with prepared statements, in one transaction, on a
// connection of its own in the schema "bare".
double BareLibpq(PGconn* c, const tv::TGridData& grid) {
    QElapsedTimer timer;
    timer.start();
    PgExec(c, "begin");
    PgExec(c, "delete from bare.rokumaline where hid=1");
    PgExec(c, "delete from bare.rokumadata where sid=1");
    PgExec(c, "delete from bare.rokumakanri where id=1");
    PgExec(c, "insert into bare.rokumakanri values (1,'A001','表層','No.0','No.50','50m',"
              "'2026-12-09','3m','山田','1','2','5000','1.00','10','500','1.00','2.4','10')");
    for (int r = 1; r <= grid.MaxRows(); ++r) {
        QByteArray texts[8] = {"1", QByteArray::number(r)};
        const int cols[6] = {1, 12, 13, 14, 15, 16};
        for (int k = 0; k < 6; ++k)
            texts[2 + k] = grid.CellText(cols[k], r).toUtf8();
        const char* line[8];
        for (int k = 0; k < 8; ++k)
            line[k] = texts[k].constData();
        PgPrepared(c, "line", 8, line);
        for (int j = 2; j <= 11; ++j) {
            const QByteArray pno = QByteArray::number((r - 1) * 10 + j - 2);
            const QByteArray value =
                QByteArray::number(static_cast<float>(grid.CellText(j, r).toDouble()), 'g', 17);
            const char* data[4] = {"1", pno.constData(), grid.CellColor(j, r) == 0 ? "1" : "0",
                                   value.constData()};
            PgPrepared(c, "data", 4, data);
        }
    }
    PgExec(c, "commit");
    return timer.nsecsElapsed() / 1e6;
}

PGconn* BareConnection(const QString& socketFolder) {
    const QByteArray info =
        QStringLiteral("host=%1 user=tavelon dbname=postgres").arg(socketFolder).toUtf8();
    PGconn* c = PQconnectdb(info.constData());
    if (PQstatus(c) != CONNECTION_OK) {
        std::fprintf(stderr, "%s\n", PQerrorMessage(c));
        std::exit(1);
    }
    PgExec(c, "set client_min_messages to warning");
    PgExec(c, "drop schema if exists bare cascade; create schema bare");
    PgExec(c, "create table bare.rokumakanri (id bigint, kojicode varchar(8), kosyuname "
              "varchar(32), startp varchar(10), endp varchar(10), kyori varchar(10), sokuteibi "
              "date, sokuteiki varchar(32), sokuteisya varchar(16), sd varchar(43), sd2 "
              "varchar(43), datacount varchar(43), hensa varchar(43), hosr varchar(43), "
              "hodatacount varchar(43), hohensa varchar(43), siyousyo varchar(4), gp varchar(2))");
    PgExec(c, "create table bare.rokumaline (hid bigint, lno bigint, sokuten varchar(10), k00 "
              "varchar(43), k01 varchar(43), k02 varchar(43), k03 varchar(43), k04 varchar(43))");
    PgExec(c, "create table bare.rokumadata (sid bigint, pno bigint, u boolean, data double "
              "precision)");
    PgExec(c, "create index on bare.rokumaline (hid); create index on bare.rokumadata (sid)");
    PQclear(PQprepare(c, "line", "insert into bare.rokumaline values ($1,$2,$3,$4,$5,$6,$7,$8)", 8,
                      nullptr));
    PQclear(PQprepare(c, "data", "insert into bare.rokumadata values ($1,$2,$3,$4)", 4, nullptr));
    return c;
}

// One of the concurrent programs: 50 saves of measurements of its own (new pairs), every tenth
// also over the one pair all share; writes each save's latency (ms) to `out`.
void Client(int client, int out) {
    tv::CloseAllConnections();
    tv::TGridData grid;
    for (int r = 1; r <= kClientLines; ++r) {
        for (int j = 2; j <= 11; ++j)
            grid.SetCellText(j, r, QString::number(client));
        grid.SetCellText(16, r, QStringLiteral("1.0"));
    }
    for (int i = 0; i < kSaves; ++i) {
        tv::TRokumaKanri header;
        header.Koji->Code =
            i % 10 == 9 ? QStringLiteral("SHARED") : QStringLiteral("C%1-%2").arg(client).arg(i);
        header.Kosyu->Kosyumei = QStringLiteral("表層");
        header.LoadByWork();
        QElapsedTimer t;
        t.start();
        tv::SaveMeasurement(header, grid, true);
        const double ms = t.nsecsElapsed() / 1e6;
        if (write(out, &ms, sizeof ms) != static_cast<ssize_t>(sizeof ms))
            _exit(1);
    }
}

int Count(const QString& sql) {
    return tv::test::Rows(sql).value(0).toInt();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString socketFolder = qEnvironmentVariable("TV_TEST_SERVER");
    const bool own = socketFolder.isEmpty();
    if (own) {
        socketFolder = QStringLiteral("/tmp/tavelon-bench-%1").arg(getpid());
        if (QProcess::execute(QStringLiteral(PGTEST_SH), {QStringLiteral("start"), socketFolder}) !=
            0)
            return 1;
        qputenv("TV_TEST_SERVER", socketFolder.toUtf8());
    }
    int status = 0;
    {
        tv::test::TestEnv env;
        tv::TRokumaKanri header;
        tv::test::ChooseMeasurement(header, QStringLiteral("A001"), QStringLiteral("表層"));
        header.SOKUTEISYA = QStringLiteral("山田");
        tv::TGridData grid;
        FillMeasurement(grid, grid.MaxRows());
        PGconn* bare = BareConnection(socketFolder);
        std::vector<double> save, load, bareSave;
        for (int run = 0; run < kRuns; ++run) {
            SaveAndLoad(header, grid, grid.MaxRows(), save, load);
            bareSave.push_back(BareLibpq(bare, grid));
        }
        PQfinish(bare);
        const double s = Median(save), l = Median(load), b = Median(bareSave);
        std::printf("server (local socket): median of %d runs, 500 lines and 5000 readings\n",
                    kRuns);
        std::printf("save through the records:              %8.2f ms\n", s);
        std::printf("load into a grid store:                %8.2f ms\n", l);
        std::printf("bare libpq, same rows, one transaction: %8.2f ms -> save is %.2fx, save and "
                    "load %.2fx (target <= 2x)\n",
                    b, s / b, (s + l) / b);

        // The concurrent programs: each a process of its own with its own connection.
        tv::CloseAllConnections();
        int pipes[2];
        if (pipe(pipes) != 0)
            return 1;
        std::vector<pid_t> children;
        for (int c = 1; c <= kClients; ++c) {
            const pid_t pid = fork();
            if (pid == 0) {
                close(pipes[0]);
                Client(c, pipes[1]);
                _exit(0);
            }
            children.push_back(pid);
        }
        close(pipes[1]);
        std::vector<double> latencies;
        double ms = 0;
        while (read(pipes[0], &ms, sizeof ms) == static_cast<ssize_t>(sizeof ms))
            latencies.push_back(ms);
        close(pipes[0]);
        int failed = 0;
        for (const pid_t pid : children) {
            int code = 0;
            waitpid(pid, &code, 0);
            failed += WIFEXITED(code) && WEXITSTATUS(code) == 0 ? 0 : 1;
        }
        const int expected = kClients * (kSaves - kSaves / 10) + 2; // + SHARED + A001
        const int headers = Count(QStringLiteral("select count(*) from RokumaKanri"));
        const int ids = Count(QStringLiteral("select count(distinct ID) from RokumaKanri"));
        // Torn: a header whose lines or points are not exactly one save's, or whose points
        // mix the values of two programs.
        const int torn = Count(
            QStringLiteral("select count(*) from RokumaKanri k where KOJICODE <> 'A001' and ("
                           "(select count(*) from RokumaLine where HID=k.ID) <> 50 or "
                           "(select count(*) from RokumaData where SID=k.ID) <> 500 or "
                           "(select count(distinct DATA) from RokumaData where SID=k.ID) <> 1)"));
        const double slowest =
            latencies.empty() ? 0 : *std::max_element(latencies.begin(), latencies.end());
        std::printf("%d programs x %d saves (%d lines each, every tenth over one shared pair): "
                    "median %.2f ms, slowest %.2f ms\n",
                    kClients, kSaves, kClientLines, latencies.empty() ? 0 : Median(latencies),
                    slowest);
        std::printf("saves reported %zu of %d, failed programs %d, headers %d of %d (lost %d), "
                    "IDs %d unique, torn %d\n",
                    latencies.size(), kClients * kSaves, failed, headers, expected,
                    expected - headers, ids, torn);
        status = failed == 0 && headers == expected && ids == headers && torn == 0 ? 0 : 1;
    }
    if (own)
        QProcess::execute(QStringLiteral(PGTEST_SH), {QStringLiteral("stop"), socketFolder});
    return status;
}
