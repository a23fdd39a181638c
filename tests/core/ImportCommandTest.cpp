// "tavelon import" run as a user would: a registered work, a file of readings, the measurement
// stored as the window's save stores it; refusals leave the stored data as it was.
#include "measurement/MeasurementReader.h"
#include "measurement/uRokuma.h"
#include "platform/GridData.h"
#include "platform/TableEngine.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "tests/support/Measurements.h"
#include "tests/support/RunTavelon.h"
#include "tests/support/TestEnv.h"

#include <QFile>
#include <QProcess>

#include <algorithm>
#include <memory>
#include <vector>

namespace tv::test {
namespace {

class ImportCommandTest : public EnvTest {
protected:
    void SetUp() override { StoreWork(QStringLiteral("A001"), QStringLiteral("国道改良工事")); }
    TRun Import(const QString& file, const QStringList& extra = {}) {
        QStringList args{QStringLiteral("import"), QStringLiteral("--work"), QStringLiteral("A001"),
                         QStringLiteral("--type"), QStringLiteral("表層工")};
        args << extra << file;
        return Tavelon(args);
    }
    int StoredPoints() {
        TRokumaKanri header;
        header.Koji->LoadByCode(QStringLiteral("A001"));
        header.Kosyu->FindByName(QStringLiteral("表層工"));
        header.LoadByWork();
        TGridData grid;
        LoadMeasurementGrid(header.ID, grid);
        int n = 0;
        for (int r = 1; r <= grid.MaxRows(); ++r)
            for (int c = 2; c <= 11; ++c)
                n += grid.CellText(c, r).isEmpty() ? 0 : 1;
        return n;
    }
};

TEST_F(ImportCommandTest, AGridFileRoundTripsThroughImportAndExport) {
    // What "calc --grid" prints after its result lines is a grid file as the cells show it.
    const TRun calc = Tavelon({QStringLiteral("calc"), QStringLiteral("--grid"),
                               QStringLiteral(TAVELON_DATA "/calc_utf8.csv")});
    ASSERT_EQ(calc.exitCode, 0) << calc.err.toStdString();
    const QStringList lines = calc.out.split(QLatin1Char('\n'));
    const QString results = lines.mid(0, 8).join(QLatin1Char('\n')) + QLatin1Char('\n');
    const QString gridFile = lines.mid(8).join(QLatin1Char('\n'));
    const QString path = env.WriteFile(QStringLiteral("grid.csv"), gridFile.toUtf8());

    const TRun imported = Import(path, {QStringLiteral("--date"), QStringLiteral("2026/11/30"),
                                        QStringLiteral("--person"), QStringLiteral("山田")});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_EQ(imported.out, results);
    const TRun exported =
        Tavelon({QStringLiteral("export"), QStringLiteral("--work"), QStringLiteral("A001"),
                 QStringLiteral("--type"), QStringLiteral("表層工")});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    EXPECT_EQ(exported.out, gridFile);
    const QString xlsx = env.Root() + QStringLiteral("/grid.xlsx");
    const TRun excel = Tavelon({QStringLiteral("export"), QStringLiteral("--work"),
                                QStringLiteral("A001"), QStringLiteral("--type"),
                                QStringLiteral("表層工"), QStringLiteral("--xlsx"), xlsx});
    EXPECT_EQ(excel.exitCode, 0) << excel.err.toStdString();
    QFile book(xlsx);
    ASSERT_TRUE(book.open(QIODevice::ReadOnly));
    EXPECT_TRUE(book.read(2) == "PK");

    TRokumaKanri header;
    header.Koji->LoadByCode(QStringLiteral("A001"));
    header.Kosyu->FindByName(QStringLiteral("表層工"));
    header.LoadByWork();
    EXPECT_EQ(header.SOKUTEIBI.date(), QDate(2026, 11, 30));
    EXPECT_EQ(header.SOKUTEISYA, QStringLiteral("山田"));
    EXPECT_EQ(QStringLiteral("SD=") + header.SD + QLatin1Char('\n'), lines[0] + QLatin1Char('\n'));
}

TEST_F(ImportCommandTest, RefusesAnUnregisteredWorkAnExistingMeasurementAndABadFile) {
    const QString logger =
        env.WriteFile(QStringLiteral("logger.csv"), "No.0,1.5\nNo.0,2\nNo.0,0.5\n");
    const TRun unregistered =
        Tavelon({QStringLiteral("import"), QStringLiteral("--work"), QStringLiteral("Z999"),
                 QStringLiteral("--type"), QStringLiteral("表層工"), logger});
    EXPECT_EQ(unregistered.exitCode, 2);
    EXPECT_TRUE(unregistered.err.contains(QStringLiteral("Z999 は登録されていません")));

    ASSERT_EQ(Import(logger).exitCode, 0);
    EXPECT_EQ(StoredPoints(), 3);
    // A second import of the pair needs --replace.
    const QString more = env.WriteFile(QStringLiteral("more.csv"), "1\n2\n3\n4\n");
    const TRun exists = Import(more);
    EXPECT_EQ(exists.exitCode, 2);
    EXPECT_TRUE(exists.err.contains(QStringLiteral("既に登録されています")))
        << exists.err.toStdString();
    EXPECT_TRUE(exists.out.isEmpty());
    EXPECT_EQ(StoredPoints(), 3);
    // A bad record changes nothing, also with --replace.
    const QString bad = env.WriteFile(QStringLiteral("bad.csv"), "1\n2\n1,5mm\n");
    const TRun refused = Import(
        bad, {QStringLiteral("--replace"), QStringLiteral("--layout"), QStringLiteral("logger")});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("3 行目"))) << refused.err.toStdString();
    EXPECT_EQ(StoredPoints(), 3);
    const TRun replaced = Import(more, {QStringLiteral("--replace")});
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    EXPECT_TRUE(replaced.out.startsWith(QStringLiteral("SD=10.0\n")));
    EXPECT_EQ(StoredPoints(), 4);
}

