#pragma once
// Files the program brings with it (help pages, Qt's Japanese translation): beside the program
// when it runs from its build or program folder, under share/ptavelon when it is installed.
#include <QString>
#include <QStringList>

namespace tv {

// The folders searched, in order: the program's folder, then <prefix>/share/ptavelon for a
// program in <prefix>/bin.
QStringList InstalledFolders();

// The first existing file of that relative path in the folders above, or an empty text.
QString FindInstalledFile(const QString& relativePath);

// Loads Qt's Japanese translation (qtbase_ja.qm) for Qt's own dialogs and buttons, from the
// program's folders (translations/) or Qt's translations folder. Returns the file loaded, or an
// empty text when none was found.
QString InstallQtTranslation();

} // namespace tv
