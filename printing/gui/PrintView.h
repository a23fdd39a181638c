#pragma once
// The print preview window: shows the document recorded on PrevX1, zooms, pages through it,
// changes the printer set-up, prints all pages or the page shown, and saves the document as PDF.
#include "platform/gui/FormFrame.h"
#include "printing/gui/PrevX.h"
#include "printing/gui/UpDown.h"

#include <QDialog>
#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QPrinter;
class QScrollArea;
class QToolButton;

namespace tv {

// Runs the printer set-up dialog on the current printer (the main window's 設定 and the preview's
// printer button). Raises EPrevError when there is no printer.
void RunPrinterSetup(QWidget* parent);

class TfrmPreView : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPreView(QWidget* owner = nullptr);

    QLabel* Label1;
    QLineEdit* MaskEdit1;
    TUpDown* UpDown1;
    QPushButton* Button3;
    QPushButton* Button4;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QToolButton* SpeedButton1;
    QScrollArea* ScrollBox1;
    TPrevX* PrevX1;
    QPushButton* Button5;
    QPushButton* Button1;
    QPushButton* Button2;
    QAction* Help1 = nullptr; // F1
    QPushButton* Button6;     // PDF保存
    QLabel* PageLabel;        // "ページ 2 / 5"

    // Handlers. FormActivate with a page button as sender only refreshes the controls; any other
    // sender (an activation of the window) also fits the page to the window.
    void FormActivate(QObject* sender);
    void FormResize();
    void FormMouseWheelDown();
    void FormMouseWheelUp();
    void UpDown1ChangingEx(int newPosition, bool& allowChange);
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void SpeedButton1Click();

    // Places PrevX1 inside the scroll box and sizes the scrolled area to it.
    void PlacePrevX(int left, int top);

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    QSize WindowSize() const;
    // Keeps the whole window, frame included, inside the screen's work area.
    void FitFrameIntoWorkArea();
    QWidget* scrollContents_;
    bool resizing_ = false;
    // Fits the page again only when the user comes to the window, not when a printer or file
    // dialog opened from it closes, so a zoom chosen by hand stays.
    TActivationGate activation_;
    bool fitOnActivation_ = false;
    QRect createdGeometry_;
};

} // namespace tv
