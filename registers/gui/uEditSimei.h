#pragma once
// The person-name register window "氏名の登録". Opened modally from the works window, which takes
// the entered name after the result OK.
#include "registers/gui/RegisterWindow.h"
#include "registers/uSimei.h"

#include <memory>

class QLineEdit;
class QPushButton;
class QStatusBar;

namespace tv {

class TfrmEditSimei : public TRegisterWindow {
    Q_OBJECT
public:
    explicit TfrmEditSimei(QWidget* parent = nullptr);
    ~TfrmEditSimei() override;

    // The menus, SaveSign (in the status bar) and SaveKeys: TRegisterWindow.
    QLineEdit* Edit1 = nullptr;       // ふりがな
    QLineEdit* Edit2 = nullptr;       // 氏名
    QPushButton* Button1 = nullptr;   // 登録 (saves and closes with OK)
    QPushButton* Button2 = nullptr;   // 氏名検索
    QStatusBar* StatusBar1 = nullptr; // 「保存しました」 after Enter saved

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

private:
    std::unique_ptr<TSimei> simei_;
};

} // namespace tv
