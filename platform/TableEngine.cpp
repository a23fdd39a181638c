// The public face of the table engine: resolving a database name, creating tables, queries and
// transactions. How the tables are kept is described in platform/TableEngineInternal.h.
#include "platform/TableEngine.h"

#include "platform/EngineConfig.h"
#include "platform/TableEngineInternal.h"
#include "platform/TableEnginePg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cmath>

namespace tv {

using namespace engine;

// ---- public functions ----------------------------------------------------------------------

QString ResolveDatabaseFolder(const QString& databaseName) {
    QString path;
    if (databaseName.contains(QLatin1Char('/')) || databaseName.contains(QLatin1Char('\\'))) {
        path = databaseName;
    } else {
        // While a transaction is open on a database name, the name stays bound to its folder.
        const auto pin = PinnedNames().constFind(databaseName.toLower());
        if (pin != PinnedNames().constEnd())
            return pin->first;
        path = DatabasePath(databaseName);
    }
    if (!path.endsWith(QLatin1Char('/')) && !path.endsWith(QDir::separator()))
        path += QDir::separator();
    return path;
}

namespace {

// The server of a database name; empty when its tables live in a folder (also while a folder
// transaction holds the name bound to its folder).
QString ServerFor(const QString& databaseName) {
    if (!PinnedNames().isEmpty() && PinnedNames().contains(databaseName.toLower()))
        return QString();
    return ServerOf(databaseName);
}

void CheckDefinition(const QString& tableName, const std::vector<FieldDef>& fields) {
    if (!IsIdentifier(tableName))
        Fail(QStringLiteral("テーブル名 '%1' は使えません").arg(tableName));
    if (fields.empty())
        Fail(QStringLiteral("テーブル %1 に列がありません").arg(tableName));
    QSet<QString> seen;
    for (const FieldDef& f : fields) {
        if (!IsIdentifier(f.name))
            Fail(QStringLiteral("列名 '%1' は使えません").arg(f.name));
        if (seen.contains(f.name.toLower()))
            Fail(QStringLiteral("列名 %1 が重複しています").arg(f.name));
        seen.insert(f.name.toLower());
        if (f.type == FieldType::String && f.size <= 0)
            Fail(QStringLiteral("列 %1 の大きさが正しくありません").arg(f.name));
    }
}

} // namespace

bool IsServerDatabase(const QString& databaseName) {
    return !ServerFor(databaseName).isEmpty();
}

bool TableExists(const QString& databaseName, const QString& table) {
    const QString server = ServerFor(databaseName);
    if (!server.isEmpty())
        return PgTableExists(server, table);
    return FileExistsNoCase(ResolveDatabaseFolder(databaseName) + table + QStringLiteral(".DB"));
}

QString DataFolderPathProblem(const QString& folder) {
    QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    const qsizetype bytes = QFile::encodeName(path).size();
    if (bytes <= kMaxDataFolderBytes)
        return QString();
    return QStringLiteral(
               "フォルダ '%1' のパスは %2 バイトあり、長すぎます。データフォルダのパスは "
               "%3 バイトまでです")
        .arg(NativePath(folder), QString::number(bytes), QString::number(kMaxDataFolderBytes));
}

bool FileExistsNoCase(const QString& path) {
    const QFileInfo info(path);
    if (info.exists())
        return true;
    QString folder = info.path();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return !FindFileNoCase(folder, info.fileName()).isEmpty();
}

void CreateTable(const QString& databaseName, const QString& tableName,
                 const std::vector<FieldDef>& fields, const std::vector<QStringList>& indexes) {
    CheckDefinition(tableName, fields);
    const QString server = ServerFor(databaseName);
    if (!server.isEmpty()) {
        PgCreateTable(server, tableName, fields, indexes);
        return;
    }
    const QString folder = ResolveDatabaseFolder(databaseName);
    if (!QFileInfo(folder).isDir())
        Fail(QStringLiteral("データフォルダ %1 がありません").arg(NativePath(folder)));
    const QString fileName = tableName + QStringLiteral(".DB");
    // A table already there is left as it is when another program made it by the same
    // definitions (several programs starting on a new folder at once); any other is refused.
    const auto acceptExisting = [&] {
        const QString existing = FindFileNoCase(folder, fileName);
        if (existing.isEmpty())
            return false;
        if (!HoldsTable(existing, tableName, fields))
            Fail(QStringLiteral("テーブル %1 は既にあります").arg(tableName));
        return true;
    };
    if (acceptExisting())
        return;

    QStringList columns;
    for (const FieldDef& f : fields)
        columns << ColumnDeclaration(f);
    QString sql = QStringLiteral("CREATE TABLE %1 (%2)")
                      .arg(Quoted(tableName), columns.join(QStringLiteral(", ")));
    for (const QStringList& index : indexes)
        sql += QStringLiteral(";\n") + IndexSql(tableName, index);

    // Built under a temporary name of this process's own and renamed, so the folder never holds
    // a half-made table, also when several programs make the same table at once.
    const QString temp = folder + QLatin1Char('.') + fileName + QLatin1Char('.') +
                         QString::number(QCoreApplication::applicationPid()) +
                         QStringLiteral(".creating");
    QFile::remove(temp);
    QFile::remove(temp + QStringLiteral("-journal"));
    sqlite3* db = nullptr;
    int rc =
        OpenDatabase(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, &db);
    QString error;
    if (rc == SQLITE_OK) {
        RegisterFunctions(db);
        char* err = nullptr;
        rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err);
        if (rc != SQLITE_OK)
            error = QString::fromUtf8(err ? err : sqlite3_errmsg(db));
        sqlite3_free(err);
    } else {
        error = QString::fromUtf8(db ? sqlite3_errmsg(db) : "");
    }
    sqlite3_close_v2(db);
    if (rc != SQLITE_OK) {
        QFile::remove(temp);
        const QString mapped = EngineFailure(NativePath(folder + fileName), rc, error, temp);
        if (!mapped.isEmpty())
            Fail(QStringLiteral("テーブル %1 を作成できません: %2").arg(tableName, mapped));
        Fail(QStringLiteral("テーブル %1 を作成できません（%2）: %3")
                 .arg(tableName, NativePath(folder), error));
    }
    if (!QFile::rename(temp, folder + fileName)) {
        QFile::remove(temp);
        // The rename never replaces a file: another program may have made the table meanwhile.
        if (acceptExisting())
            return;
        Fail(QStringLiteral("テーブル %1 を作成できません: %2 に書き込めません")
                 .arg(tableName, NativePath(folder + fileName)));
    }
}

