// "tavelon print" run as a user would, on a measurement stored through the records: the PDF holds
// the pages the preview records, page for page, and a failed run leaves no file behind.
#include "app/forms/MeasurementChart.h"
#include "app/forms/PrintResultsTable.h"
#include "app/forms/PrintTestReportSheet.h"
#include "measurement/uRokuma.h"
#include "platform/GridData.h"
#include "printing/Primitives.h"
#include "printing/Printer.h"
#include "printing/gui/PrevX.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "tests/gui/PdfProbe.h"
#include "tests/support/Measurements.h"
#include "tests/support/RunTavelon.h"
#include "tests/support/TestEnv.h"

#include <algorithm>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace tv {
namespace {

using test::Tavelon;
using test::TRun;

// Name, size and time of every file of a folder, to see that nothing changed.
QStringList Listing(const QString& folder) {
    QStringList list;
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
        list << f.fileName() + QLatin1Char(' ') + QString::number(f.size()) + QLatin1Char(' ') +
                    f.lastModified().toString(Qt::ISODateWithMs);
    return list;
}

class PrintCommandTest : public test::EnvTest {
protected:
    void SetUp() override {
        oldSource = SetPrinterSource([] { return PdfPrinter(); });
        TKikakuti4().CheckTable();
        // The work's name, 40 full-width characters, is wider than the sheet's value box.
        test::ChooseMeasurement(header, QStringLiteral("A001"), QStringLiteral("表層工"),
                                QString(40, QChar(0x9053)));
        header.SOKUTEISYA = QStringLiteral("山田太郎");
        header.HOSR = QStringLiteral("192.3");
        header.HODATACOUNT = QStringLiteral("10");
        header.GP = QStringLiteral("10");
        header.HENSA = QStringLiteral("0.37");
        // 15 lines, 150 readings: two handbook sheets, one bureau page. The first line holds
        // the values that do not fit their boxes: d² 1056.25, ② 2105.79, "No.13+5.0".
        TGridData grid;
        for (int r = 1; r <= 15; ++r) {
            grid.SetCellText(1, r,
                             r == 1 ? QStringLiteral("No.13+5.0") : QStringLiteral("No.%1").arg(r));
            for (int c = 2; c <= 11; ++c)
                grid.SetCellText(c, r, QStringLiteral("0.5"));
            grid.SetCellText(16, r, QStringLiteral("1.0"));
        }
        grid.SetCellText(2, 1, QStringLiteral("32.5"));
        grid.SetCellText(3, 1, QStringLiteral("32.3"));
        grid.SetCellText(4, 1, QStringLiteral("2.5"));
        SaveMeasurement(header, grid);
    }
    void TearDown() override {
        SetPrinterSource(oldSource);
        PageShiftX = 0;
        PageShiftY = 0;
    }
    QString File(const QString& name) const { return QDir(env.Root()).filePath(name); }
    QStringList PrintArgs(const QString& form, const QString& pdf) const {
        return {QStringLiteral("print"),
                QStringLiteral("--work"),
                QStringLiteral("A001"),
                QStringLiteral("--type"),
                QStringLiteral("表層工"),
                QStringLiteral("--form"),
                form,
                QStringLiteral("--pdf"),
                pdf};
    }
    // The same pages recorded on the preview control and saved from there.
    template <class Form> QString PreviewPdf(Form form, const QString& name) {
        TPrevX prev;
        prev.BeginDoc();
        form(prev, header);
        prev.EndDoc();
        QString file = File(name);
        prev.SaveAsPdf(file);
        return file;
    }

