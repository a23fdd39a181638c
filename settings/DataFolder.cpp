#include "settings/DataFolder.h"

#include "platform/EngineConfig.h"
#include "platform/Messages.h"
#include "platform/TableEngine.h"

#include <QDir>

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

} // namespace tv
