#pragma once
// The settings window "環境設定": where the data lives (a folder of this computer or a
// PostgreSQL server) and the five per-user settings.
#include "platform/gui/FormFrame.h"
#include <QColor>
#include <QDialog>
#include <functional>
#include <utility>

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QRadioButton;
class QLineEdit;
class QPushButton;

namespace tv {

class TFolderDialog;
class TServerBoxes;

// A Windows colour value (0x00BBGGRR) and back. Values with a high byte (system colours) show
// their low three bytes.
QColor ColorFromWinColor(int value);
int WinColorFromColor(const QColor& color);
// A stored colour text read leniently, truncated toward zero (0 for what is no number).
int WinColorFromText(const QString& text);

class TfrmSetDataPath : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSetDataPath(QWidget* parent = nullptr);

    QGroupBox* GroupBox1 = nullptr;       // データ格納場所
    QRadioButton* RadioButton1 = nullptr; // このコンピュータのフォルダ
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button2 = nullptr;
    QRadioButton* RadioButton2 = nullptr; // サーバー (PostgreSQL)
    TServerBoxes* ServerBoxes1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QFrame* Panel2 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    TFolderDialog* FolderDialog1 = nullptr;
    QAction* Help1 = nullptr; // F1: the window's help page

    // The colour values of the two swatches (Windows colour values).
    int Edit2Color() const { return edit2Color_; }
    int Edit3Color() const { return edit3Color_; }

    // Asked before the data moves to another folder or server; false keeps the old place.
    void SetBeforeSwitch(std::function<bool()> beforeSwitch) {
        beforeSwitch_ = std::move(beforeSwitch);
    }
    // Run once the data has moved, after the window closed.
    void SetAfterSwitch(std::function<void()> afterSwitch) {
        afterSwitch_ = std::move(afterSwitch);
    }

    void FormActivate();
    void BitBtn1Click();
    void Button2Click();
    void Edit2DblClick();
    void Edit3DblClick();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void SetSwatch(QLineEdit* edit, int& store, int value);
    void ShowChoice(); // enables the boxes of the place chosen
    // Stores the place chosen; false, with the reason told, when the window must stay open.
    bool StorePlace(bool& moved);
    void PickSwatchColor(QLineEdit* edit, int& store);

    int edit2Color_ = 0;
    int edit3Color_ = 0;
    QColor lastColor_ = Qt::black; // the colour last chosen in the colour dialog
    TActivationGate activation_;
    std::function<bool()> beforeSwitch_;
    std::function<void()> afterSwitch_;
};

} // namespace tv
