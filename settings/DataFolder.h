#pragma once
// The data folder of a database name: the "Path" of its entry in the engine configuration.
#include <QString>

namespace tv {

// The folder, always ending in the directory separator. Raises EngineError for a database name
// that is not configured.
QString GetDataFolder(const QString& databaseName);

// Stores the folder text unchanged as the new "Path" and lets go of the engine's open tables, so
// the next operation works on the new folder. Shows "Failed" when the configuration cannot be
// written, and returns normally.
void SetDataFolder(const QString& databaseName, const QString& folder);

} // namespace tv