void CloseAllConnections() {
    auto& connections = Connections();
    for (auto& entry : connections)
        entry.second->Close();
    connections.clear();
    PinnedNames().clear();
    PgCloseAll();
    ++PinGeneration();
}

void CloseConnection(const QString& folder) {
    auto& connections = Connections();
    const auto it = connections.find(FolderKey(folder));
    if (it == connections.end() || it->second->txDepth > 0)
        return;
    it->second->Close();
    connections.erase(it);
}

// ---- TField --------------------------------------------------------------------------------

QString TField::AsString() const {
    switch (value_.typeId()) {
    case QMetaType::Double:
        return QString::number(value_.toDouble(), 'g', 15);
    case QMetaType::QByteArray:
        return QString::fromUtf8(value_.toByteArray());
    default:
        return value_.toString();
    }
}

int TField::AsInteger() const {
    switch (value_.typeId()) {
    case QMetaType::UnknownType:
        return 0;
    case QMetaType::LongLong:
        return static_cast<int>(value_.toLongLong());
    case QMetaType::Double:
        return static_cast<int>(std::trunc(value_.toDouble()));
    default: {
        const QString text = AsString().trimmed();
        if (text.isEmpty())
            return 0;
        bool ok = false;
        const int v = text.toInt(&ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' は整数ではありません").arg(AsString()));
        return v;
    }
    }
}

double TField::AsFloat() const {
    switch (value_.typeId()) {
    case QMetaType::UnknownType:
        return 0;
    case QMetaType::LongLong:
        return static_cast<double>(value_.toLongLong());
    case QMetaType::Double:
        return value_.toDouble();
    default: {
        const QString text = AsString().trimmed();
        if (text.isEmpty())
            return 0;
        bool ok = false;
        const double v = text.toDouble(&ok);
        if (!ok)
            throw EConvertError(
                QStringLiteral("'%1' は浮動小数点数ではありません").arg(AsString()));
        return v;
    }
    }
}

bool TField::AsBoolean() const {
    switch (value_.typeId()) {
    case QMetaType::UnknownType:
        return false;
    case QMetaType::LongLong:
        return value_.toLongLong() != 0;
    case QMetaType::Double:
        return value_.toDouble() != 0;
    default: {
        const QString text = AsString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
            text == QLatin1String("1"))
            return true;
        if (text.isEmpty() || text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 ||
            text == QLatin1String("0"))
            return false;
        throw EConvertError(QStringLiteral("'%1' は真偽値ではありません").arg(AsString()));
    }
    }
}