    TPrinterSource oldSource;
    TRokumaKanri header;
};

TEST_F(PrintCommandTest, BothFormsPrintToPdfPageForPageAsThePreviewAndChangeNothing) {
    const QStringList before = Listing(env.DataFolder());
    struct TCase {
        QString form;
        int pages;
        QString wholeValue;
        int (*draw)(TPageTarget&, TRokumaKanri&);
    };
    const TCase cases[] = {
        {QStringLiteral("handbook"), 2, QStringLiteral("1056.25"), &PrintTestReportSheet},
        {QStringLiteral("bureau"), 1, QStringLiteral("No.13+5.0"), &PrintResultsTable},
    };
    for (const TCase& c : cases) {
        const QString pdf = File(c.form + QStringLiteral(".pdf"));
        const TRun run = Tavelon(PrintArgs(c.form, pdf));
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        ASSERT_EQ(test::PdfPageCount(pdf), c.pages) << c.form.toStdString();
        const QString preview = PreviewPdf(c.draw, c.form + QStringLiteral("-preview.pdf"));
        ASSERT_EQ(test::PdfPageCount(preview), c.pages);
        for (int page = 1; page <= c.pages; ++page) {
            const QSizeF size = test::PdfPageSize(pdf, page);
            EXPECT_NEAR(size.width(), 595.3, 0.5); // A4 portrait
            EXPECT_NEAR(size.height(), 841.9, 0.5);
            EXPECT_EQ(test::PdfPageText(pdf, page), test::PdfPageText(preview, page));
            EXPECT_EQ(test::PdfPageImage(pdf, page, 50), test::PdfPageImage(preview, page, 50))
                << c.form.toStdString() << " page " << page;
        }
        // The value that does not fit its box reads whole.
        EXPECT_TRUE(test::PdfPageText(pdf, 1).contains(c.wholeValue)) << c.form.toStdString();
    }
    EXPECT_EQ(Listing(env.DataFolder()), before);
}

TEST_F(PrintCommandTest, StandardValuesListPrintsToPdf) {
    TKikakuti4 entry;
    entry.Kubun = 0;
    entry.Kosyu->FindByName(QStringLiteral("表層工"));
    entry.Koumokumei = QStringLiteral("平坦性");
    entry.KikakutiU1 = QStringLiteral("2.4");
    entry.Save();
    const QString pdf = File(QStringLiteral("list.pdf"));
    const TRun run = Tavelon({QStringLiteral("print"), QStringLiteral("--standard-values"),
                              QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    ASSERT_EQ(test::PdfPageCount(pdf), 1);
    const QString text = test::PdfPageText(pdf, 1);
    EXPECT_TRUE(text.contains(QStringLiteral("平坦性")));
    EXPECT_TRUE(text.contains(QStringLiteral("開発局")));
}

TEST_F(PrintCommandTest, TheChartsPrintToALandscapePageAsTheChartWindowPrintsThem) {
    TKikakuti4 entry; // the work's print form is 開発局 (0)
    entry.Kosyu->FindByName(QStringLiteral("表層工"));
    entry.Koumokumei = QStringLiteral("平坦性");
    entry.KikakutiU1 = QStringLiteral("2.4");
    entry.Save();
    const QString pdf = File(QStringLiteral("chart.pdf"));
    const TRun run =
        Tavelon({QStringLiteral("print"), QStringLiteral("--work"), QStringLiteral("A001"),
                 QStringLiteral("--type"), QStringLiteral("表層工"), QStringLiteral("--chart"),
                 QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    ASSERT_EQ(test::PdfPageCount(pdf), 1);
    const QSizeF size = test::PdfPageSize(pdf, 1);
    EXPECT_NEAR(size.width(), 841.9, 0.5); // A4 landscape
    EXPECT_NEAR(size.height(), 595.3, 0.5);

    const TFlatnessChart chart = StoredMeasurementChart(header);
    EXPECT_EQ(chart.readings.size(), 150u);
    EXPECT_EQ(chart.groups.size(), 15u);
    ASSERT_TRUE(chart.limit);
    SetCurrentOrientation(TOrientation::Landscape);
    const QString preview =
        PreviewPdf([&](TPageTarget& target, TRokumaKanri&) { PrintFlatnessChart(target, chart); },
                   QStringLiteral("chart-preview.pdf"));
    SetCurrentOrientation(TOrientation::Portrait);
    EXPECT_EQ(test::PdfPageText(pdf, 1), test::PdfPageText(preview, 1));
    EXPECT_EQ(test::PdfPageImage(pdf, 1, 50), test::PdfPageImage(preview, 1, 50));
    const QString text = test::PdfPageText(pdf, 1);
    EXPECT_TRUE(text.contains(QStringLiteral("規格値 2.40 mm"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("No.13+5.0")));
    // R̄ comes out of the PDF as R and its combining macron, on the line of its figures.
    const QStringList lines = text.split(QLatin1Char('\n'));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QString& line) {
        return line.startsWith(QStringLiteral("k 15 R\u0304 ")) &&
               line.contains(QStringLiteral("UCL"));
    })) << text.toStdString();

    // A form cannot be asked for with the charts.
    const TRun both =
        Tavelon({QStringLiteral("print"), QStringLiteral("--work"), QStringLiteral("A001"),
                 QStringLiteral("--type"), QStringLiteral("表層工"), QStringLiteral("--chart"),
                 QStringLiteral("--form"), QStringLiteral("bureau"), QStringLiteral("--pdf"),
                 File(QStringLiteral("both.pdf"))});
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_FALSE(QFileInfo::exists(File(QStringLiteral("both.pdf"))));
}

TEST_F(PrintCommandTest, FailuresExitWithOneLineAndLeaveNoFile) {
    // A measurement stored without readings.
    TRokumaKanri empty;
    empty.Koji->LoadByCode(QStringLiteral("A002"));
    empty.Kosyu->FindByName(QStringLiteral("表層工"));
    empty.LoadByWork();
    TGridData none;
    SaveMeasurement(empty, none);
    ASSERT_GT(empty.ID, 0);

    const QString pdf = File(QStringLiteral("out.pdf"));
    const QString kept = File(QStringLiteral("kept.pdf"));
    QFile old(kept);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("earlier");
    old.close();
    auto args = [&](const QString& work, const QString& form, const QString& file) {
        return QStringList{QStringLiteral("print"),
                           QStringLiteral("--work"),
                           work,
                           QStringLiteral("--type"),
                           QStringLiteral("表層工"),
                           QStringLiteral("--form"),
                           form,
                           QStringLiteral("--pdf"),
                           file};
    };
    const QStringList runs[] = {
        args(QStringLiteral("X999"), QStringLiteral("handbook"), pdf), // unknown pair
        args(QStringLiteral("A001"), QStringLiteral("handbok"), pdf),  // unknown form
        args(QStringLiteral("A002"), QStringLiteral("handbook"), pdf), // no readings
        args(QStringLiteral("A002"), QStringLiteral("bureau"), pdf),   // no lines
        args(QStringLiteral("A001"), QStringLiteral("handbook"),
             File(QStringLiteral("missing/out.pdf"))),                  // cannot be written
        args(QStringLiteral("X999"), QStringLiteral("handbook"), kept), // keeps the file there
        {QStringLiteral("print"), QStringLiteral("--standard-values"), QStringLiteral("--printer"),
         QStringLiteral("存在しないプリンタ")},
        {QStringLiteral("print"), QStringLiteral("--work"), QStringLiteral("A001"),
         QStringLiteral("--type"), QStringLiteral("表層工"), QStringLiteral("--form"),
         QStringLiteral("bureau")}, // no destination
        // The tables of the data folder are never written over.
        args(QStringLiteral("A001"), QStringLiteral("handbook"),
             env.DataFolder() + QStringLiteral("RokumaLine.DB")),
        {QStringLiteral("print"), QStringLiteral("--work"), QStringLiteral("A001"),
         QStringLiteral("--type"), QStringLiteral("表層工"), QStringLiteral("--chart"),
         QStringLiteral("--pdf"), env.DataFolder() + QStringLiteral("Koji1.DB")},
    };
    const auto bytesOf = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray lines = bytesOf(env.DataFolder() + QStringLiteral("RokumaLine.DB"));
    const QByteArray works = bytesOf(env.DataFolder() + QStringLiteral("Koji1.DB"));
    ASSERT_FALSE(lines.isEmpty() || works.isEmpty());
    for (const QStringList& a : runs) {
        const TRun run = Tavelon(a);
        EXPECT_EQ(run.exitCode, 2) << a.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("tavelon: "))) << run.err.toStdString();
        EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << run.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(pdf));
    EXPECT_FALSE(QFileInfo::exists(File(QStringLiteral("missing/out.pdf"))));
    EXPECT_TRUE(bytesOf(env.DataFolder() + QStringLiteral("RokumaLine.DB")) == lines);
    EXPECT_TRUE(bytesOf(env.DataFolder() + QStringLiteral("Koji1.DB")) == works);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("earlier"));
    // No temporary file of an interrupted write is left either.
    EXPECT_EQ(QDir(env.Root()).entryList(QDir::Files), QStringList{QStringLiteral("kept.pdf")});

    const TRun printers = Tavelon({QStringLiteral("printers")});
    EXPECT_EQ(printers.exitCode, 0) << printers.err.toStdString();
}

} // namespace
} // namespace tv
