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
#include <QRegularExpression>

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

// The workbook prints as a sheet of sixteen columns should: A4 landscape, one page wide, the
// grid's header row on every page, a print area down to the last line; and its column widths
// are given by ranges that never overlap (Excel repairs a sheet where they do).
TEST_F(ExportCommandTest, TheExcelSheetIsSetUpForPrintingOnA4Landscape) {
    const QString xlsx = env.Root() + QStringLiteral("/out.xlsx");
    const TRun exported = Tavelon({QStringLiteral("export"), QStringLiteral("--work"),
                                   QStringLiteral("A001"), QStringLiteral("--type"),
                                   QStringLiteral("表層工"), QStringLiteral("--xlsx"), xlsx});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    auto part = [&xlsx](const QString& name) {
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), xlsx, name});
        unzip.waitForFinished(30000);
        return QString::fromUtf8(unzip.readAllStandardOutput());
    };
    const QString sheet = part(QStringLiteral("xl/worksheets/sheet1.xml"));
    const QString book = part(QStringLiteral("xl/workbook.xml"));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<pageSetUpPr fitToPage=\"1\"/>")))
        << sheet.toStdString();
    EXPECT_TRUE(sheet.contains(QStringLiteral("paperSize=\"9\""))) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains(QStringLiteral("orientation=\"landscape\"")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("fitToHeight=\"0\"")));
    // Two lines below the header row 12 (1-based): rows 13 and 14.
    EXPECT_TRUE(book.contains(QStringLiteral("_xlnm.Print_Titles")) &&
                book.contains(QStringLiteral("$12:$12")))
        << book.toStdString();
    EXPECT_TRUE(book.contains(QStringLiteral("_xlnm.Print_Area")) &&
                book.contains(QStringLiteral("$A$1:$P$14")))
        << book.toStdString();

    const QRegularExpression col(QStringLiteral("<col min=\"(\\d+)\" max=\"(\\d+)\""));
    int covered = 0;
    for (const QRegularExpressionMatch& m : col.globalMatch(sheet)) {
        EXPECT_GT(m.captured(1).toInt(), covered)
            << "overlapping <col> " << m.captured(0).toStdString();
        covered = m.captured(2).toInt();
    }
    EXPECT_EQ(covered, 16);
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
