#pragma once
// The folder browser of the settings window. Folder holds the folder chosen last and is where the
// next browse starts, as long as that folder still exists.
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace tv {

class TFolderDialog : public QObject {
    Q_OBJECT
public:
    explicit TFolderDialog(QWidget* owner = nullptr);

    QString Title = QStringLiteral("フォルダーの選択");
    QString Folder;

    // Shows the browser; true when the user chose a folder with OK (Folder then holds it).
    bool Execute();

    // The browser itself: given the owner window, the title and the starting folder (empty for
    // the default), the chosen folder or nothing on Cancel. Replaceable, for tests.
    using TBrowse = std::function<std::optional<QString>(QWidget* owner, const QString& title,
                                                         const QString& start)>;
    TBrowse Browse;

private:
    QWidget* owner_;
};

} // namespace tv
