#pragma once
// The folder browser of the settings window. Folder holds the folder chosen last and is where the
// next browse starts, as long as that folder still exists.
#include <QObject>
#include <QString>

class QWidget;

namespace tv {

class TFolderDialog : public QObject {
    Q_OBJECT
public:
    explicit TFolderDialog(QWidget* owner = nullptr);

    QString Title = QStringLiteral("フォルダーの選択");
    QString Folder;

    // Shows the browser (Dialogs().PickFolder); true when the user chose a folder with OK (Folder
    // then holds it).
    bool Execute();

private:
    QWidget* owner_;
};

} // namespace tv
