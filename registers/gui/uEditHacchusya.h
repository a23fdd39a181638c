#pragma once
// The client register window "発注者の登録".
#include "registers/gui/RegisterWindow.h"
#include "registers/uHacchusya.h"

class QLineEdit;

namespace tv {

class TfrmEditHacchusya : public TNameRegisterWindow {
    Q_OBJECT
public:
    explicit TfrmEditHacchusya(QWidget* parent = nullptr);

    // ComboBox1 発注者名, Button1 登録(&O) and the menus: TNameRegisterWindow.
    QLineEdit* Edit1 = nullptr; // 職氏名

    THacchusya& Hacchusya() { return static_cast<THacchusya&>(Names()); }

protected:
    void StoreFields() override;
    void ShowFields() override;
};

} // namespace tv
