#pragma once
// The construction-works register window "工事名の登録". One instance lives for the whole run; the
// main window shows it modelessly. Each time it becomes the active window, coming from another
// window of the program, it shows its work again, so typing that was not saved is dropped; coming
// back from a message box or from another program keeps the typing.
#include "platform/gui/FormFrame.h"
#include "registers/uKoji.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tv {

class TComboBox;
class TSaveKeys;
class TRadioGroup;

class TfrmEditKoji : public QWidget {
    Q_OBJECT
public:
    explicit TfrmEditKoji(QWidget* parent = nullptr);
    ~TfrmEditKoji() override;

    QLineEdit* Edit1 = nullptr;         // 工事コード
    QPushButton* Button1 = nullptr;     // 工事検索
    QLineEdit* Edit2 = nullptr;         // 工事名
    TComboBox* ComboBox3 = nullptr;     // 発注者名
    TComboBox* ComboBox2 = nullptr;     // 請負者名
    TComboBox* ComboBox1 = nullptr;     // 現場代理人
    TRadioGroup* RadioGroup1 = nullptr; // 印刷様式: the print form (0 to 2)
    QPushButton* Button2 = nullptr;     // 登録 / 閉じる
    QAction* N1 = nullptr;              // 新規
    QAction* N5 = nullptr;              // 一覧印刷
    QAction* Delete1 = nullptr;         // 削除
    QAction* Close1 = nullptr;          // 閉じる
    QAction* N2 = nullptr;              // 氏名
    QAction* N4 = nullptr;              // 発注者
    QAction* N3 = nullptr;              // 請負者
    QAction* Help1 = nullptr;           // ヘルプ (F1)
    QLabel* SaveSign = nullptr;         // 「保存しました」 after a save
    TSaveKeys* SaveKeys = nullptr;      // Enter saves

    TKoji& Koji() { return *koji_; }

    void StoreFields();
    void ShowFields();

    void FormActivate();
    void ControlChange();
    void Button1Click();
    void Button2Click();
    void N1Click();
    void N5Click();
    void Delete1Click();
    void Close1Click();
    void N2Click();
    void N3Click();
    void N4Click();
    void Help1Click();
    void ComboBox1DropDown();
    void ComboBox1Click();
    void ComboBox2DropDown();
    void ComboBox2Click();
    void ComboBox3DropDown();
    void ComboBox3Click();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<TKoji> koji_;
    // The object holds typing that is not in the table yet (stored before a save that failed).
    bool objectUnsaved_ = false;
    // Opens one of the client, contractor and person-name windows: what is typed here and not
    // saved stays as it was when that window closes (only the lists change, and they are refilled
    // when opened).
    void RunRegisterWindow(const std::function<void()>& run);
    // Coming back from a message box or another program keeps the typing; coming back from
    // the client, contractor and person-name windows does too (RunRegisterWindow puts the typing
    // back and skips the reload); a failed reload is not tried again when its message closes.
    TActivationGate activation_{this, TActivationGate::TKeepAfter::MessageBox};
    bool centred_ = false;
};

} // namespace tv
