#pragma once
// The table engine: local tables in a data folder, one SQLite file "<Table>.DB" per table, reached
// through a database name (its folder is the "Path" of the name in the engine configuration) or
// through the folder path itself. Names of tables, files and columns match without regard to case.
//
// A query is short-lived: create it, add its SQL line by line, set its parameters, Open() or
// ExecSQL(), read the rows, destroy it. Every failure raises tv::EngineError with a message the
// user can read.
#include "platform/Errors.h"

#include <QDate>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tv {

enum class FieldType { String, Integer, Boolean, Double, Date };

struct FieldDef {
    QString name;
    FieldType type;
    int size = 0; // bytes of code-page-932 text, strings only
};

// Resolves a database name ("kestran", any case) or a folder path to the data folder, ending in
// the directory separator. Raises EngineError for an unknown database name.
QString ResolveDatabaseFolder(const QString& databaseName);

// True when the database holds the table (a table file "<table>.DB" in a folder, matched without
// regard to case; a table of the server's database).
bool TableExists(const QString& databaseName, const QString& table);

// True when the database name's tables live on a server ("Server" in the engine configuration),
// or when the name is itself a server address (a libpq connection string or a postgresql:// URI).
bool IsServerDatabase(const QString& databaseName);

// The password for a server, kept in memory for this run only (never written anywhere).
void SetServerPassword(const QString& server, const QString& password);
// Asked for the password of a server when the server wants one that neither ~/.pgpass nor the
// environment gives, or rejected the one given: `failure` is empty the first time and says why
// the last one was refused after that. The password typed (kept in memory for the run), or
// nothing when the user gives up. The windows install one; the command line has none and relies
// on libpq's own ways.
using TPasswordPrompt =
    std::function<std::optional<QString>(const QString& server, const QString& failure)>;
void SetServerPasswordPrompt(TPasswordPrompt prompt);

// The settings of a server address (URI or keyword form), by libpq's keyword ("host", "port",
// "dbname", "user", "sslmode", ...), those given only; nothing, with libpq's reason in `error`,
// when the address cannot be read.
std::optional<QMap<QString, QString>> SplitServerAddress(const QString& server,
                                                         QString* error = nullptr);
// The address in keyword form ("host=db port=5432 dbname=heitan user=sato ..."), empty values
// left out, a password never written.
QString JoinServerAddress(const QMap<QString, QString>& fields);

// Connects to the server and, with `toCreateTables`, checks that tables can be created there; the
// message of what is wrong (host, password, database, rights), or empty when all is well.
QString ServerConnectionProblem(const QString& server, bool toCreateTables = true);

// The longest data folder path (in bytes, with its final separator) the engine takes: SQLite
// opens paths of at most 511 bytes, and the folder leaves room for the longest name of the
// files the engine keeps in it.
constexpr int kMaxDataFolderBytes = 471;
// Why the folder cannot be a data folder because its path is too long, stating the limit;
// empty when it is short enough.
QString DataFolderPathProblem(const QString& folder);

// True when the file exists, its name matched without regard to case ("Simei.DB" finds "SIMEI.DB").
bool FileExistsNoCase(const QString& path);

// Creates the table as the file "<tableName>.DB" in the folder of the database with the fields in
// this order. Raises EngineError when it cannot.
// `indexes` lists the column sets the engine keeps indexed inside the file, so lookups by them
// stay fast however many rows the table holds; they change no result and no column order.
void CreateTable(const QString& databaseName, const QString& tableName,
                 const std::vector<FieldDef>& fields, const std::vector<QStringList>& indexes = {});

// Brings an existing table file up to its definition the first time it is seen: text columns
// declared smaller than `fields` gives them are widened in place (every row is kept, nothing else
// in the file changes) and missing indexes are built. Does nothing inside a transaction. Raises
// EngineError when the file needs a change and cannot be changed.
void UpgradeTable(const QString& databaseName, const QString& tableName,
                  const std::vector<FieldDef>& fields,
                  const std::vector<QStringList>& indexes = {});

class TQuery;

// A parameter of a query, numbered from 0 in order of first occurrence of its name.
class TParam {
public:
    QString Name() const { return name_; }
    void SetAsString(const QString& v) {
        value_ = v;
        set_ = true;
    }
    void SetAsInteger(int v) {
        value_ = v;
        set_ = true;
    }
    void SetAsFloat(double v) {
        value_ = v;
        set_ = true;
    }
    void SetAsBoolean(bool v) {
        value_ = v;
        set_ = true;
    }
    void SetAsDate(const QDate& v) {
        value_ = v;
        set_ = true;
    }
    void SetNull() {
        value_ = QVariant();
        set_ = true;
    } // stores a null
    // A value of one of the types above (QString, int, double, bool, QDate) as it stands; a
    // null QVariant stores a null.
    void SetValue(const QVariant& v) {
        value_ = v;
        set_ = true;
    }
    void Clear() {
        value_ = QVariant();
        set_ = false;
    }
    bool IsSet() const { return set_; }
    const QVariant& Value() const { return value_; }

private:
    friend class TQuery;
    QString name_;
    QVariant value_;
    bool set_ = false;
};

// A field of the current row. A null reads as empty, 0 or false (an invalid date).
class TField {
public:
    QString Name() const { return name_; }
    bool IsNull() const { return value_.isNull(); }
    QString AsString() const;
    int AsInteger() const; // raises EConvertError for text that is not a whole number
    double AsFloat() const;
    bool AsBoolean() const;
    QDate AsDate() const;
    // The value read as a column of that type (QString, int, bool, double or QDate, as the As...
    // reads give them); a null QVariant for a null.
    QVariant AsType(FieldType type) const;

private:
    friend class TQuery;
    QString name_;
    QVariant value_;
};

class TQuery {
public:
    // databaseName: "kestran" in any case, or a data folder path (ending in a separator or not).
    explicit TQuery(const QString& databaseName);
    ~TQuery();
    TQuery(const TQuery&) = delete;
    TQuery& operator=(const TQuery&) = delete;

    // SQL text, line by line (joined by line breaks). Changing the SQL closes the query and
    // rebuilds the parameter list; values already set for names that remain are kept.
    void AddSQL(const QString& line);
    void ClearSQL();
    QString SQLText() const;

    int ParamCount() const;
    TParam& Params(int index);                // raises EngineError when out of range
    TParam& ParamByName(const QString& name); // first match, any case; raises when missing

    void Open();    // runs a statement that returns rows; positions on the first row
    void ExecSQL(); // runs a statement that returns none
    void Close();
    bool Active() const;

    bool Eof() const; // true at once for an empty result and after moving past the last row
    void Next();
    int FieldCount() const;
    const TField& Fields(int index) const;                // by position in the current row
    const TField& FieldByName(const QString& name) const; // any case

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Groups the writes of several queries on one database so that they take effect together or not
// at all. Queries created on the same data folder while a transaction is active take part in it.
// Destroying an uncommitted transaction rolls it back.
//
// A transaction opens its tables when it begins. Given `tables`, it opens exactly those (a table
// file that cannot be opened fails here, with its cause); otherwise every table of the folder up
// to the engine's limit of ten. An inner transaction uses the tables of the outer one.
class TTransaction {
public:
    explicit TTransaction(const QString& databaseName);
    TTransaction(const QString& databaseName, const QStringList& tables);
    ~TTransaction();
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;
    void Commit();
    void Rollback();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Lets go of every connection the engine holds (used when the data folder changes).
void CloseAllConnections();
// Lets go of the connection of one data folder (a folder about to be moved or removed). Does
// nothing while a transaction is open on it.
void CloseConnection(const QString& folder);

} // namespace tv
