#pragma once
// The window "サーバーへ移す": copies every table of this computer's data folder to a PostgreSQL
// server, all or nothing, and then offers to keep the data there from now on.
#include <QDialog>
#include <functional>
#include <utility>

class QAction;
class QLabel;
class QPushButton;

namespace tv {

class TServerBoxes;

class TfrmMoveToServer : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMoveToServer(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    TServerBoxes* ServerBoxes1 = nullptr;
    QPushButton* BitBtn1 = nullptr; // 移す
    QPushButton* BitBtn2 = nullptr; // 閉じる
    QAction* Help1 = nullptr;       // F1

    // True once the configuration was switched to the server.
    bool SwitchedToServer() const { return switched_; }
    // Asked before the copy is made (unsaved readings are saved first); false stops it.
    void SetBeforeCopy(std::function<bool()> beforeCopy) { beforeCopy_ = std::move(beforeCopy); }

    void BitBtn1Click();

private:
    bool switched_ = false;
    std::function<bool()> beforeCopy_;
};

} // namespace tv
