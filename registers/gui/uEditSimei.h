#pragma once
// The person-name register window "氏名の登録". Opened modally from the works window, which takes
// the entered name after the result OK.
#include "registers/uSimei.h"

#include <QDialog>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace tv {

class TSaveKeys;

class TfrmEditSimei : public QDialog {
    Q_OBJECT
public:
    explicit TfrmEditSimei(QWidget* parent = nullptr);
    ~TfrmEditSimei() override;

    QLineEdit* Edit1 = nullptr;       // ふりがな
    QLineEdit* Edit2 = nullptr;       // 氏名
    QPushButton* Button1 = nullptr;   // 登録 (saves and closes with OK)
    QPushButton* Button2 = nullptr;   // 氏名検索
    QStatusBar* StatusBar1 = nullptr; // 「保存しました」 after Enter saved
    QLabel* SaveSign = nullptr;       // the sign in the status bar
    TSaveKeys* SaveKeys = nullptr;    // Enter saves
    QAction* N1 = nullptr;            // 新規
    QAction* Delete1 = nullptr;       // 削除
    QAction* Close1 = nullptr;        // 閉じる
    QAction* Help1 = nullptr;         // ヘルプ (F1)

    TSimei& Simei() { return *simei_; }
    // The name in the name box.
    QString EnteredName() const;

    void StoreFields();
    void ShowFields();

    void Button1Click();
    // Enter in a box: registers the name and keeps the window open for the next one.
    void SaveOnEnter();
    void Button2Click();
    void N1Click();
    void Delete1Click();
    void Close1Click();
    void Help1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<TSimei> simei_;
};

} // namespace tv
