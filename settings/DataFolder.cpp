#include "settings/DataFolder.h"

#include "platform/EngineConfig.h"
#include "platform/Messages.h"
#include "platform/TableEngine.h"

#include <QDir>

namespace tv {

QString GetDataFolder(const QString& databaseName) {
    QString path = DatabaseParam(databaseName, QStringLiteral("Path"));
    const QChar sep = QDir::separator();
    if (path.isEmpty() || (path.back() != sep && path.back() != QLatin1Char('/')))
        path += sep;
    return path;
}

void SetDataFolder(const QString& databaseName, const QString& folder) {
    CloseAllConnections();
    if (!SetDatabaseParam(databaseName, QStringLiteral("Path"), folder))
        ShowMessage(QStringLiteral("Failed"));
}

} // namespace tv
