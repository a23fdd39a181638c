#include "platform/EngineConfig.h"

#include "platform/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSettings>
#include <QStandardPaths>
#include <sys/stat.h>

namespace tv {
namespace {

// The parsed file, kept while the file stays unchanged: every query resolves its database name,
// and reading the INI file for each of thousands of statements would dominate a save.
struct ConfigCache {
    QString file;
    qint64 modifiedNs = 0;
    qint64 size = -1;
    bool exists = false;
    // lower-case database name -> (lower-case parameter -> value)
    QHash<QString, QHash<QString, QString>> databases;
};

ConfigCache& Cache() {
    static ConfigCache cache;
    return cache;
}

void Invalidate() {
    Cache().size = -2;
}

const QHash<QString, QHash<QString, QString>>& Databases() {
    ConfigCache& cache = Cache();
    const QString file = EngineConfigFile();
    struct stat st;
    const bool exists = ::stat(QFile::encodeName(file).constData(), &st) == 0;
    const qint64 modifiedNs =
        exists ? qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec : 0;
    const qint64 size = exists ? qint64(st.st_size) : -1;
    if (cache.file == file && cache.exists == exists && cache.modifiedNs == modifiedNs &&
        cache.size == size)
        return cache.databases;
    cache.file = file;
    cache.exists = exists;
    cache.modifiedNs = modifiedNs;
    cache.size = size;
    cache.databases.clear();
    if (exists) {
        QSettings ini(file, QSettings::IniFormat);
        const QStringList groups = ini.childGroups();
        for (const QString& group : groups) {
            ini.beginGroup(group);
            QHash<QString, QString>& params = cache.databases[group.toLower()];
            const QStringList keys = ini.childKeys();
            for (const QString& key : keys) {
                const QString lower = key.toLower();
                if (!params.contains(lower))
                    params.insert(lower, ini.value(key).toString());
            }
            ini.endGroup();
        }
    }
    return cache.databases;
}

} // namespace

QString EngineConfigFile() {
    // Every query resolves its database through this file: the location is worked out again
    // only when the environment that decides it changes.
    static QByteArray lastConfigHome, lastHome;
    static QString file;
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    const QByteArray home = qgetenv("HOME");
    if (file.isEmpty() || configHome != lastConfigHome || home != lastHome) {
        lastConfigHome = configHome;
        lastHome = home;
        file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
               QStringLiteral("/kestran/engine.ini");
    }
    return file;
}

QString DatabaseParam(const QString& databaseName, const QString& param) {
    const auto& databases = Databases();
    const auto db = databases.constFind(databaseName.trimmed().toLower());
    if (db == databases.constEnd())
        throw EngineError(
            QStringLiteral("データベース名 '%1' は登録されていません（設定ファイル %2）")
                .arg(databaseName, QDir::toNativeSeparators(EngineConfigFile())));
    return db->value(param.toLower());
}

bool SetDatabaseParam(const QString& databaseName, const QString& param, const QString& value) {
    const QString file = EngineConfigFile();
    const QFileInfo info(file);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    if (info.exists() && !info.isWritable())
        return false;
    Invalidate();
    QSettings ini(file, QSettings::IniFormat);
    if (!ini.isWritable())
        return false;
    // Reuse the spelling of an existing section and key, whatever their case.
    QString group = databaseName;
    const QStringList groups = ini.childGroups();
    for (const QString& g : groups) {
        if (g.compare(databaseName, Qt::CaseInsensitive) == 0) {
            group = g;
            break;
        }
    }
    ini.beginGroup(group);
    QString key = param;
    const QStringList keys = ini.childKeys();
    for (const QString& k : keys) {
        if (k.compare(param, Qt::CaseInsensitive) == 0) {
            key = k;
            break;
        }
    }
    ini.setValue(key, value);
    ini.endGroup();
    ini.sync();
    const bool ok = ini.status() == QSettings::NoError;
    Invalidate();
    return ok;
}

QString DefaultDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/kestran/");
}

void EnsureDefaultDatabase() {
    const auto& databases = Databases();
    if (databases.contains(QStringLiteral("kestran")))
        return;
    const QString folder = DefaultDataFolder();
    QDir().mkpath(folder);
    if (!SetDatabaseParam(QStringLiteral("kestran"), QStringLiteral("Path"), folder))
        throw EngineError(QStringLiteral("設定ファイル %1 に書き込めません")
                              .arg(QDir::toNativeSeparators(EngineConfigFile())));
}

} // namespace tv
