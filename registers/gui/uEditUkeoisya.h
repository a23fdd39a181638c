#pragma once
// The contractor register window "請負者の登録".
#include "registers/gui/RegisterWindow.h"
#include "registers/uUkeoisya.h"

class QCheckBox;
class QLineEdit;

namespace tv {

class TfrmEditUkeoisya : public TNameRegisterWindow {
    Q_OBJECT
public:
    explicit TfrmEditUkeoisya(QWidget* parent = nullptr);

    // ComboBox1 請負者名, Button1 登録(&O) and the menus: TNameRegisterWindow.
    QLineEdit* Edit1 = nullptr;     // 住所
    QLineEdit* Edit2 = nullptr;     // 会社名
    QLineEdit* Edit3 = nullptr;     // 代表者
    QCheckBox* CheckBox1 = nullptr; // JVの代表会社である

    TUkeoisya& Ukeoisya() { return static_cast<TUkeoisya&>(Names()); }

    void Edit2Enter();

protected:
    void StoreFields() override;
    void ShowFields() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FitToClientArea();
};

} // namespace tv
