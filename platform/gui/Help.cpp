#include "platform/gui/Help.h"

#include "platform/Messages.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Installed.h"

#include <QAction>
#include <QDir>
#include <QWidget>

namespace tv {

QStringList HelpTopics() {
    QStringList topics;
    for (int i = 1; i <= 12; ++i)
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
    if (!Dialogs().OpenHelpPage(file))
        ShowMessage(
            QStringLiteral("ヘルプを開けませんでした。ブラウザで次のファイルを開いてください。\n%1")
                .arg(QDir::toNativeSeparators(file)));
}

QAction* AddHelpKey(QWidget* window, const QString& topic) {
    auto* help = new QAction(QStringLiteral("ヘルプ"), window);
    help->setObjectName(QStringLiteral("Help1"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::WindowShortcut);
    window->addAction(help);
    QObject::connect(help, &QAction::triggered, window, [topic] { ShowHelpTopic(topic); });
    return help;
}

} // namespace tv
