// The page canvas control: recording, page and range rules, printing into PDF files read back,
// and where a page lands on paper and on screen.
#include "printing/gui/PrevX.h"
#include "printing/Primitives.h"
#include "settings/RegistryUtility.h"
#include "tests/gui/PdfProbe.h"
#include "tests/support/TestEnv.h"
#include "tests/support/gui/TestDialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <gtest/gtest.h>

namespace tv {
namespace {

using test::PdfPageCount;
using test::PdfPageSize;
using test::PdfPageText;

class PrevXTest : public test::EnvTest {
protected:
    void SetUp() override {
        printed = QDir(env.Root()).filePath(QStringLiteral("printed.pdf"));
        oldSource = test::PrintIntoPdf(printed);
        PageShiftX = 0;
        PageShiftY = 0;
    }
    void TearDown() override {
        SetPrinterSource(oldSource);
        PageShiftX = 0;
        PageShiftY = 0;
    }
    // Records `pages` pages, each marked "頁n".
    void Record(TPrevX& prev, int pages) {
        prev.BeginDoc();
        for (int n = 1; n <= pages; ++n) {
            if (n > 1)
                prev.NewPage();
            prev.Canvas()->SetFontName(QStringLiteral("ＭＳ 明朝"));
            prev.Canvas()->SetFontSize(11);
            DrawTextBox(prev.Canvas(), QStringLiteral("頁%1").arg(n), baLeft, 1, 1, 10, 2);
        }
        prev.EndDoc();
    }
    QString printed;
    TPrinterSource oldSource;
};

TEST_F(PrevXTest, StartsEmptyWithDefaultSettings) {
    TPrevX prev;
    EXPECT_EQ(prev.PageNo(), 1);
    EXPECT_EQ(prev.PageCount(), 0);
    EXPECT_EQ(prev.PrintFrom(), 1);
    EXPECT_EQ(prev.PrintTo(), 9999);
    EXPECT_EQ(prev.ZoomScale(), 25);
    EXPECT_EQ(prev.ZoomPrintX(), 100);
    EXPECT_EQ(prev.ZoomPrintY(), 100);
    EXPECT_TRUE(prev.Title().isEmpty());
    EXPECT_EQ(prev.Canvas(), nullptr);
    // Printing nothing does nothing.
    prev.Print();
    EXPECT_FALSE(QFile::exists(printed));
}

TEST_F(PrevXTest, RecordsPagesAndPrintsThemAll) {
    TPrevX prev;
    prev.BeginDoc();
    EXPECT_NE(prev.Canvas(), nullptr);
    EXPECT_EQ(prev.PageCount(), 1);
    prev.NewPage();
    prev.NewPage();
    prev.EndDoc();
    EXPECT_EQ(prev.Canvas(), nullptr);
    EXPECT_EQ(prev.PageCount(), 3);
    EXPECT_EQ(prev.PageNo(), 1);
    prev.Print();
    EXPECT_EQ(PdfPageCount(printed), 3);
    // A4 portrait.
    const QSizeF size = PdfPageSize(printed, 1);
    EXPECT_NEAR(size.width(), 595, 1);
    EXPECT_NEAR(size.height(), 842, 1);
}

TEST_F(PrevXTest, OutOfRangeValuesAreIgnored) {
    TPrevX prev;
    Record(prev, 3);
    prev.SetZoomScale(24);
    EXPECT_EQ(prev.ZoomScale(), 25);
    prev.SetZoomScale(201);
    EXPECT_EQ(prev.ZoomScale(), 25);
    prev.SetZoomScale(200);
    EXPECT_EQ(prev.ZoomScale(), 200);
    prev.SetZoomScale(25);
    EXPECT_EQ(prev.ZoomScale(), 25);

    prev.SetPageNo(0);
    prev.SetPageNo(4);
    EXPECT_EQ(prev.PageNo(), 1);
    prev.SetPageNo(3);
    EXPECT_EQ(prev.PageNo(), 3);

    prev.SetPrintFrom(0);
    prev.SetPrintFrom(4);
    EXPECT_EQ(prev.PrintFrom(), 1);
    prev.SetPrintTo(0);
    EXPECT_EQ(prev.PrintTo(), 9999);
    prev.SetPrintTo(20000); // no upper bound: printing clips
    EXPECT_EQ(prev.PrintTo(), 20000);
    prev.Print();
    EXPECT_EQ(PdfPageCount(printed), 3);
}

TEST_F(PrevXTest, PrintsTheChosenRangeAndAlwaysThePageFrom) {
    TPrevX prev;
    Record(prev, 3);
    prev.SetPrintFrom(2);
    prev.SetPrintTo(2);
    prev.Print();
    ASSERT_EQ(PdfPageCount(printed), 1);
    EXPECT_TRUE(PdfPageText(printed, 1).contains(QStringLiteral("頁2")));

    prev.SetPrintTo(1); // below PrintFrom: page 2 is printed all the same
    prev.Print();
    ASSERT_EQ(PdfPageCount(printed), 1);
    EXPECT_TRUE(PdfPageText(printed, 1).contains(QStringLiteral("頁2")));

    prev.SetPrintTo(3);
    prev.Print();
    ASSERT_EQ(PdfPageCount(printed), 2);
    EXPECT_TRUE(PdfPageText(printed, 2).contains(QStringLiteral("頁3")));
}

TEST_F(PrevXTest, ASecondDocumentDiscardsTheFirst) {
    TPrevX prev;
    Record(prev, 3);
    prev.SetPageNo(3);
    prev.SetPrintFrom(3);
    Record(prev, 2);
    EXPECT_EQ(prev.PageCount(), 2);
    EXPECT_EQ(prev.PageNo(), 1);
    EXPECT_EQ(prev.PrintFrom(), 1);
    prev.Print();
    EXPECT_EQ(PdfPageCount(printed), 2);
    EXPECT_TRUE(PdfPageText(printed, 1).contains(QStringLiteral("頁1")));
}

TEST_F(PrevXTest, WithoutAPrinterTheDocumentCannotStart) {
    SetPrinterSource([] { return std::unique_ptr<QPrinter>(); });
    TPrevX prev;
    try {
        prev.BeginDoc();
        FAIL() << "BeginDoc without a printer";
    } catch (const EPrevError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("プリンタが登録されていません"));
    }
    EXPECT_THROW(prev.CheckPrinter(), EPrevError);
    EXPECT_THROW(prev.NewPage(), EPrevError);
    EXPECT_EQ(prev.PageCount(), 0);
}

TEST_F(PrevXTest, APrinterLostAfterRecordingIsReportedWhenPrinting) {
    TPrevX prev;
    Record(prev, 2);
    SetPrinterSource([] { return std::unique_ptr<QPrinter>(); });
    EXPECT_THROW(prev.Print(), EPrevError);
    // Painting stays quiet (the control shows blank) instead of raising from a paint.
    prev.resize(100, 100);
    EXPECT_NO_THROW(prev.grab());
}

TEST_F(PrevXTest, PreviewGeometryFollowsTheZoom) {
    TPrevX prev;
    Record(prev, 1);
    ASSERT_EQ(prev.logicalDpiY(), 96);
    prev.SetZoomScale(100);
    // A4 at 600 dpi is 4958 x 7017 pixels, the printable area 4758 x 6817 at offset 100.
    EXPECT_EQ(prev.PaperWidth(), 793);
    EXPECT_EQ(prev.PaperHeight(), 1123);
    EXPECT_EQ(prev.OffsetX(), 16);
    EXPECT_EQ(prev.PrintableWidth(), 761);
    EXPECT_EQ(prev.PrintableHeight(), 1091);
    EXPECT_EQ(prev.size(), QSize(813, 1143));
    prev.SetZoomScale(50);
    EXPECT_EQ(prev.PaperWidth(), 397);  // 396.64
    EXPECT_EQ(prev.PaperHeight(), 561); // 561.36
    EXPECT_EQ(prev.size(), QSize(417, 581));
}

TEST_F(PrevXTest, ALineAtTheOriginLandsAtThePageShiftOnPaperAndOnScreen) {
    TPrevX prev;
    PageShiftX = -2.6f;
    PageShiftY = -2.7f;
    prev.BeginDoc();
    SetPenWidthMm(prev.Canvas(), 0.3f);
    DrawStyledLine(prev.Canvas(), 0, 1, 0, 5); // vertical at x = 0
    DrawStyledLine(prev.Canvas(), 1, 0, 5, 0); // horizontal at y = 0
    prev.EndDoc();
    prev.Print();

    // On paper: 2.6 cm from the left edge, 2.7 cm from the top, at 100 pixels per cm.
    const QImage page = test::PdfPageImage(printed, 1, 254);
    ASSERT_FALSE(page.isNull());
    // The lines run from 1 to 5 cm past the origin, so 3.6 to 7.6 cm from the paper's edges.
    EXPECT_NEAR(test::DarkCentreInRow(page, 500), 260, 1.5);
    EXPECT_NEAR(test::DarkCentreInColumn(page, 500), 270, 1.5);

    // On screen at zoom 100 and 96 pixels per inch: the paper starts at 10 pixels.
    prev.SetZoomScale(100);
    const QImage screen = prev.grab().toImage();
    const double perCm = prev.logicalDpiY() / 2.54;
    // Searched from inside the paper's frame and the printable area's dotted outline.
    const int inside = 10 + prev.OffsetX() + 4;
    EXPECT_NEAR(test::DarkCentreInRow(screen, int(10 + 5 * perCm), inside), 10 + 2.6 * perCm, 1.5);
    EXPECT_NEAR(test::DarkCentreInColumn(screen, int(10 + 5 * perCm), inside), 10 + 2.7 * perCm,
                1.5);
}

TEST_F(PrevXTest, LandscapePagesPrintOnLandscapeSheets) {
    TPrevX prev;
    prev.BeginDoc();
    SetCurrentOrientation(TOrientation::Landscape);
    prev.NewPage();
    prev.EndDoc();
    SetCurrentOrientation(TOrientation::Portrait);
    prev.Print();
    ASSERT_EQ(PdfPageCount(printed), 2);
    EXPECT_LT(PdfPageSize(printed, 1).width(), PdfPageSize(printed, 1).height());
    EXPECT_GT(PdfPageSize(printed, 2).width(), PdfPageSize(printed, 2).height());
    // Showing page 2 turns the printer, and with it the paper on screen.
    prev.SetPageNo(2);
    EXPECT_EQ(CurrentOrientation(), TOrientation::Landscape);
    EXPECT_GT(prev.PaperWidth(), prev.PaperHeight());
}

TEST_F(PrevXTest, OnThePdfStandInPrintingAsksForAFileName) {
    SetPrinterSource([] { return PdfPrinter(); });
    test::TestDialogs dialogs(env);
    QString target = QDir(env.Root()).filePath(QStringLiteral("job"));
    dialogs.fileAnswers.push_back(TChosenFile{target});
    TPrevX prev;
    prev.SetTitle(QStringLiteral("報告書"));
    Record(prev, 2);
    prev.Print();
    ASSERT_EQ(dialogs.fileRequests.size(), 1U);
    EXPECT_EQ(dialogs.fileRequests[0].title, QStringLiteral("PDFファイルに印刷"));
    EXPECT_EQ(QFileInfo(dialogs.fileRequests[0].start).fileName(), QStringLiteral("報告書.pdf"));
    EXPECT_EQ(PdfPageCount(target + QStringLiteral(".pdf")), 2);

    // Cancelling the question prints nothing.
    QFile::remove(target + QStringLiteral(".pdf"));
    prev.Print();
    EXPECT_FALSE(QFile::exists(target + QStringLiteral(".pdf")));
}

TEST_F(PrevXTest, TheNextPdfIsProposedInTheFolderOfTheLastOneAlsoAfterARestart) {
    SetPrinterSource([] { return PdfPrinter(); });
    test::TestDialogs dialogs(env);
    const QString folder = QDir(env.Root()).filePath(QStringLiteral("報告"));
    ASSERT_TRUE(QDir().mkpath(folder));
    dialogs.fileAnswers.push_back(TChosenFile{QDir(folder).filePath(QStringLiteral("a.pdf"))});
    TPrevX prev;
    prev.SetTitle(QStringLiteral("報告書"));
    Record(prev, 1);
    prev.Print();
    // What a new run reads: the setting, not this process's memory.
    EXPECT_EQ(ReadSetting(QStringLiteral("LastPdfFolder")), folder);
    prev.Print(); // cancelled
    ASSERT_EQ(dialogs.fileRequests.size(), 2U);
    EXPECT_EQ(dialogs.fileRequests[1].start, QDir(folder).filePath(QStringLiteral("報告書.pdf")));

    // A folder that has gone since falls back to the documents or home folder.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    prev.Print();
    ASSERT_EQ(dialogs.fileRequests.size(), 3U);
    EXPECT_NE(QFileInfo(dialogs.fileRequests[2].start).absolutePath(), folder);
}

TEST_F(PrevXTest, SavingAsPdfIntoAMissingFolderIsAnError) {
    TPrevX prev;
    Record(prev, 1);
    EXPECT_THROW(prev.SaveAsPdf(QDir(env.Root()).filePath(QStringLiteral("no/such/x.pdf"))),
                 EPrevError);
}

} // namespace
} // namespace tv
