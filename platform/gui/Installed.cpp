#include "platform/gui/Installed.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

namespace tv {

QStringList InstalledFolders() {
    const QString program = QCoreApplication::applicationDirPath();
    QStringList folders{program};
    const QString shared = QDir::cleanPath(program + QStringLiteral("/../share/ptavelon"));
    if (QFileInfo(shared).isDir())
        folders << shared;
    return folders;
}

QString FindInstalledFile(const QString& relativePath) {
    for (const QString& folder : InstalledFolders()) {
        QString file = QDir(folder).filePath(relativePath);
        if (QFileInfo(file).isFile())
            return file;
    }
    return QString();
}

QString InstallQtTranslation() {
    static QTranslator* installed = nullptr;
    if (installed)
        return installed->filePath();
    const QString name = QStringLiteral("qtbase_ja.qm");
    QString file = FindInstalledFile(QStringLiteral("translations/") + name);
    if (file.isEmpty()) {
        const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        if (QFileInfo(QDir(qtFolder).filePath(name)).isFile())
            file = QDir(qtFolder).filePath(name);
    }
    if (file.isEmpty())
        return QString();
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(file) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return QString();
    }
    installed = translator;
    return file;
}

} // namespace tv