QDate TField::AsDate() const {
    if (value_.isNull())
        return QDate();
    const QString text = AsString().trimmed();
    if (text.isEmpty())
        return QDate();
    const QDate d = QDate::fromString(text.left(10), Qt::ISODate);
    if (!d.isValid())
        throw EConvertError(QStringLiteral("'%1' は日付ではありません").arg(AsString()));
    return d;
}

QVariant TField::AsType(FieldType type) const {
    if (IsNull())
        return QVariant();
    switch (type) {
    case FieldType::String:
        return AsString();
    case FieldType::Integer:
        return AsInteger();
    case FieldType::Boolean:
        return AsBoolean();
    case FieldType::Double:
        return AsFloat();
    case FieldType::Date:
        return AsDate();
    }
    return QVariant();
}

// ---- TQuery --------------------------------------------------------------------------------

struct TQuery::Impl {
    QString database;
    QStringList lines;
    QString sql;
    std::shared_ptr<const ParsedSql> parsed;
    std::vector<TParam> params;
    // The result, read whole when opened so that no statement stays open between operations.
    QStringList columnNames;
    std::vector<QVariant> values; // row-major
    int rowCount = 0;
    int current = 0;
    bool active = false;
    std::vector<TField> fields;
    TField nullField;

    void Rebuild(TQuery& q) {
        q.Close();
        sql = lines.join(QLatin1Char('\n'));
        parsed = ParseCached(sql);
        std::vector<TParam> old = std::move(params);
        params.clear();
        params.reserve(static_cast<size_t>(parsed->params.size()));
        for (const QString& name : parsed->params) {
            TParam p;
            p.name_ = name;
            for (const TParam& o : old) {
                if (o.name_.compare(name, Qt::CaseInsensitive) == 0) {
                    p.value_ = o.value_;
                    p.set_ = o.set_;
                    break;
                }
            }
            params.push_back(std::move(p));
        }
    }

    void LoadFields() {
        for (size_t i = 0; i < fields.size(); ++i)
            fields[i].value_ = current < rowCount
                                   ? values[static_cast<size_t>(current) * fields.size() + i]
                                   : QVariant();
    }

    // Runs the statement; collects the rows when `wantRows` is set.
    void Run(bool wantRows);

private:
    void CheckReady() const;
    Statement& Prepared(Connection& conn);
    void Bind(const Statement& s);
    void Collect(Connection& conn, sqlite3_stmt* st, bool wantRows);
};

void TQuery::Impl::CheckReady() const {
    if (sql.trimmed().isEmpty())
        Fail(QStringLiteral("SQL 文がありません"));
    for (const TParam& p : params)
        if (!p.set_)
            Fail(QStringLiteral("パラメータ '%1' に値が設定されていません").arg(p.name_));
}

