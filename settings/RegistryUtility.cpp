#include "settings/RegistryUtility.h"

#include "platform/Errors.h"

#include <QDir>
#include <QMetaType>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>
#include <memory>

namespace tv {
namespace {

// The per-user store. On Windows the registry key HKEY_CURRENT_USER\Software\kestran; elsewhere
// the INI file kestran/kestran.ini in the user's configuration folder. The file path is worked out
// on every call (QSettings' own user-scope path is fixed at its first use in the process), so a
// changed configuration folder takes effect at once.
std::unique_ptr<QSettings> OpenStore() {
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\kestran"),
                                       QSettings::NativeFormat);
#else
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return std::make_unique<QSettings>(QDir(folder).filePath(QStringLiteral("kestran/kestran.ini")),
                                       QSettings::IniFormat);
#endif
}

} // namespace

QString ReadSetting(const QString& name) {
    auto store = OpenStore();
    if (store->status() != QSettings::NoError)
        return QString();
    const QVariant value = store->value(name);
    if (!value.isValid())
        return QString();
    // Only text values count. INI values are text by nature, so a number typed by hand reads as
    // its text; what the INI reader turns into a list ("a, b") or another type ("@Rect(...)",
    // "@ByteArray(...)"), and registry values of a type other than REG_SZ/REG_EXPAND_SZ, do not.
    if (value.metaType().id() != QMetaType::QString)
        throw TError(QStringLiteral("'%1' のデータ型が不正です").arg(name));
    return value.toString();
}

void WriteSetting(const QString& name, const QString& value) {
    auto store = OpenStore();
    store->setValue(name, value);
    store->sync();
    if (store->status() != QSettings::NoError)
        throw TError(QStringLiteral("設定 '%1' を保存できませんでした").arg(name));
}

} // namespace tv
