#include "platform/gui/Help.h"

#include "platform/Messages.h"
#include "platform/gui/Installed.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace tv {

namespace {
THelpOpener& Opener() {
    static THelpOpener opener;
    return opener;
}
} // namespace

THelpOpener SetHelpOpener(THelpOpener opener) {
    THelpOpener previous = std::move(Opener());
    Opener() = std::move(opener);
    return previous;
}

QStringList HelpTopics() {
    QStringList topics;
    for (int i = 1; i <= 8; ++i)
        topics << QStringLiteral("HID%1").arg(i, 8, 10, QLatin1Char('0'));
    return topics;
}

QString HelpPageFile(const QString& topic) {
    if (topic.isEmpty())
        return QString();
    return FindInstalledFile(QStringLiteral("help/") + topic + QStringLiteral(".html"));
}

void ShowHelpTopic(const QString& topic) {
    const QString file = HelpPageFile(topic);
    if (file.isEmpty()) {
        ShowMessage(
            QStringLiteral("この画面のヘルプが見つかりません。プログラムを入れ直してください。"));
        return;
    }
    const bool opened =
        Opener() ? Opener()(file) : QDesktopServices::openUrl(QUrl::fromLocalFile(file));
    if (!opened)
        ShowMessage(
            QStringLiteral("ヘルプを開けませんでした。ブラウザで次のファイルを開いてください。\n%1")
                .arg(QDir::toNativeSeparators(file)));
}

} // namespace tv
