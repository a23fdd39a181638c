#pragma once
// The client register window "発注者の登録".
#include "registers/uHacchusya.h"

#include <QDialog>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tv {

class TComboBox;
class TSaveKeys;

class TfrmEditHacchusya : public QDialog {
    Q_OBJECT
public:
    explicit TfrmEditHacchusya(QWidget* parent = nullptr);
    ~TfrmEditHacchusya() override;

    TComboBox* ComboBox1 = nullptr; // 発注者名
    QLineEdit* Edit1 = nullptr;     // 職氏名
    QPushButton* Button1 = nullptr; // 登録(&O)
    QAction* N1 = nullptr;          // 新規
    QAction* Delete1 = nullptr;     // 削除
    QAction* Close1 = nullptr;      // 閉じる
    QAction* Help1 = nullptr;       // ヘルプ (F1)
    QLabel* SaveSign = nullptr;     // 「保存しました」 after a save
    TSaveKeys* SaveKeys = nullptr;  // Enter saves

    THacchusya& Hacchusya() { return *hacchusya_; }

    void StoreFields();
    void ShowFields();

    void ComboBox1DropDown();
    void ComboBox1Click();
    void Button1Click();
    void N1Click();
    void Delete1Click();
    void Close1Click();
    void Help1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<THacchusya> hacchusya_;
};

} // namespace tv
