#pragma once
// The standard-values window "規格値の登録". One instance lives for the whole run (created hidden
// at start-up); the main window shows it modelessly. It owns the register's current entry. 登録 is
// enabled by every change of the editable controls; closing asks about saving only when the user
// changed something since the entry was shown or saved.
#include "platform/gui/FormFrame.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tv {

class TClickLabel;
class TComboBox;
class TSaveKeys;
class TKikakuti4;
class TRadioGroup;

class TfrmEditKikakuti4 : public QWidget {
    Q_OBJECT
public:
    explicit TfrmEditKikakuti4(QWidget* parent = nullptr);
    ~TfrmEditKikakuti4() override;

    TRadioGroup* RadioGroup1 = nullptr; // 区分: the category, -1 when none
    QLabel* Panel7 = nullptr;           // 工種名
    TComboBox* ComboBox1 = nullptr;
    TClickLabel* Panel8 = nullptr; // 項目名, opens the pick of registered entries
    TComboBox* ComboBox2 = nullptr;
    QLabel* Panel1 = nullptr; // 規格値(㎜)
    QLabel* Panel2 = nullptr; // 上限値
    QLineEdit* Edit2 = nullptr;
    QLabel* Panel3 = nullptr; // 下限値
    QLineEdit* Edit3 = nullptr;
    QCheckBox* CheckBox1 = nullptr; // 合格判定値
    QLabel* Label1 = nullptr;       // 条件
    QLineEdit* Edit1 = nullptr;
    QLabel* Panel4 = nullptr;   // 自社規格値
    QLineEdit* Edit4 = nullptr; // the caption of the own standard (a setting)
    QLabel* Panel5 = nullptr;   // 上限値
    QLineEdit* Edit5 = nullptr;
    QLabel* Panel6 = nullptr; // 下限値
    QLineEdit* Edit6 = nullptr;
    QPushButton* Button1 = nullptr; // 登録
    QPushButton* Button2 = nullptr; // 閉じる
    QAction* Print1 = nullptr;      // 一覧印刷
    QAction* Delete1 = nullptr;     // 削除
    QAction* Close1 = nullptr;      // 閉じる
    QAction* N1 = nullptr;          // 工種データ
    QAction* Help1 = nullptr;       // ヘルプ (F1)
    QLabel* SaveSign = nullptr;     // 「保存しました」 after a save
    TSaveKeys* SaveKeys = nullptr;  // Enter saves

    // The register's current entry.
    TKikakuti4& Kikakuti4() { return *kikakuti4_; }

    // True when the user changed something since the entry was shown or saved.
    bool IsChanged() const { return changed_; }

    // The work-type window that 工種データ shows; none set, the item does nothing.
    void SetWorkTypeWindow(QWidget* window) { workTypeWindow_ = window; }

    void StoreFields();
    void ShowFields();

    void FormActivate();
    void RadioGroup1Click();
    void ComboBox1DropDown();
    void ComboBox1Click();
    void ComboBox2DropDown();
    void ComboBox2Click();
    void Panel8Click();
    void CheckBox1Click();
    void ControlChange();
    void Button1Click();
    void Button2Click();
    void Delete1Click();
    void Close1Click();
    void N1Click();
    void Print1Click();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<TKikakuti4> kikakuti4_;
    QPointer<QWidget> workTypeWindow_;
    // Set while ShowFields fills the combo boxes: filling them is not an edit.
    bool showingCombos_ = false;
    // Something was typed or chosen since the entry was shown or saved: only then does closing
    // ask about saving.
    bool changed_ = false;
    bool placed_ = false;
    TActivationGate activation_;
};

} // namespace tv
