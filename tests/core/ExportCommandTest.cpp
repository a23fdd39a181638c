// "tavelon export" run as a user would, on a measurement stored through the records: its CSV
// goes back through "tavelon calc" to the stored results.
#include "measurement/Calc.h"
#include "measurement/uRokuma.h"
#include "platform/GridData.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "tests/support/RunTavelon.h"
#include "tests/support/TestEnv.h"

#include <QProcess>

namespace tv::test {
namespace {

class ExportCommandTest : public EnvTest {
protected:
    void SetUp() override {
        TRokumaKanri header;
        header.CheckTable();
        TRokumaLine line;
        line.CheckTable();
        header.Koji->CheckTable();
        header.Kosyu->CheckTable();
        header.Koji->LoadByCode(QStringLiteral("A001"));
        header.Kosyu->FindByName(QStringLiteral("表層工"));
        header.LoadByWork();
        TGridData grid;
        grid.SetCellText(1, 1, QStringLiteral("No.0"));
        const char* readings[] = {"1.5", "2", "-0.5", "0.8"};
        for (int i = 0; i < 4; ++i)
            grid.SetCellText(2 + i, 1, QLatin1String(readings[i]));
        grid.SetCellText(5, 1, QStringLiteral("0.8"));
        grid.SetForeColor(kColorRed);
        grid.SetCellText(2, 2, QStringLiteral("1.1"));
        grid.SetCellText(3, 2, QStringLiteral("1.2"));
        TMemoryCalcTarget boxes;
        boxes.SetBoxText(ResultBox::Edit13, QStringLiteral("10"));
        CalcReadings(grid, boxes);
        CalcRanges(grid, boxes);
        header.SD = boxes.BoxText(ResultBox::Edit5);
        header.SD2 = boxes.BoxText(ResultBox::Edit6);
        header.DATACOUNT = boxes.BoxText(ResultBox::Edit7);
        header.HENSA = boxes.BoxText(ResultBox::Edit8);
        header.HOSR = boxes.BoxText(ResultBox::Edit9);
        header.HODATACOUNT = boxes.BoxText(ResultBox::Edit10);
        header.HOHENSA = boxes.BoxText(ResultBox::Edit11);
        header.GP = QStringLiteral("10");
        SaveMeasurement(header, grid);
        stored = QStringList{header.SD,   header.SD2,         header.DATACOUNT, header.HENSA,
                             header.HOSR, header.HODATACOUNT, header.HOHENSA};
    }
    QStringList stored;
};

TEST_F(ExportCommandTest, ExportsTheStoredGridAsTheCsvThatCalcReads) {
    const TRun exported =
        Tavelon({QStringLiteral("export"), QStringLiteral("--work"), QStringLiteral("A001"),
                 QStringLiteral("--type"), QStringLiteral("表層工")});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    const QStringList rows = exported.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].split(QLatin1Char(',')).size(), 16);
    EXPECT_TRUE(rows[0].startsWith(QStringLiteral("No.0,1.5,2.0,-0.5,*0.8,")))
        << rows[0].toStdString();

    const TRun calc = Tavelon({QStringLiteral("calc"), QStringLiteral("--group-size"),
                               QStringLiteral("10"), QStringLiteral("-")},
                              exported.out.toUtf8());
    ASSERT_EQ(calc.exitCode, 0) << calc.err.toStdString();
    const QStringList keys{QStringLiteral("SD="),        QStringLiteral("SD2="),
                           QStringLiteral("DATACOUNT="), QStringLiteral("HENSA="),
                           QStringLiteral("HOSR="),      QStringLiteral("HODATACOUNT="),
                           QStringLiteral("HOHENSA=")};
    const QStringList lines = calc.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (int i = 0; i < keys.size(); ++i)
        EXPECT_EQ(lines.value(i), keys[i] + stored[i]);
}

TEST_F(ExportCommandTest, AnUnknownPairOrMissingOptionIsAOneLineErrorWithExitCode2) {
    for (const QStringList& args :
         {QStringList{QStringLiteral("export"), QStringLiteral("--work"), QStringLiteral("A001"),
                      QStringLiteral("--type"), QStringLiteral("基層工")},
          QStringList{QStringLiteral("export"), QStringLiteral("--work"),
                      QStringLiteral("A001")}}) {
        const TRun run = Tavelon(args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << run.err.toStdString();
    }
}

} // namespace
} // namespace tv::test