// The connection's compiled statement of this text, compiled now when it has none.
Statement& TQuery::Impl::Prepared(Connection& conn) {
    auto it = conn.statements.find(sql);
    if (it != conn.statements.end())
        return it->second;
    if (conn.statements.size() >= static_cast<size_t>(kStatementCacheSize))
        conn.ClearStatements();
    Statement s;
    s.stmt = TStatement(conn.db, sql, SQLITE_PREPARE_PERSISTENT);
    if (!s.stmt.Prepared()) {
        if (s.stmt.PrepareResult() == SQLITE_OK)
            Fail(QStringLiteral("SQL 文がありません"));
        const QString msg = conn.ErrorText();
        const QString noTable = QStringLiteral("no such table: ");
        if (msg.startsWith(noTable)) {
            QString table = msg.mid(noTable.size());
            const int dot = table.indexOf(QLatin1Char('.'));
            if (dot >= 0)
                table = table.mid(dot + 1);
            Fail(QStringLiteral("テーブル %1 が見つかりません（データフォルダ %2）")
                     .arg(table, NativePath(conn.folder)));
        }
        Fail(QStringLiteral("SQL エラー: %1\n%2").arg(msg, sql));
    }
    if (!s.stmt.Rest().isEmpty())
        Fail(QStringLiteral("SQL 文は一度に一つだけ実行できます\n%1").arg(sql));
    // SQLite numbers the parameters its own way: map each to the parsed list.
    const int count = sqlite3_bind_parameter_count(s.stmt.Get());
    for (int i = 1; i <= count; ++i) {
        const char* raw = sqlite3_bind_parameter_name(s.stmt.Get(), i);
        const QString name = raw ? QString::fromUtf8(raw + 1) : QString();
        int index = -1;
        for (int k = 0; k < parsed->params.size() && index < 0; ++k)
            if (parsed->params.at(k).compare(name, Qt::CaseInsensitive) == 0)
                index = k;
        s.paramIndex.push_back(index);
    }
    return conn.statements.emplace(sql, std::move(s)).first->second;
}

void TQuery::Impl::Bind(const Statement& s) {
    sqlite3_stmt* st = s.stmt.Get();
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    for (size_t i = 0; i < s.paramIndex.size(); ++i)
        if (s.paramIndex[i] >= 0)
            BindValue(st, static_cast<int>(i) + 1,
                      params[static_cast<size_t>(s.paramIndex[i])].value_);
}

// Steps the statement to its end, keeping the rows when they are wanted.
void TQuery::Impl::Collect(Connection& conn, sqlite3_stmt* st, bool wantRows) {
    const int columns = sqlite3_column_count(st);
    columnNames.clear();
    values.clear();
    rowCount = 0;
    if (wantRows) {
        values.reserve(static_cast<size_t>(columns) * 64);
        for (int c = 0; c < columns; ++c)
            columnNames << QString::fromUtf8(sqlite3_column_name(st, c));
    }
    FunctionError().clear();
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (!wantRows)
            continue;
        for (int c = 0; c < columns; ++c)
            values.push_back(ColumnValue(st, c));
        ++rowCount;
    }
    if (rc != SQLITE_DONE) {
        const QString message = SqlFailure(conn, rc, sql);
        sqlite3_reset(st);
        FunctionError().clear();
        NoteFailure(conn, rc);
        values.clear();
        rowCount = 0;
        Fail(message);
    }
    sqlite3_reset(st);
}

void TQuery::Impl::Run(bool wantRows) {
    CheckReady();
    const QString server = ServerFor(database);
    if (!server.isEmpty()) {
        std::shared_ptr<PgConnection> conn = PgConnect(server);
        std::vector<QVariant> bound;
        bound.reserve(params.size());
        for (const TParam& p : params)
            bound.push_back(p.value_);
        PgRows rows;
        PgRun(*conn, sql, *parsed, bound, wantRows, &rows);
        columnNames = std::move(rows.columns);
        values = std::move(rows.values);
        rowCount = rows.rows;
        return;
    }
    const QString folder = ResolveDatabaseFolder(database);
    std::shared_ptr<Connection> conn = GetConnection(folder);
    CheckUsable(*conn);
    conn->EnsureTables(parsed->tableRefs);
    Statement& s = Prepared(*conn);
    Bind(s);
    Collect(*conn, s.stmt.Get(), wantRows);
}

TQuery::TQuery(const QString& databaseName) : d(std::make_unique<Impl>()) {
    d->database = databaseName;
    d->parsed = ParseCached(QString());
}

