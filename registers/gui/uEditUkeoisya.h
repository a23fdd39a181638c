#pragma once
// The contractor register window "請負者の登録".
#include "registers/uUkeoisya.h"

#include <QDialog>
#include <memory>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tv {

class TComboBox;
class TSaveKeys;

class TfrmEditUkeoisya : public QDialog {
    Q_OBJECT
public:
    explicit TfrmEditUkeoisya(QWidget* parent = nullptr);
    ~TfrmEditUkeoisya() override;

    TComboBox* ComboBox1 = nullptr; // 請負者名
    QLineEdit* Edit1 = nullptr;     // 住所
    QLineEdit* Edit2 = nullptr;     // 会社名
    QLineEdit* Edit3 = nullptr;     // 代表者
    QCheckBox* CheckBox1 = nullptr; // JVの代表会社である
    QPushButton* Button1 = nullptr; // 登録(&O)
    QAction* N1 = nullptr;          // 新規
    QAction* Delete1 = nullptr;     // 削除
    QAction* Close1 = nullptr;      // 閉じる
    QAction* Help1 = nullptr;       // ヘルプ (F1)
    QLabel* SaveSign = nullptr;     // 「保存しました」 after a save
    TSaveKeys* SaveKeys = nullptr;  // Enter saves

    TUkeoisya& Ukeoisya() { return *ukeoisya_; }

    void StoreFields();
    void ShowFields();

    void ComboBox1DropDown();
    void ComboBox1Click();
    void Button1Click();
    void N1Click();
    void Delete1Click();
    void Close1Click();
    void Help1Click();
    void Edit2Enter();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FitToClientArea();

    std::unique_ptr<TUkeoisya> ukeoisya_;
    QWidget* client_ = nullptr;
};

} // namespace tv
