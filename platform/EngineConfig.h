#pragma once
// The table engine's persistent configuration: database names and their parameters ("Path"),
// kept in the INI file engine.ini under $XDG_CONFIG_HOME/kestran/ (the user's configuration
// folder on other systems).
#include <QString>

namespace tv {

// Full path of the configuration file.
QString EngineConfigFile();

// The parameter of a database name (both names matched without regard to case). Raises
// EngineError when the database name is not configured.
QString DatabaseParam(const QString& databaseName, const QString& param);

// The "Path" of a database name: its data folder. Raises EngineError when the configuration
// cannot be read (naming the file and the line), lacks the name, or the path is empty or not
// absolute.
QString DatabasePath(const QString& databaseName);
bool IsAbsoluteFolder(const QString& path);

// The "Server" of a database name: a libpq connection string or URI when its tables live in a
// PostgreSQL database (then "Path" is not used for data), else empty.
QString DatabaseServer(const QString& databaseName);

// The message of DatabasePath's failure, or empty when the data folder can be used.
QString EngineConfigProblem(const QString& databaseName);

// Stores a parameter of a database name, creating the entry when missing; false when the
// configuration cannot be written.
bool SetDatabaseParam(const QString& databaseName, const QString& param, const QString& value);

// The first start: when the configuration file is missing, creates it with the entry "kestran"
// and the default data folder (the "kestran" folder under $XDG_DATA_HOME) and creates that
// folder, as an installer would. An existing file is never written here.
void EnsureDefaultDatabase();
QString DefaultDataFolder();

} // namespace tv
