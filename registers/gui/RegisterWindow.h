#pragma once
// What the client, contractor and person-name windows share: a dialog with the menu "ファイル"
// (新規, 削除, 閉じる) and "ヘルプ" (F1) above a client area, centred on the screen, where Enter in
// a box saves and 「保存しました」 says so. The client and contractor windows also share their name
// box and handlers over a register keyed by its name (TNameRegister).
#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

class QAbstractButton;
class QAction;
class QLabel;
class QPushButton;

namespace tv {

class TComboBox;
class TNameRegister;
class TSaveKeys;

class TRegisterWindow : public QDialog {
    Q_OBJECT
public:
    ~TRegisterWindow() override;

    QAction* N1 = nullptr;         // 新規
    QAction* Delete1 = nullptr;    // 削除
    QAction* Close1 = nullptr;     // 閉じる
    QAction* Help1 = nullptr;      // ヘルプ (F1)
    QLabel* SaveSign = nullptr;    // 「保存しました」 after a save
    TSaveKeys* SaveKeys = nullptr; // Enter saves

    void Close1Click();
    void Help1Click();

protected:
    struct TFrame {
        const char* objectName;
        QString caption;
        QString helpTopic;
        int width = 0; // of the client area
        int height = 0;
        bool resizable = false;
    };
    TRegisterWindow(QWidget* parent, const TFrame& frame);

    QWidget* Client() const { return client_; }
    // Once the controls are placed: Tab follows the layout, and Enter in a box runs `save` when
    // `ready` agrees.
    void FinishLayout(std::function<void()> save, std::function<bool()> ready);
    void showEvent(QShowEvent* event) override;

private:
    QWidget* client_ = nullptr;
    QString helpTopic_;
};

// A register keyed by its name: the name in ComboBox1, whose list is refilled with the names on
// every drop-down and loads the record of the name picked; 登録(&O) (Button1) saves and says so.
class TNameRegisterWindow : public TRegisterWindow {
    Q_OBJECT
public:
    TComboBox* ComboBox1 = nullptr;
    QPushButton* Button1 = nullptr; // 登録(&O)

    void ComboBox1DropDown();
    void ComboBox1Click();
    void Button1Click();
    void N1Click();
    void Delete1Click();

protected:
    TNameRegisterWindow(QWidget* parent, const TFrame& frame, std::unique_ptr<TNameRegister> names);
    ~TNameRegisterWindow() override;

    TNameRegister& Names() { return *names_; }

    // The name box with its label at the left edge; `bytes` of code page 932 at the most.
    void AddNameBox(const QString& caption, int x, int width, int bytes);
    // The register button at (x, y) and the sign left of it; then what FinishLayout does.
    void AddSaveButton(int x, int y);
    // The window into the record, and the record into the window.
    virtual void StoreFields() = 0;
    virtual void ShowFields() = 0;

private:
    void ShowRecord();

    std::unique_ptr<TNameRegister> names_;
};

} // namespace tv
