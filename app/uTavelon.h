#pragma once
// The main measurement window: one flatness measurement at a time, its header boxes, the grid of
// readings, the statistics recomputed as readings are entered, and the menus that open the other
// windows.
#include "measurement/Calc.h"

#include <QMainWindow>
#include <memory>
#include <utility>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QAction;

namespace tv {

class TClickLabel;
class TComboBox;
class TRadioGroup;
class TvaSpread;
class TRokumaKanri;
class TRokumaLine;
class TRokumaData;
class TfrmChart;
struct TFlatnessChart;

class TfrmEditTavelon : public QMainWindow, private TCalcTarget {
    Q_OBJECT
public:
    explicit TfrmEditTavelon(QWidget* parent = nullptr);
    ~TfrmEditTavelon() override;

    // Controls, named as in the window's layout.
    TComboBox* ComboBox1 = nullptr; // 工事名
    TComboBox* ComboBox4 = nullptr; // 工種名
    QLineEdit* Edit1 = nullptr;     // 測定開始点
    QLineEdit* Edit2 = nullptr;     // 測定終了点
    QLineEdit* Edit3 = nullptr;     // 測定距離
    QLineEdit* Edit4 = nullptr;     // 測定日
    TComboBox* ComboBox2 = nullptr; // 測定器
    TComboBox* ComboBox3 = nullptr; // 測定者
    QLineEdit* Edit5 = nullptr;     // Σd
    QLineEdit* Edit6 = nullptr;     // Σ(d2)
    QLineEdit* Edit7 = nullptr;     // データ数
    QLineEdit* Edit8 = nullptr;     // 標準偏差
    TvaSpread* vaSpread1 = nullptr;
    QLineEdit* Edit9 = nullptr;  // ΣＲ
    QLineEdit* Edit10 = nullptr; // 測定数
    QLineEdit* Edit11 = nullptr; // 標準偏差 (range method)
    QLineEdit* Edit13 = nullptr; // Ｇ
    QLineEdit* Edit12 = nullptr; // 仕様書の範囲
    // The report form: 0 舗装試験法便覧, 1 北海道開発局.
    TRadioGroup* RadioGroup1 = nullptr;
    QPushButton* BitBtn1 = nullptr; // 印刷
    QPushButton* BitBtn2 = nullptr; // 登録
    QPushButton* BitBtn3 = nullptr; // 閉じる
    QPushButton* BitBtn4 = nullptr; // 設定
    TClickLabel* Label16 = nullptr; // 工種名 (clickable)
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QLabel* StatusPanel2 = nullptr; // the verdict against the flatness standard
    QAction* Delete1 = nullptr;
    QAction* Close1 = nullptr;
    QAction* N1 = nullptr;
    QAction* N2 = nullptr;
    QAction* N3 = nullptr;
    QAction* N4 = nullptr;
    QAction* N5 = nullptr;      // 旧データの取り込み
    QAction* N6 = nullptr;      // サーバーへ移す…
    QAction* Import1 = nullptr; // ファイル → 読み込み…
    QAction* Export1 = nullptr; // ファイル → 書き出し…
    QAction* Help1 = nullptr;   // ヘルプ (F1)
    QAction* Graph1 = nullptr;  // 表示 > グラフ

    // Handlers.
    void ComboBox1DropDown();
    void ComboBox1Click();
    void ComboBox4DropDown();
    void ComboBox4Click();
    void Label16Click();
    void ComboBox2DropDown();
    void ComboBox3DropDown();
    void vaSpread1Click(int col, int row);
    void vaSpread1KeyPress(int key);
    // A cell's text was changed by the user: the results follow at once.
    void vaSpread1CellEdited();
    // Enter after a line's last reading: the next line's position is proposed from the two
    // above, and the cursor goes to its first reading when it has a position.
    void EnterNextLine(int row);
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void Delete1Click();
    void Close1Click();
    void N1Click();
    void N2Click();
    void N3Click();
    void N4Click();
    void N5Click();
    void N6Click();
    void Import1Click();
    void Export1Click();
    // Cells of the grid changed as a block (paste, clear, undo, redo).
    void vaSpread1BlockEdited();

