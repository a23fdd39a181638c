// Importing an earlier program's data folder with 50,000 points (RokumaData) and their 5,000 lines
// and 10 headers: "tavelon import-paradox" as a whole process, and the import in this process.
// The folder is written here by the test writer. Target: the process under 1 s.
// "bench_import_paradox --write-old DIR" writes the folder only.
#include "bench/BenchSupport.h"
#include "measurement/ParadoxImport.h"
#include "platform/TableEngine.h"
#include "tests/support/ParadoxWriter.h"
#include "tests/support/TestEnv.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace tv::bench;

namespace {

using namespace tv::test;

constexpr int kRuns = 5;
constexpr int kHeaders = 10;
constexpr int kLinesPerHeader = 500;

void WriteOldFolder(const QString& folder) {
    QDir().mkpath(folder);
    std::vector<PxField> kanriFields = {
        {QStringLiteral("ID"), 4, 4},         {QStringLiteral("KOJICODE"), 1, 8},
        {QStringLiteral("KosyuName"), 1, 32}, {QStringLiteral("STARTP"), 1, 10},
        {QStringLiteral("ENDP"), 1, 10},      {QStringLiteral("KYORI"), 1, 10},
        {QStringLiteral("SOKUTEIBI"), 2, 4},  {QStringLiteral("SOKUTEIKI"), 1, 32},
        {QStringLiteral("SOKUTEISYA"), 1, 16}};
    for (const char* name : {"SD", "SD2", "DATACOUNT", "HENSA", "HOSR", "HODATACOUNT", "HOHENSA"})
        kanriFields.push_back({QString::fromLatin1(name), 1, 8});
    kanriFields.push_back({QStringLiteral("SIYOUSYO"), 1, 4});
    kanriFields.push_back({QStringLiteral("GP"), 1, 2});
    std::vector<QByteArray> kanri, lines, points;
    for (int id = 1; id <= kHeaders; ++id) {
        QByteArray r = PxLong(id) + PxAlpha("K" + QByteArray::number(id), 8) +
                       PxAlpha("\x95\x5c\x91\x77", 32) + PxAlpha("No.0", 10) +
                       PxAlpha("No.25", 10) + PxAlpha("500m", 10) + PxDate(QDate(2020, 5, id)) +
                       PxAlpha("3m", 32) + PxAlpha("\x8e\x52\x93\x63", 16);
        for (int k = 0; k < 7; ++k)
            r += PxAlpha("1.23", 8);
        r += PxAlpha("2.4", 4) + PxAlpha("10", 2);
        kanri.push_back(r);
        for (int l = 1; l <= kLinesPerHeader; ++l) {
            QByteArray line = PxLong(id) + PxLong(l) + PxAlpha("No." + QByteArray::number(l), 10);
            for (int k = 0; k < 5; ++k)
                line += PxAlpha("12.5", 8);
            lines.push_back(line);
            for (int p = 0; p < 10; ++p)
                points.push_back(PxLong(id) + PxLong((l - 1) * 10 + p) + PxLogical(p != 3) +
                                 PxNumber((l * 10 + p) % 97 / 10.0 - 4.5));
        }
    }
    WriteFile(folder + QStringLiteral("/RokumaKanri.DB"), PxFile(kanriFields, kanri));
    std::vector<PxField> lineFields = {{QStringLiteral("HID"), 4, 4},
                                       {QStringLiteral("LNO"), 4, 4},
                                       {QStringLiteral("SOKUTEN"), 1, 10}};
    for (const char* name : {"K00", "K01", "K02", "K03", "K04"})
        lineFields.push_back({QString::fromLatin1(name), 1, 8});
    WriteFile(folder + QStringLiteral("/RokumaLine.DB"), PxFile(lineFields, lines));
    PxOptions o;
    o.blockKb = 4;
    WriteFile(folder + QStringLiteral("/RokumaData.DB"), PxFile({{QStringLiteral("SID"), 4, 4},
                                                                 {QStringLiteral("PNO"), 4, 4},
                                                                 {QStringLiteral("U"), 9, 1},
                                                                 {QStringLiteral("DATA"), 6, 8}},
                                                                points, o));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // "--write-old DIR" only writes the old folder, for profiling or trying the window.
    if (argc == 3 && QByteArray(argv[1]) == "--write-old") {
        WriteOldFolder(QString::fromLocal8Bit(argv[2]));
        return 0;
    }
    TestEnv env;
    const QString old = env.Root() + QStringLiteral("/old");
    WriteOldFolder(old);
    std::printf("old folder: %d headers, %d lines, %d points\n", kHeaders,
                kHeaders * kLinesPerHeader, kHeaders * kLinesPerHeader * 10);

    const QString tavelon = QCoreApplication::applicationDirPath() + QStringLiteral("/../tavelon");
    std::vector<double> process, inProcess, reading;
    for (int run = 0; run < kRuns; ++run) {
        const QString dest = env.Root() + QStringLiteral("/p%1").arg(run);
        QElapsedTimer t;
        t.start();
        QProcess p;
        p.start(tavelon, {QStringLiteral("import-paradox"), old, QStringLiteral("--into"), dest});
        p.waitForFinished(120000);
        process.push_back(t.nsecsElapsed() / 1e6);
        if (p.exitCode() != 0) {
            std::fprintf(stderr, "tavelon failed: %s\n", p.readAllStandardError().constData());
            return 1;
        }
        if (run == 0)
            std::printf("%s", p.readAllStandardOutput().constData());

        const QString dest2 = env.Root() + QStringLiteral("/i%1").arg(run);
        t.restart();
        const tv::TParadoxImport import(old);
        reading.push_back(t.nsecsElapsed() / 1e6);
        import.ImportInto(dest2);
        inProcess.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf(
        "tavelon import-paradox (whole process): median %.0f ms of %d runs (target < 1000 ms)\n",
        Median(process), kRuns);
    std::printf("read, check and write in this process:  median %.0f ms (reading and checking "
                "%.0f ms)\n",
                Median(inProcess), Median(reading));
    return 0;
}
