#include "platform/gui/Help.h"

#include "platform/Messages.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace tv {

QString HelpPageFile(const QString& topic) {
    if (topic.isEmpty())
        return QString();
    const QString file = QDir(QCoreApplication::applicationDirPath())
                             .filePath(QStringLiteral("help/") + topic + QStringLiteral(".html"));
    return QFileInfo(file).isFile() ? file : QString();
}

void ShowHelpTopic(const QString& topic) {
    const QString file = HelpPageFile(topic);
    if (file.isEmpty()) {
        ShowMessage(QStringLiteral("ヘルプ「%1」はインストールされていません。").arg(topic));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
        ShowMessage(QStringLiteral("ヘルプ「%1」を開けませんでした。\n%2")
                        .arg(topic, QDir::toNativeSeparators(file)));
}

} // namespace tv
