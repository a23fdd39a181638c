#pragma once
// The window "旧データの取り込み": brings the data folder of the earlier program (its Paradox
// tables) over into a new data folder. The old folder is read and every table shown with its row
// count or the reason it cannot be read; the import writes all tables or none, and then offers
// to make the new folder the data folder.
#include <QDialog>
#include <functional>
#include <memory>
#include <utility>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace tv {

class TFolderDialog;
class TParadoxImport;

// What a table of the program holds, in words ("測定", "工事", ...); other names unchanged.
QString TableCaption(const QString& table);

class TfrmImportParadox : public QDialog {
    Q_OBJECT
public:
    explicit TfrmImportParadox(QWidget* parent = nullptr);
    ~TfrmImportParadox() override;

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;       // the old data folder
    QPushButton* Button1 = nullptr;   // 参照 (old folder)
    QTreeWidget* ListView1 = nullptr; // table, rows, state
    QLabel* Label2 = nullptr;
    QLineEdit* Edit2 = nullptr;     // the destination folder
    QPushButton* Button2 = nullptr; // 参照 (destination)
    QLabel* Label3 = nullptr;       // what can be done now
    QPushButton* BitBtn1 = nullptr; // 取り込み
    QPushButton* BitBtn2 = nullptr; // 閉じる
    TFolderDialog* FolderDialog1 = nullptr;
    TFolderDialog* FolderDialog2 = nullptr;
    QAction* Help1 = nullptr; // F1

    // True once the imported folder was made the data folder.
    bool DataFolderChanged() const { return dataFolderChanged_; }
    // Asked just before the imported folder becomes the data folder; false keeps the old one.
    void SetBeforeSwitch(std::function<bool()> beforeSwitch) {
        beforeSwitch_ = std::move(beforeSwitch);
    }

    void Button1Click();
    void Edit1ReturnPressed(); // reads the folder typed
    void Button2Click();
    void BitBtn1Click();
    void BitBtn2Click();

private:
    void ReadSource();
    void ShowTables();

    std::unique_ptr<TParadoxImport> import_;
    bool dataFolderChanged_ = false;
    std::function<bool()> beforeSwitch_;
};

} // namespace tv