TQuery::~TQuery() = default;

void TQuery::AddSQL(const QString& line) {
    d->lines << line;
    d->Rebuild(*this);
}

void TQuery::ClearSQL() {
    d->lines.clear();
    d->Rebuild(*this);
}

QString TQuery::SQLText() const {
    return d->lines.join(QLatin1Char('\n'));
}

int TQuery::ParamCount() const {
    return static_cast<int>(d->params.size());
}

TParam& TQuery::Params(int index) {
    if (index < 0 || index >= ParamCount())
        Fail(QStringLiteral("パラメータ番号 %1 はありません（パラメータは %2 個です）")
                 .arg(index)
                 .arg(ParamCount()));
    return d->params[static_cast<size_t>(index)];
}

TParam& TQuery::ParamByName(const QString& name) {
    QString wanted = name;
    if (wanted.startsWith(QLatin1Char(':')))
        wanted.remove(0, 1);
    for (TParam& p : d->params)
        if (p.name_.compare(wanted, Qt::CaseInsensitive) == 0)
            return p;
    Fail(QStringLiteral("パラメータ '%1' はありません").arg(name));
}

void TQuery::Open() {
    Close();
    d->Run(true);
    d->fields.clear();
    for (const QString& name : std::as_const(d->columnNames)) {
        TField f;
        f.name_ = name;
        d->fields.push_back(f);
    }
    d->current = 0;
    d->active = true;
    d->LoadFields();
}

void TQuery::ExecSQL() {
    Close();
    d->Run(false);
}

void TQuery::Close() {
    d->active = false;
    d->fields.clear();
    d->values.clear();
    d->columnNames.clear();
    d->rowCount = 0;
    d->current = 0;
}

bool TQuery::Active() const {
    return d->active;
}

bool TQuery::Eof() const {
    return !d->active || d->current >= d->rowCount;
}

void TQuery::Next() {
    if (d->current < d->rowCount) {
        ++d->current;
        d->LoadFields();
    }
}

int TQuery::FieldCount() const {
    return static_cast<int>(d->fields.size());
}

const TField& TQuery::Fields(int index) const {
    if (index < 0 || index >= FieldCount())
        Fail(QStringLiteral("列番号 %1 はありません（列は %2 個です）")
                 .arg(index)
                 .arg(FieldCount()));
    return d->fields[static_cast<size_t>(index)];
}

const TField& TQuery::FieldByName(const QString& name) const {
    for (const TField& f : d->fields)
        if (f.name_.compare(name, Qt::CaseInsensitive) == 0)
            return f;
    Fail(QStringLiteral("列 %1 はありません").arg(name));
}

// ---- TTransaction --------------------------------------------------------------------------

struct TTransaction::Impl {
    std::shared_ptr<Connection> conn;
    std::shared_ptr<PgConnection> pg; // on a server instead of a folder
    QString pinned; // the database name bound to the folder while this transaction is open
    int pinGeneration = 0;

    void Unpin() {
        if (pinned.isEmpty() || pinGeneration != PinGeneration())
            return;
        auto it = PinnedNames().find(pinned);
        if (it != PinnedNames().end() && --it->second <= 0)
            PinnedNames().erase(it);
        pinned.clear();
    }
    int level = 0; // 1 for the outermost transaction of the connection
    bool done = false;

