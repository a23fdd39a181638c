#pragma once
// The work-type window "工種の登録": the user edits the whole list of work types and writes it
// back in one go.
#include "platform/gui/FormFrame.h"
#include <QMainWindow>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

namespace tv {

class TKosyu;

class TfrmEditKosyu : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmEditKosyu(QWidget* parent = nullptr);
    ~TfrmEditKosyu() override;

    QListWidget* ListBox1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button2 = nullptr;
    QAction* N1 = nullptr;
    QAction* Delete1 = nullptr;
    QAction* Close1 = nullptr;
    QAction* Help1 = nullptr;      // ヘルプ (F1)
    QLabel* SaveSign = nullptr;    // 「保存しました」 after a save, in the status bar
    TSaveKeys* SaveKeys = nullptr; // Enter saves

    TKosyu& Kosyu() { return *kosyu_; }

    void FormActivate();
    void Edit2Change();
    void Button1Click();
    void Button3Click();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void Button2Click();
    // Enter in the name box: adds the typed name, writes the list and keeps the window open.
    void SaveOnEnter();
    void N1Click();
    void Delete1Click();
    void Close1Click();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Writes the list to the table as a whole or not at all, and shows the sign of the save.
    void WriteList();
    // Fills the list with the register as stored; the names.
    QStringList ShowStoredList();

    std::unique_ptr<TKosyu> kosyu_;
    TActivationGate activation_;
};

} // namespace tv
