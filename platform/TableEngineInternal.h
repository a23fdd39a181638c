#pragma once
// The parts of the table engine behind platform/TableEngine.h, shared by its source files:
// - TableEngineSql.cpp: the SQL scanner (parameters and the tables a statement names);
// - TableEngineLimits.cpp: the code-page-932 size checks (the tv_fits function and its triggers);
// - TableEngineFiles.cpp: table files, their identity, the main file and its super-journals;
// - TableEngineConnection.cpp: the connection of a folder and its pool of attached tables;
// - TableEngine.cpp: the public functions and the query and transaction classes.
//
// How the engine keeps its tables:
// - Each table is its own SQLite file "<Table>.DB" holding one table of that name.
// - One connection per data folder is kept open between queries. The table files a statement
//   names are ATTACHed to it, so unqualified names resolve and one transaction can span several
//   tables. Once a transaction has been used on the folder, its main database is the small empty
//   file ".tavelon-engine.sqlite" in the data folder (SQLite puts the super-journal beside it).
//   A real main file (not an in-memory one) and rollback journals (not WAL) are what SQLite needs
//   for an atomic commit across several files, also when the process dies in the middle of it.
// - Text columns are declared VARCHAR(size), so the size is part of the table. When a table is
//   attached, the connection adds temporary triggers that pass every inserted or updated text
//   to tv_fits, which counts code-page-932 bytes and fails the statement (nothing of it is
//   written) when a text does not fit. The files themselves hold no reference to the function,
//   so the sqlite3 shell can read and check them (PRAGMA integrity_check).
#include "platform/Errors.h"
#include "platform/TableEngine.h"
#include "platform/TableEngineStatement.h"

#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <map>
#include <memory>
#include <sqlite3.h>
#include <sys/types.h>
#include <vector>

namespace tv::engine {

extern const QString kMainFileName;
constexpr int kMaxAttached = 10; // SQLite's compiled limit on Debian
constexpr int kStatementCacheSize = 64;
// How long a statement waits for another program's save to finish before it fails.
constexpr int kBusyTimeoutMs = 10000;
// The longest path SQLite opens (its Unix file layer's limit, in bytes).
constexpr int kMaxPathBytes = 512;

// Opens a database file (or ":memory:") the engine's way: extended result codes and the busy
// timeout are set before any statement runs, so even the first one waits for another program's
// save. Returns SQLite's result code; *db is set (and must be closed) whatever it is.
int OpenDatabase(const QString& path, int flags, sqlite3** db);

// The one reading of SQLite's failures for the user: `subject` (a file or "the tables of the
// data folder ...", already as shown) and the cause for a locked or busy file, a read-only file,
// no permission, a full disk, a file that cannot be opened, a damaged file, a file that is no
// database, and a path longer than SQLite takes. Empty for other failures (the caller says what
// it was doing). `path` is the file concerned when known, for the path length.
QString EngineFailure(const QString& subject, int rc, const QString& detail,
                      const QString& path = QString());
// The first file of the data folder that the engine needs to write and cannot (a journal left by
// another user, a read-only table, the folder itself); empty when there is none.
QString UnwritableEngineFile(const QString& folder);

QString NativePath(const QString& path);
[[noreturn]] void Fail(const QString& message);
QString Quoted(const QString& identifier);

// ---- SQL scanning (TableEngineSql.cpp) -----------------------------------------------------

struct ParsedSql {
    QStringList params;    // parameter names in order of first occurrence (any case counts once)
    QStringList tableRefs; // names after FROM, JOIN, INTO, UPDATE
    // An INSERT or UPDATE: the table written and the columns whose whole value is a parameter
    // (column, parameter name), so the server engine checks their texts before sending them.
    QString writeTable;
    std::vector<QPair<QString, QString>> columnParams;
};

bool IsWordChar(QChar c);
bool IsIdentifier(const QString& name);
ParsedSql ParseSql(const QString& sql);
// ParseSql, remembered for the texts seen last.
std::shared_ptr<const ParsedSql> ParseCached(const QString& sql);

// ---- code-page-932 limits (TableEngineLimits.cpp) ------------------------------------------

// The message of the last failure of tv_fits on this thread: the statement's error is then
// reported with it instead of SQLite's generic text.
QString& FunctionError();
// The message for a text that does not fit `size` code-page-932 bytes of `column` (or holds a
// character that code page lacks); empty when it fits.
QString TextLimitFailure(const QString& text, const QString& column, int size);
void RegisterFunctions(sqlite3* db);
// The CREATE TEMP TRIGGER statements that hold the texts of `table` in the attached `schema` to
// their declared sizes; none when the table has no text column.
QStringList TextLimitTriggers(sqlite3* db, const QString& schema, const QString& key);
QString TextLimitTriggerName(const QString& schema, bool insert);

// ---- table files (TableEngineFiles.cpp) ----------------------------------------------------

struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const FileId& o) const { return dev == o.dev && ino == o.ino; }
};

