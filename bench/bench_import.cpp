// Readings going in: a 5,000-reading logger file through "tavelon import" as a whole process
// (start, read, calculate, save in one transaction, print), and 5,000 readings pasted into the
// measurement window's grid including the one recalculation.
#include "app/uTavelon.h"
#include "bench/BenchSupport.h"
#include "platform/gui/vaSpread.h"
#include "registers/uKoji.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

using namespace tv::bench;

namespace {

constexpr int kRuns = 7;

// Processor time (user and system) of the finished child processes so far, in ms.
// A reading from -3.0 to 3.0 with one decimal, varied along the stretch.
QString Reading(int i) {
    return QString::number(((i * 37) % 61 - 30) / 10.0, 'f', 1);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                    : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    tv::test::TestEnv env;

    tv::TKoji work;
    work.CheckTable();
    work.Code = QStringLiteral("B001");
    work.Kojimei = QStringLiteral("試験工事");
    work.Save();

    // The logger file: a position and a reading per record, the position changing every ten.
    QString logger = QStringLiteral("位置,測定値\n");
    QString block;
    for (int i = 0; i < 5000; ++i) {
        logger += QStringLiteral("No.%1,%2\n").arg(i / 10).arg(Reading(i));
        block += Reading(i) + (i % 10 == 9 ? QLatin1Char('\n') : QLatin1Char('\t'));
    }
    const QString path = env.Root() + QStringLiteral("/logger.csv");
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(logger.toUtf8());
    }

    // The same with three readings: what starting the process and one save cost by themselves.
    const QString small = env.Root() + QStringLiteral("/small.csv");
    {
        QFile file(small);
        file.open(QIODevice::WriteOnly);
        file.write("1\n2\n3\n");
    }
    std::vector<double> fixed;
    for (int run = 0; run < kRuns; ++run) {
        QProcess tavelon;
        QElapsedTimer timer;
        timer.start();
        tavelon.start(QStringLiteral(TAVELON_EXE),
                      {QStringLiteral("import"), QStringLiteral("--work"), QStringLiteral("B001"),
                       QStringLiteral("--type"), QStringLiteral("基層工"),
                       QStringLiteral("--replace"), small});
        tavelon.waitForFinished(60000);
        fixed.push_back(timer.nsecsElapsed() / 1e6);
    }

    std::vector<double> process, cpu;
    for (int run = 0; run < kRuns; ++run) {
        const double cpuBefore = ChildrenCpuMs();
        QProcess tavelon;
        QElapsedTimer timer;
        timer.start();
        tavelon.start(QStringLiteral(TAVELON_EXE),
                      {QStringLiteral("import"), QStringLiteral("--work"), QStringLiteral("B001"),
                       QStringLiteral("--type"), QStringLiteral("表層工"),
                       QStringLiteral("--replace"), path});
        tavelon.waitForFinished(60000);
        process.push_back(timer.nsecsElapsed() / 1e6);
        cpu.push_back(ChildrenCpuMs() - cpuBefore);
        if (tavelon.exitCode() != 0) {
            std::fprintf(stderr, "tavelon import failed: %s\n",
                         tavelon.readAllStandardError().constData());
            return 1;
        }
        if (run == 0 && !tavelon.readAllStandardOutput().contains("DATACOUNT=5000")) {
            std::fprintf(stderr, "tavelon import did not read 5000 readings\n");
            return 1;
        }
    }

    tv::TfrmEditTavelon window;
    window.show();
    QApplication::processEvents();
    tv::TvaSpread* grid = window.vaSpread1;
    std::vector<double> paste, painted;
    for (int run = 0; run < kRuns; ++run) {
        grid->SetActiveCell(2, 1);
        QElapsedTimer timer;
        timer.start();
        if (!grid->PasteText(block)) {
            std::fprintf(stderr, "paste refused: %s\n",
                         window.StatusPanel1->text().toUtf8().constData());
            return 1;
        }
        paste.push_back(timer.nsecsElapsed() / 1e6);
        QApplication::processEvents();
        painted.push_back(timer.nsecsElapsed() / 1e6);
        if (window.Edit7->text() != QStringLiteral("5000")) {
            std::fprintf(stderr, "paste recalculated %s readings\n",
                         window.Edit7->text().toUtf8().constData());
            return 1;
        }
        grid->Undo(); // back to the empty grid for the next run
        QApplication::processEvents();
    }

    std::printf("readings in: median of %d runs, 5000 readings\n", kRuns);
    std::printf("tavelon import of a logger file (whole process): %8.2f ms  (target < 300 ms)\n",
                Median(process));
    std::printf("  ... processor time of the process (user + system): %8.2f ms\n", Median(cpu));
    std::printf("  ... the same process with a 3-reading file:        %8.2f ms\n", Median(fixed));
    std::printf("paste into the window's grid with recalculation: %8.2f ms  (target < 100 ms)\n",
                Median(paste));
    std::printf("  ... and the grid repainted:                    %8.2f ms\n", Median(painted));
    return 0;
}
