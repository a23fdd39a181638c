#pragma once
// The data folder of a database name: the "Path" of its entry in the engine configuration.
#include <QString>

namespace tv {

// The folder, always ending in the directory separator. Raises EngineError for a database name
// that is not configured, a configuration that cannot be read and an empty or relative path.
QString GetDataFolder(const QString& databaseName);

// Stores the folder text unchanged as the new "Path" and lets go of the engine's open tables, so
// the next operation works on the new folder. An empty or relative folder, or one whose path is
// too long for the engine, is refused with a message; "Failed" is shown when the configuration
// cannot be written. False when nothing was stored; it returns normally either way.
bool SetDataFolder(const QString& databaseName, const QString& folder);

// The notice shown once at start when the data folder lies on a network file system (NFS,
// SMB/CIFS and the like; on Windows a UNC path or a mapped network drive), where file locking is
// not to be trusted by several users at once; empty otherwise, and for a server.
QString NetworkFolderNotice(const QString& databaseName);

} // namespace tv
