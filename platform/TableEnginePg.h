#pragma once
// The server engine behind platform/TableEngine.h: the same tables in one PostgreSQL database,
// reached through libpq.
//
// - A table is a table of the connection's current schema, its name and its columns unquoted
//   lower-case identifiers, so names match without regard to case as in the folder.
// - Text columns are VARCHAR(size) with the "C" collation (sorted by code point, as SQLite's
//   binary order of UTF-8 text). The size in code-page-932 bytes is checked by the engine before
//   a statement is sent: every INSERT or UPDATE column given a parameter is checked against the
//   sizes read from the catalogue, with the messages of the folder engine. The columns' own
//   spelling is kept as the column comment, so the messages name them as the folder does.
// - Statements keep the ":Name" parameters of the folder engine; they are sent as $1, $2, ... in
//   the order of first occurrence, as text the server converts to the column's type.
// - One connection per connection string and process. A transaction also takes the database's
//   writer lock (an advisory lock), so writers follow each other as on the folder, and reading
//   Max(ID) inside one hands out every ID once.
// - A connection lost in the middle of a transaction leaves it broken: the server rolled it back,
//   its commit fails saying so, and the next operation after it connects again.
#include "platform/TableEngine.h"
#include "platform/TableEngineInternal.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct pg_conn;

namespace tv::engine {

// True for a connection string ("host=... dbname=...") or a postgresql:// / postgres:// URI.
bool IsServerAddress(const QString& text);
// The server of a database name (its "Server" in the engine configuration) or of an address
// given as such; empty when the tables live in a folder.
QString ServerOf(const QString& databaseName);

struct PgConnection {
    QString server;
    pg_conn* conn = nullptr;
    int txDepth = 0;
    bool txBroken = false;
    QString brokenReason;
    struct Prepared {
        std::string name;
        QStringList columns; // the result's column names as the folder engine gives them
        bool named = false;
    };
    std::map<QString, Prepared> prepared; // statement text -> prepared statement
    int nextStatement = 0;
    struct Column {
        QString spelling; // as the table was defined
        int size = 0;     // code-page-932 bytes of a text column, else 0
    };
    // lower-case table -> (lower-case column -> its definition)
    QHash<QString, QHash<QString, Column>> columns;

    PgConnection() = default;
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;
    ~PgConnection() { Close(); }
    void Close();
    bool Lost() const;
};

// The connection of the server, connected (again) when it has none or lost it outside a
// transaction. Raises EngineError with the reason it cannot connect.
std::shared_ptr<PgConnection> PgConnect(const QString& server);
void PgCloseAll();

struct PgRows {
    QStringList columns;
    std::vector<QVariant> values; // row-major
    int rows = 0;
};

// Runs one statement with its parameters (values in the order of parsed.params).
void PgRun(PgConnection& c, const QString& sql, const ParsedSql& parsed,
           const std::vector<QVariant>& values, bool wantRows, PgRows* out);
void PgExec(PgConnection& c, const QString& sql);

bool PgTableExists(const QString& server, const QString& table);
void PgCreateTable(const QString& server, const QString& table, const std::vector<FieldDef>& fields,
                   const std::vector<QStringList>& indexes);
void PgUpgradeTable(const QString& server, const QString& table,
                    const std::vector<FieldDef>& fields, const std::vector<QStringList>& indexes);

// Begins a transaction (or a savepoint inside one); returns its level.
int PgBegin(PgConnection& c);
void PgFinish(PgConnection& c, int level, bool commit);

} // namespace tv::engine