    void Finish(bool commit) {
        if (done)
            Fail(QStringLiteral("トランザクションは既に終わっています"));
        done = true;
        Unpin();
        if (pg) {
            PgFinish(*pg, level, commit);
            return;
        }
        Connection& c = *conn;
        if (!c.db) { // the connections were closed meanwhile: SQLite rolled back
            Fail(QStringLiteral("データフォルダが切り替わったため、書き込みは取り消されました"));
        }
        const bool broken = c.txBroken;
        {
            if (level == 1) {
                c.txDepth = 0;
                c.txBroken = false;
                if (broken || !commit) {
                    if (!sqlite3_get_autocommit(c.db))
                        sqlite3_exec(c.db, "ROLLBACK", nullptr, nullptr, nullptr);
                    if (broken && commit)
                        Fail(QStringLiteral("先の失敗でトランザクションが取り消されたため、"
                                            "書き込みは行われませんでした"));
                    return;
                }
                // A table file deleted or replaced (a backup renamed over it) since the
                // transaction began would take the commit with it: nothing is written instead.
                const QString replaced = c.ReplacedFile();
                if (!replaced.isEmpty()) {
                    sqlite3_exec(c.db, "ROLLBACK", nullptr, nullptr, nullptr);
                    Fail(ReplacedFileMessage(replaced));
                }
                const int rc = sqlite3_exec(c.db, "COMMIT", nullptr, nullptr, nullptr);
                if (rc != SQLITE_OK) {
                    const QString msg = SqlFailure(c, rc, QStringLiteral("COMMIT"));
                    if (!sqlite3_get_autocommit(c.db))
                        sqlite3_exec(c.db, "ROLLBACK", nullptr, nullptr, nullptr);
                    Fail(msg);
                }
            } else {
                c.txDepth = level - 1;
                if (broken) {
                    if (commit)
                        Fail(QStringLiteral("先の失敗でトランザクションが取り消されたため、"
                                            "書き込みは行われませんでした"));
                    return;
                }
                const QString sp = QStringLiteral("tv_sp%1").arg(level);
                if (!commit)
                    c.Exec(QStringLiteral("ROLLBACK TO ") + sp);
                c.Exec(QStringLiteral("RELEASE ") + sp);
            }
        }
    }
};

TTransaction::TTransaction(const QString& databaseName) : TTransaction(databaseName, {}) {}

TTransaction::TTransaction(const QString& databaseName, const QStringList& tables)
    : d(std::make_unique<Impl>()) {
    const QString server = ServerFor(databaseName);
    if (!server.isEmpty()) {
        // The server's transaction spans every table; it locks out other writers instead.
        d->pg = PgConnect(server);
        d->level = PgBegin(*d->pg);
        return;
    }
    const QString folder = ResolveDatabaseFolder(databaseName);
    d->conn = GetConnection(folder, true);
    Connection& c = *d->conn;
    CheckUsable(c);
    if (c.txDepth == 0) {
        c.attachFailures.clear();
        c.declared = tables;
        if (tables.isEmpty())
            c.AttachAll();
        else
            c.AttachDeclared(tables);
        // IMMEDIATE takes the write lock of every table at once, so no other program can slip
        // a change in between.
        c.Exec(QStringLiteral("BEGIN IMMEDIATE"));
        c.txBroken = false;
    } else {
        // An inner transaction works on what the outer one opened.
        for (const QString& table : tables) {
            if (c.attached.contains(table.toLower()) ||
                FindFileNoCase(c.folder, table + QStringLiteral(".DB")).isEmpty())
                continue;
            const QString failure = c.attachFailures.value(table.toLower());
            Fail(!failure.isEmpty()
                     ? failure
                     : QStringLiteral("テーブル %1 は外側のトランザクションで開かれていないため、"
                                      "使えません")
                           .arg(table));
        }
        c.Exec(QStringLiteral("SAVEPOINT tv_sp%1").arg(c.txDepth + 1));
    }
    d->level = ++c.txDepth;
    if (!databaseName.contains(QLatin1Char('/')) && !databaseName.contains(QLatin1Char('\\'))) {
        d->pinned = databaseName.toLower();
        d->pinGeneration = PinGeneration();
        auto& entry = PinnedNames()[d->pinned];
        entry.first = folder;
        ++entry.second;
    }
}

TTransaction::~TTransaction() {
    if (!d->done) {
        try {
            d->Finish(false);
        } catch (...) {
        }
    }
}

void TTransaction::Commit() {
    const int depth = d->pg ? d->pg->txDepth : d->conn->txDepth;
    if (!d->done && d->level != depth)
        Fail(QStringLiteral("内側のトランザクションが終わっていません"));
    d->Finish(true);
}

void TTransaction::Rollback() {
    if (d->done)
        return;
    d->Finish(false);
}

} // namespace tv