TEST_F(ImportCommandTest, SimultaneousImportsRegisterOnceAndReplaceWhole) {
    // The measurement header as an older program made it (no save count or time), and no line
    // or point table yet: the first programs to arrive bring them up to date at the same time.
    CreateTable(QStringLiteral("kestran"), QStringLiteral("RokumaKanri"), TRokumaKanri::Fields(),
                TRokumaKanri::Indexes());
    // Six programs at once: their exit codes in order, then what they wrote to the error stream.
    const auto importAtOnce = [&](const QStringList& args) {
        std::vector<std::unique_ptr<QProcess>> runs(6);
        for (auto& run : runs) {
            run = std::make_unique<QProcess>();
            run->start(QStringLiteral(TAVELON_EXE),
                       QStringList{QStringLiteral("import"), QStringLiteral("--work"),
                                   QStringLiteral("A001"), QStringLiteral("--type"),
                                   QStringLiteral("表層工")}
                           << args);
        }
        QString codes, said;
        for (auto& run : runs) {
            run->waitForFinished(60000);
            codes += QString::number(run->exitCode());
            said += QString::fromUtf8(run->readAllStandardError());
        }
        std::sort(codes.begin(), codes.end());
        return QString(codes + QLatin1Char('\n') + said).toStdString();
    };
    const std::string first =
        importAtOnce({env.WriteFile(QStringLiteral("three.csv"), "1\n2\n3\n")});
    EXPECT_EQ(first.rfind("022222\n", 0), 0u) << first;
    EXPECT_EQ(QString::fromStdString(first).count(QStringLiteral("既に登録されています")), 5);
    EXPECT_EQ(StoredPoints(), 3);
    const std::string replaced = importAtOnce(
        {QStringLiteral("--replace"), env.WriteFile(QStringLiteral("four.csv"), "1\n2\n3\n4\n")});
    EXPECT_EQ(replaced.rfind("000000\n", 0), 0u) << replaced;
    EXPECT_EQ(StoredPoints(), 4);
    EXPECT_EQ(StoredMeasurementIds(QStringLiteral("A001"), QStringLiteral("表層工")).size(), 1u);
}

} // namespace
} // namespace tv::test
