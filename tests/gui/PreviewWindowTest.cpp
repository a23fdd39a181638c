// The print preview window driven offscreen: layout, paging, zoom, printing and PDF saving.
#include "printing/Primitives.h"
#include "printing/gui/PrintView.h"
#include "tests/gui/PdfProbe.h"
#include "tests/support/TestEnv.h"
#include "tests/support/gui/TestDialogs.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <cmath>
#include <gtest/gtest.h>

namespace tv {
namespace {

using test::PdfPageCount;
using test::PdfPageText;

class PreviewWindowTest : public test::EnvTest {
protected:
    void SetUp() override {
        printed = QDir(env.Root()).filePath(QStringLiteral("printed.pdf"));
        oldSource = test::PrintIntoPdf(printed);
    }
    void TearDown() override { SetPrinterSource(oldSource); }
    std::unique_ptr<TfrmPreView> Window(int pages) {
        auto window = std::make_unique<TfrmPreView>();
        TPrevX* prev = window->PrevX1;
        prev->BeginDoc();
        for (int n = 1; n <= pages; ++n) {
            if (n > 1)
                prev->NewPage();
            prev->Canvas()->SetFontName(QStringLiteral("ＭＳ 明朝"));
            prev->Canvas()->SetFontSize(11);
            DrawTextBox(prev->Canvas(), QStringLiteral("頁%1").arg(n), baLeft, 1, 1, 10, 2);
        }
        prev->EndDoc();
        // Shown, so resizing runs the window's resize handler at once.
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->FormActivate(window.get());
        return window;
    }
    static void Click(QWidget* window, const char* name) {
        auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QString printed;
    TPrinterSource oldSource;
    test::TestDialogs dialogs{env};
};

TEST_F(PreviewWindowTest, ControlsHaveTheirCaptionsAndPlaces) {
    auto w = Window(1);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("印刷プレビュー"));
    struct Expected {
        const char* name;
        QString caption;
        QRect geometry;
    };
    const Expected top[] = {
        {"Button3", QStringLiteral("前ページ"), QRect(112, 4, 57, 25)},
        {"Button4", QStringLiteral("次ページ"), QRect(176, 4, 57, 25)},
    };
    for (const auto& e : top) {
        auto* b = w->findChild<QPushButton*>(QString::fromLatin1(e.name));
        ASSERT_NE(b, nullptr) << e.name;
        EXPECT_EQ(b->text(), e.caption);
        EXPECT_EQ(b->geometry(), e.geometry) << e.name;
    }
    EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("倍率"));
    EXPECT_EQ(w->MaskEdit1->geometry(), QRect(48, 4, 41, 24));
    EXPECT_EQ(w->UpDown1->geometry(), QRect(88, 4, 16, 24));
    EXPECT_EQ(w->Edit1->geometry(), QRect(248, 8, 41, 20));
    EXPECT_EQ(w->Edit2->geometry(), QRect(296, 8, 41, 20));
    EXPECT_EQ(w->SpeedButton1->geometry(), QRect(344, 8, 23, 22));
    EXPECT_EQ(w->UpDown1->Min(), 25);
    EXPECT_EQ(w->UpDown1->Max(), 200);
    EXPECT_EQ(w->UpDown1->Increment(), 5);
    EXPECT_EQ(w->Button5->text(), QStringLiteral("このページを印刷"));
    EXPECT_EQ(w->Button1->text(), QStringLiteral("印刷(&P)"));
    EXPECT_EQ(w->Button2->text(), QStringLiteral("閉じる"));
    EXPECT_EQ(w->Button6->text(), QStringLiteral("PDF保存"));
    // The screen's resolution is shown.
    EXPECT_EQ(w->Edit1->text(), QString::number(w->logicalDpiX()));
    EXPECT_EQ(w->Edit2->text(), QString::number(w->logicalDpiY()));
    // Bottom row and scroll box follow the window's outer size.
    w->resize(800, 600);
    const QSize outer = w->frameGeometry().size();
    EXPECT_EQ(w->ScrollBox1->geometry(), QRect(0, 32, outer.width() - 9, outer.height() - 107));
    EXPECT_EQ(w->Button2->geometry(), QRect(outer.width() - 75 - 9, outer.height() - 67, 75, 25));
    EXPECT_EQ(w->Button1->x(), w->Button2->x() - 75 - 9);
    EXPECT_EQ(w->Button5->x(), w->Button1->x() - 105 - 9);
    EXPECT_EQ(w->Button5->y(), outer.height() - 67);
}

TEST_F(PreviewWindowTest, OpensOverTheWorkAreaWithItsFrameInside) {
    TfrmPreView w;
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(work.contains(w.geometry()));
    EXPECT_GT(w.width(), work.width() - 20);
    EXPECT_GT(w.height(), work.height() - 60);
}

TEST_F(PreviewWindowTest, ShrinkingBelow640x480SnapsBack) {
    auto w = Window(1);
    w->resize(500, 400);
    EXPECT_EQ(w->frameGeometry().size(), QSize(640, 480));
    EXPECT_EQ(w->ScrollBox1->size(), QSize(631, 373));
    w->resize(700, 300);
    EXPECT_EQ(w->frameGeometry().height(), 480);
    EXPECT_EQ(w->width(), 700);
}

TEST_F(PreviewWindowTest, PageButtonsAreEnabledWhereThereIsAPageToGoTo) {
    auto one = Window(1);
    EXPECT_FALSE(one->Button3->isEnabled());
    EXPECT_FALSE(one->Button4->isEnabled());

    auto w = Window(3);
    EXPECT_FALSE(w->Button3->isEnabled());
    EXPECT_TRUE(w->Button4->isEnabled());
    EXPECT_EQ(w->PageLabel->text(), QStringLiteral("ページ 1 / 3"));
    Click(w.get(), "Button4");
    EXPECT_EQ(w->PageLabel->text(), QStringLiteral("ページ 2 / 3"));
    Click(w.get(), "Button4");
    EXPECT_EQ(w->PrevX1->PageNo(), 3);
    EXPECT_FALSE(w->Button4->isEnabled());
    EXPECT_TRUE(w->Button3->isEnabled());
    Click(w.get(), "Button3");
    EXPECT_EQ(w->PrevX1->PageNo(), 2);
    EXPECT_TRUE(w->Button4->isEnabled());
    EXPECT_TRUE(w->Button3->isEnabled());
}

TEST_F(PreviewWindowTest, AZoomChosenByHandOutlastsThePrinterDialog) {
    auto w = Window(1);
    const int fitted = w->PrevX1->ZoomScale();
    const int chosen = fitted == 150 ? 100 : 150;
    bool allow = true;
    w->UpDown1ChangingEx(chosen, allow);
    // The set-up dialog takes the activation and gives it back when it closes.
    dialogs.printerSetUp = [](QWidget* parent, QPrinter*) {
        QDialog dialog(parent);
        QTimer::singleShot(50, &dialog, &QDialog::accept);
        dialog.exec();
        return true;
    };
    Click(w.get(), "SpeedButton1");
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
    EXPECT_EQ(w->PrevX1->ZoomScale(), chosen);
    EXPECT_EQ(w->MaskEdit1->text(), QString::number(chosen));
}

TEST_F(PreviewWindowTest, ProposesAPdfNameFromTheDocumentsTitle) {
    auto w = Window(1);
    w->PrevX1->SetTitle(QStringLiteral("K001_表層/基層_平坦性試験"));
    Click(w.get(), "Button6");
    ASSERT_EQ(dialogs.fileRequests.size(), 1U);
    EXPECT_EQ(QFileInfo(dialogs.fileRequests[0].start).fileName(),
              QStringLiteral("K001_表層_基層_平坦性試験.pdf"));
}

TEST_F(PreviewWindowTest, PrintingThisPageNarrowsTheRangeForTheWindowsLife) {
    auto w = Window(3);
    Click(w.get(), "Button4");
    Click(w.get(), "Button5");
    ASSERT_EQ(PdfPageCount(printed), 1);
    EXPECT_TRUE(PdfPageText(printed, 1).contains(QStringLiteral("頁2")));
    QFile::remove(printed);
    Click(w.get(), "Button1");
    ASSERT_EQ(PdfPageCount(printed), 1);
    EXPECT_TRUE(PdfPageText(printed, 1).contains(QStringLiteral("頁2")));

    // A fresh window prints every page.
    QFile::remove(printed);
    auto fresh = Window(3);
    Click(fresh.get(), "Button1");
    EXPECT_EQ(PdfPageCount(printed), 3);
}

TEST_F(PreviewWindowTest, UpDownZoomsWithinTwentyFiveToTwoHundred) {
    auto w = Window(1);
    w->PrevX1->SetZoomScale(195);
    w->UpDown1->SetPosition(195);
    Click(w->UpDown1, "Up");
    EXPECT_EQ(w->PrevX1->ZoomScale(), 200);
    EXPECT_EQ(w->MaskEdit1->text(), QStringLiteral("200"));
    Click(w->UpDown1, "Up");
    EXPECT_EQ(w->PrevX1->ZoomScale(), 200);
    EXPECT_EQ(w->UpDown1->Position(), 200);
    EXPECT_EQ(w->MaskEdit1->text(), QStringLiteral("200"));

    w->PrevX1->SetZoomScale(25);
    w->UpDown1->SetPosition(25);
    Click(w->UpDown1, "Down");
    EXPECT_EQ(w->PrevX1->ZoomScale(), 25);
    EXPECT_EQ(w->UpDown1->Position(), 25);
    Click(w->UpDown1, "Up");
    EXPECT_EQ(w->PrevX1->ZoomScale(), 30);
    EXPECT_EQ(w->MaskEdit1->text(), QStringLiteral("30"));
    // A small page is centred in the scroll box.
    EXPECT_EQ(w->PrevX1->x(), (w->ScrollBox1->width() - w->PrevX1->width()) / 2);
    EXPECT_EQ(w->PrevX1->y(), std::max(0, (w->ScrollBox1->height() - w->PrevX1->height()) / 2));

    // Typing into the zoom box changes nothing.
    QTest::keyClicks(w->MaskEdit1, QStringLiteral("9"));
    EXPECT_EQ(w->PrevX1->ZoomScale(), 30);
}

TEST_F(PreviewWindowTest, ActivationFitsThePageToTheWindowTheSameWayEachTime) {
    auto w = Window(1);
    w->resize(800, 700);
    w->FormActivate(w.get());
    const int fit = 5 * int(std::trunc(w->ScrollBox1->height() / 1143.0 * 100 / 5));
    EXPECT_EQ(w->PrevX1->ZoomScale(), fit);
    EXPECT_EQ(w->UpDown1->Position(), fit);
    EXPECT_EQ(w->MaskEdit1->text(), QString::number(fit));
    w->FormActivate(w.get());
    EXPECT_EQ(w->PrevX1->ZoomScale(), fit);
    // The page buttons' refresh does not fit.
    w->PrevX1->SetZoomScale(150);
    w->FormActivate(w->Button3);
    EXPECT_EQ(w->PrevX1->ZoomScale(), 150);

    // Coming back to the window fits the page again.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    w->PrevX1->SetZoomScale(150);
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    EXPECT_EQ(w->PrevX1->ZoomScale(), fit);
}

TEST_F(PreviewWindowTest, PdfButtonSavesEveryPage) {
    auto w = Window(3);
    Click(w.get(), "Button4"); // the page shown does not matter
    QString target = QDir(env.Root()).filePath(QStringLiteral("saved.pdf"));
    dialogs.fileAnswers.push_back(TChosenFile{target});
    Click(w.get(), "Button6");
    ASSERT_EQ(dialogs.fileRequests.size(), 1U);
    EXPECT_EQ(QFileInfo(dialogs.fileRequests[0].start).fileName(),
              QStringLiteral("印刷プレビュー.pdf"));
    ASSERT_EQ(PdfPageCount(target), 3);
    EXPECT_TRUE(PdfPageText(target, 3).contains(QStringLiteral("頁3")));
    EXPECT_NEAR(test::PdfPageSize(target, 1).width(), 595, 1);
    // Nothing went to the printer.
    EXPECT_FALSE(QFile::exists(printed));
}

TEST_F(PreviewWindowTest, PrinterErrorsAreShownAndTheWindowStays) {
    auto w = Window(2);
    SetPrinterSource([] { return std::unique_ptr<QPrinter>(); });
    Click(w.get(), "Button1");
    EXPECT_EQ(env.messages, QStringList({QStringLiteral("プリンタが登録されていません")}));
    EXPECT_TRUE(w->isVisible());
    // Activation stays quiet: a message there would come back with every activation.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    EXPECT_EQ(env.messages.size(), 1);
}

TEST_F(PreviewWindowTest, MouseWheelScrollsByTheScrollBarsStep) {
    auto w = Window(1);
    w->resize(700, 500);
    w->PrevX1->SetZoomScale(200);
    w->PlacePrevX(0, 0);
    QScrollBar* bar = w->ScrollBox1->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    const int start = bar->value();
    QWheelEvent down(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w->ScrollBox1->viewport(), &down);
    EXPECT_EQ(bar->value(), start + bar->singleStep());
    QWheelEvent up(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.get(), &up);
    EXPECT_EQ(bar->value(), start);
}

TEST_F(PreviewWindowTest, SetUpButtonRunsTheDialogOnTheCurrentPrinterAndCloseCloses) {
    auto w = Window(1);
    Click(w.get(), "SpeedButton1");
    EXPECT_EQ(dialogs.printersSetUp, std::vector<QPrinter*>{CurrentPrinter()});

    Click(w.get(), "Button2");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->result(), QDialog::Rejected);
}

} // namespace
} // namespace tv
