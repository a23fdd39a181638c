#include "platform/gui/Installed.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

namespace tv {

namespace {

// Texts of Qt's file dialogs that its Japanese translation lacks (Qt 6 moved them to a context of
// their own): without these the type of a folder reads "Folder" among Japanese words. Asked
// before the shipped translation, and silent for every other text.
class TQtTextsJa final : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                      int /*n*/) const override {
        if (!context || !source || qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return QString();
        static const std::pair<const char*, const char16_t*> kTexts[] = {
            {"Folder", u"フォルダー"},   {"File", u"ファイル"},    {"Drive", u"ドライブ"},
            {"%1 File", u"%1 ファイル"}, {"Alias", u"エイリアス"}, {"Shortcut", u"ショートカット"}};
        for (const auto& [english, japanese] : kTexts)
            if (qstrcmp(source, english) == 0)
                return QString::fromUtf16(japanese);
        return QString();
    }
};

} // namespace

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
    QCoreApplication::installTranslator(new TQtTextsJa(QCoreApplication::instance()));
    return file;
}

} // namespace tv
