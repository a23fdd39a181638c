#include "settings/gui/FolderDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace tv {
namespace {

std::optional<QString> BrowseWithFileDialog(QWidget* owner, const QString& title,
                                            const QString& start) {
    const QString chosen = QFileDialog::getExistingDirectory(
        owner, title, start.isEmpty() ? QDir::homePath() : start, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(chosen);
}

} // namespace

TFolderDialog::TFolderDialog(QWidget* owner)
    : QObject(owner), Browse(BrowseWithFileDialog), owner_(owner) {}

bool TFolderDialog::Execute() {
    // Start at the folder chosen last only while it still is a directory.
    const QString start = (!Folder.isEmpty() && QFileInfo(Folder).isDir()) ? Folder : QString();
    const std::optional<QString> chosen = Browse(owner_, Title, start);
    if (!chosen)
        return false;
    // An item without a file-system path leaves Folder as it was.
    if (!chosen->isEmpty())
        Folder = *chosen;
    return true;
}

} // namespace tv