    // Reading a file of readings into the grid (grid or logger layout, or detected): asks before
    // replacing readings already in the grid; a file with a bad record changes nothing.
    void ImportReadings(const QString& path, int layout);
    // Writing the shown measurement: CSV in the grid layout, or an Excel workbook (.xlsx).
    void ExportReadings(const QString& path);

    // The shown measurement differs from what was loaded or saved: typing, clicks that exclude
    // or use a reading, block edits and imports.
    bool IsModified() const { return modified_; }
    void Graph1Click();

    // Steps shared by the handlers.
    void CheckDatabases();
    void RecordToWindow();
    void WindowToRecord();

    // The current measurement (the report forms print from it).
    TRokumaKanri& Header() { return *header_; }

    // The window's outer size at the layout's size.
    static constexpr int kLayoutWidth = 645, kLayoutHeight = 549;

    // The chart window, once グラフ has opened it.
    TfrmChart* ChartWindow() const { return chart_; }
    // The window's measurement as the charts show it: the grid, the header boxes and the
    // flatness standard.
    TFlatnessChart ChartData();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void CentreInWorkArea();
    // Size and position of the last run, when they fit the screen; kept when the window goes.
    void RestorePlacement();
    void SavePlacement();
    // Widens and lengthens the grid with the window and keeps the boxes below it at the bottom.
    void FollowWindowSize();
    void RunCalcReadingsAndRanges();
    // Ｇ was changed by typing and the box was left: the range method is recomputed.
    void Edit13Exit();
    // The save of 登録, 印刷 and the question about changes: the cell being typed is taken, the
    // results are recomputed, rows that would not be kept are asked about. False when the user
    // declined; a failure raises.
    bool SaveShownMeasurement();
    // Before the shown measurement is left (another work or work type, closing): asks whether
    // to save changes. False when the user cancelled or the save did not happen; the work and
    // work-type boxes then show the shown measurement's pair again.
    bool LeaveShownMeasurement();
    // The same for the windows that move the data, its failure shown.
    bool LeaveShownMeasurementGuarded();
    // After the data moved to another folder or server.
    void DataLocationChanged();
    // The work and work-type boxes name the pair loaded (or saved) last.
    bool ChoosesShownPair() const;
    void MarkModified() { modified_ = true; }
    void MarkShown();
    void BuildReadingsMenu();
    // After every recalculation and load: the verdict and the charts follow the results.
    void ResultsChanged();
    void ShowVerdict();
    // Looks the flatness standard of the shown pair up again (the standard-values or works window
    // may have changed it) and, when it changed, judges again.
    void RefreshFlatnessLimit();

    // TCalcTarget: the result boxes, the header's GP and status panel 1.
    QString BoxText(ResultBox box) const override;
    void SetBoxText(ResultBox box, const QString& text) override;
    void SetGP(const QString& gp) override;
    void ShowStatus(const QString& text) override;
    QLineEdit* Box(ResultBox box) const;

    std::unique_ptr<TRokumaKanri> header_;
    std::unique_ptr<TRokumaLine> line_;
    std::unique_ptr<TRokumaData> point_;
    bool modified_ = false;
    bool gpEdited_ = false;
    // The last cell edit recalculated; the Enter that committed it need not again.
    bool calculatedEdit_ = false;
    // The texts of the work and work-type boxes for the measurement shown (or as typed since):
    // choosing from a list changes the box before the choice is handled.
    QString shownWork_, shownKosyu_;
    // The pair loaded or saved last: its work code and work-type name.
    QString loadedWorkCode_, loadedKosyu_;
    // The controls below the grid with their positions at the layout's size.
    std::vector<std::pair<QWidget*, QPoint>> bottomControls_;
    QString flatnessLimit_; // upper limit of the shown pair's flatness standard; empty: none
    TfrmChart* chart_ = nullptr;
};

} // namespace tv
