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
    // Why the existing file cannot be read (naming the file and the line), or empty.
    QString problem;
};

QString NativeConfigFile() {
    return QDir::toNativeSeparators(EngineConfigFile());
}

// Checks that every line of the file is a section, a key with its value, a comment or blank;
// the first line that is none of them is reported.
QString ReadProblem(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("設定ファイル %1 を読み込めません（%2）")
            .arg(QDir::toNativeSeparators(file), f.errorString());
    const QByteArray content = f.readAll();
    const QList<QByteArray> lines = content.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines.at(i)).trimmed();
        const bool ok = line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
                        line.startsWith(QLatin1Char('#')) ||
                        (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) ||
                        (line.contains(QLatin1Char('=')) && !line.startsWith(QLatin1Char('=')) &&
                         !lines.at(i).contains('\0'));
        if (!ok)
            return QStringLiteral("設定ファイル %1 の %2 行目を読めません: 「%3」")
                .arg(QDir::toNativeSeparators(file), QString::number(i + 1), line.left(80));
    }
    return QString();
}

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
    cache.problem.clear();
    if (exists) {
        cache.problem = ReadProblem(file);
        if (!cache.problem.isEmpty())
            return cache.databases;
        QSettings ini(file, QSettings::IniFormat);
        if (ini.status() != QSettings::NoError) {
            cache.problem = QStringLiteral("設定ファイル %1 を読めません（書式の誤り）")
                                .arg(QDir::toNativeSeparators(file));
            return cache.databases;
        }
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
    if (!Cache().problem.isEmpty())
        throw EngineError(Cache().problem);
    const auto db = databases.constFind(databaseName.trimmed().toLower());
    if (db == databases.constEnd())
        throw EngineError(
            QStringLiteral("データベース名 '%1' は登録されていません（設定ファイル %2）")
                .arg(databaseName, NativeConfigFile()));
    return db->value(param.toLower());
}

QString DatabasePath(const QString& databaseName) {
    QString path = DatabaseParam(databaseName, QStringLiteral("Path"));
    if (path.trimmed().isEmpty())
        throw EngineError(
            QStringLiteral(
                "データベース名 '%1' の Path（データフォルダ）が空です（設定ファイル %2）")
                .arg(databaseName, NativeConfigFile()));
    if (!IsAbsoluteFolder(path))
        throw EngineError(QStringLiteral("データベース名 '%1' の Path '%2' は絶対パスではありません"
                                         "（設定ファイル %3）")
                              .arg(databaseName, path, NativeConfigFile()));
    return path;
}

QString DatabaseServer(const QString& databaseName) {
    return DatabaseParam(databaseName, QStringLiteral("Server")).trimmed();
}

bool IsAbsoluteFolder(const QString& path) {
    return !path.trimmed().isEmpty() && QDir::isAbsolutePath(QDir::fromNativeSeparators(path));
}

QString EngineConfigProblem(const QString& databaseName) {
    try {
        if (!DatabaseServer(databaseName).isEmpty())
            return QString();
        DatabasePath(databaseName);
    } catch (const EngineError& e) {
        return e.Message();
    }
    return QString();
}

bool SetDatabaseParam(const QString& databaseName, const QString& param, const QString& value) {
    const QString file = EngineConfigFile();
    const QFileInfo info(file);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    if (info.exists() && !info.isWritable())
        return false;
    Invalidate();
    // The user chose to store a value in a file that cannot be read: it is kept beside as
    // "engine.ini.bak" and the file starts afresh.
    if (info.isFile() && !ReadProblem(file).isEmpty()) {
        const QString backup = file + QStringLiteral(".bak");
        QFile::remove(backup);
        if (!QFile::rename(file, backup))
            return false;
    }
    QSettings ini(file, QSettings::IniFormat);
    if (!ini.isWritable() || ini.status() != QSettings::NoError)
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
    // Only a missing file is a first start: an existing one, readable or not, is the user's.
    if (QFileInfo::exists(EngineConfigFile()))
        return;
    const QString folder = DefaultDataFolder();
    QDir().mkpath(folder);
    if (!SetDatabaseParam(QStringLiteral("kestran"), QStringLiteral("Path"), folder))
        throw EngineError(QStringLiteral("設定ファイル %1 に書き込めません")
                              .arg(QDir::toNativeSeparators(EngineConfigFile())));
}

} // namespace tv
