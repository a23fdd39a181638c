#include "settings/DataFolder.h"

#include "platform/EngineConfig.h"
#include "platform/Messages.h"
#include "platform/TableEngine.h"

#include <QDir>
#include <QFile>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/vfs.h>
#endif

namespace tv {

QString GetDataFolder(const QString& databaseName) {
    QString path = DatabasePath(databaseName);
    const QChar sep = QDir::separator();
    if (path.back() != sep && path.back() != QLatin1Char('/'))
        path += sep;
    return path;
}

bool SetDataFolder(const QString& databaseName, const QString& folder) {
    if (!IsAbsoluteFolder(folder)) {
        ShowMessage(QStringLiteral("データフォルダ '%1' は使えません。"
                                   "ルートから始まるフォルダのパスを指定してください。")
                        .arg(folder));
        return false;
    }
    const QString tooLong = DataFolderPathProblem(folder);
    if (!tooLong.isEmpty()) {
        ShowMessage(tooLong);
        return false;
    }
    CloseAllConnections();
    if (!SetDatabaseParam(databaseName, QStringLiteral("Path"), folder)) {
        ShowMessage(QStringLiteral("Failed"));
        return false;
    }
    return true;
}

namespace {

// True when the folder lies on a file system served over the network.
bool OnNetworkFileSystem(const QString& folder) {
#ifdef _WIN32
    const QString native = QDir::toNativeSeparators(folder);
    if (native.startsWith(QStringLiteral("\\\\")))
        return true;
    const std::wstring root = native.left(3).toStdWString();
    return GetDriveTypeW(root.c_str()) == DRIVE_REMOTE;
#else
    struct statfs fs {};
    if (::statfs(QFile::encodeName(folder).constData(), &fs) != 0)
        return false;
    // The magic numbers of linux/magic.h and the file systems' own headers.
    static const unsigned long network[] = {
        0x6969,     // NFS
        0x517B,     // SMB
        0xFF534D42, // CIFS
        0xFE534D42, // SMB2
        0x564C,     // NCP (NetWare)
        0x73757245, // Coda
        0x5346414F, // AFS
        0x6B414653, // kAFS
        0x00C36400, // Ceph
        0x01021997, // 9P
        0x47504653, // GPFS
        0x0BD00BD0, // Lustre
    };
    for (const unsigned long magic : network)
        if (static_cast<unsigned long>(fs.f_type) == magic)
            return true;
    return false;
#endif
}

} // namespace

QString NetworkFolderNotice(const QString& databaseName) {
    if (!DatabaseServer(databaseName).isEmpty() ||
        !OnNetworkFileSystem(GetDataFolder(databaseName)))
        return QString();
    return QStringLiteral("データフォルダがネットワーク上にあります。"
                          "複数の人で使うときはサーバー（PostgreSQL）をお使いください");
}

} // namespace tv
