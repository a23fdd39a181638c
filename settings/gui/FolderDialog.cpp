#include "settings/gui/FolderDialog.h"

#include "platform/gui/Dialogs.h"

#include <QFileInfo>
#include <QWidget>

namespace tv {

TFolderDialog::TFolderDialog(QWidget* owner) : QObject(owner), owner_(owner) {}

bool TFolderDialog::Execute() {
    // Start at the folder chosen last only while it still is a directory.
    const QString start = (!Folder.isEmpty() && QFileInfo(Folder).isDir()) ? Folder : QString();
    const std::optional<QString> chosen = Dialogs().PickFolder(owner_, Title, start);
    if (!chosen)
        return false;
    // An item without a file-system path leaves Folder as it was.
    if (!chosen->isEmpty())
        Folder = *chosen;
    return true;
}

} // namespace tv
