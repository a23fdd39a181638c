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

// Stores a parameter of a database name, creating the entry when missing; false when the
// configuration cannot be written.
bool SetDatabaseParam(const QString& databaseName, const QString& param, const QString& value);

// The first start: when "kestran" has no entry, creates it with the default data folder
// (the "kestran" folder under $XDG_DATA_HOME) and creates that folder, as an installer would.
void EnsureDefaultDatabase();
QString DefaultDataFolder();

} // namespace tv