bool StatFile(const QString& path, FileId* id);
// The file of that name in the folder, matched without regard to case; empty when none.
QString FindFileNoCase(const QString& folder, const QString& fileName);
// Checks the first bytes of a table file; an empty result means it is an SQLite database.
QString ForeignFileReason(const QString& path);
// The declaration of a column in a table file ("Name" VARCHAR(8), ...).
QString ColumnDeclaration(const FieldDef& f);
// The engine's own name of an index over `columns`, and the statement that makes it.
QString IndexName(const QString& table, const QStringList& columns);
QString IndexSql(const QString& table, const QStringList& columns);
// True when the table file holds the table with the columns of `fields`: the table another
// program made by the same definitions.
bool HoldsTable(const QString& path, const QString& tableName, const std::vector<FieldDef>& fields);
// Opens the folder's main file for writing, or fails saying what to fix.
sqlite3* OpenMainFile(const QString& folder);
void RemoveStraySuperJournals(const QString& folder);

// ---- connections (TableEngineConnection.cpp) -----------------------------------------------

struct Statement {
    TStatement stmt;
    std::vector<int> paramIndex; // SQLite's index i+1 -> position in the parsed parameter list
};

struct Connection {
    QString folder; // ends in '/'
    sqlite3* db = nullptr;
    bool realMain = false;
    struct Attached {
        QString schema;
        QString file;
        FileId id;
        // Whether the folder still holds the attached file under its name.
        bool Current() const;
    };
    QHash<QString, Attached> attached; // lower-case table name -> attachment
    // Why a table file could not be attached when the transaction began (lower-case name ->
    // message), so a statement naming it reports the real cause.
    QHash<QString, QString> attachFailures;
    // The tables the open transaction declared; empty when it attached every table it could.
    QStringList declared;
    int txDepth = 0;
    bool txBroken = false;
    std::map<QString, Statement> statements;

    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { Close(); }

    void ClearStatements() { statements.clear(); }
    void Close();
    QString ErrorText() const { return QString::fromUtf8(sqlite3_errmsg(db)); }
    void Exec(const QString& sql);
    // Runs a statement of the engine's own whose failure changes nothing worth reporting.
    void ExecQuietly(const QString& sql);

    void Detach(const QString& key);
    // Attaches the table file after checking that it is one of our tables.
    void Attach(const QString& table, const QString& file, const FileId& id,
                const QStringList& keep = QStringList());
    // Makes sure the named tables that exist in the folder are attached and current.
    void EnsureTables(const QStringList& tables);
    // The first attached file that was deleted or replaced since it was attached; empty when
    // none.
    QString ReplacedFile() const;
    // Attaches every table file of the folder (before a transaction begins).
    void AttachAll();
    // Attaches exactly the declared tables (before a transaction begins).
    void AttachDeclared(const QStringList& tables);

private:
    void CheckHoldsTable(const QString& table, const QString& key, const QString& schema,
                         const QString& file);
    void AddTextLimits(const QString& key, const QString& schema, const QString& file);
    void UseRollbackJournal(const QString& schema);
    [[noreturn]] void FailTableNotOpen(const QString& table, const QString& file) const;
};

std::map<QString, std::shared_ptr<Connection>>& Connections();
QString FolderKey(const QString& folder);
// The connection of a folder. Plain statements need no main database of their own; a
// transaction does, and gets one the first time one begins.
std::shared_ptr<Connection> GetConnection(const QString& folder, bool forTransaction = false);
QString SqlFailure(Connection& conn, int rc, const QString& sql);
// Why a transaction writes nothing when one of its table files was replaced meanwhile.
QString ReplacedFileMessage(const QString& file);
void CheckUsable(Connection& conn);
void NoteFailure(Connection& conn, int rc);
QVariant ColumnValue(sqlite3_stmt* st, int i);
void BindValue(sqlite3_stmt* st, int index, const QVariant& v);

// Database names bound to the folder of an open transaction: name -> (folder, transactions).
QHash<QString, QPair<QString, int>>& PinnedNames();
// Raised by CloseAllConnections, which forgets every binding.
int& PinGeneration();

} // namespace tv::engine
