#pragma once
// Per-user string settings under "\Software\kestran" (the registry on Windows, an INI file in the
// user's configuration folder elsewhere).
#include <QString>

namespace tv {

// The value as text; empty when absent or unreadable. Raises TError "'%s' のデータ型が不正です"
// for a value that is not a string.
QString ReadSetting(const QString& name);
// Raises TError when the value cannot be stored (a read-only or damaged settings file), so the
// loss does not go unnoticed.
void WriteSetting(const QString& name, const QString& value);

} // namespace tv
