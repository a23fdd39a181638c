// The server engine: connections, statements, tables and transactions on PostgreSQL (libpq).
#include "platform/TableEnginePg.h"

#include "platform/EngineConfig.h"

#include <QDate>
#include <QRegularExpression>
#include <QSet>
#include <libpq-fe.h>

namespace tv::engine {
namespace {

// Type OIDs of the server's built-in types (pg_type.h).
constexpr Oid kBoolOid = 16;
constexpr Oid kInt8Oid = 20;
constexpr Oid kInt2Oid = 21;
constexpr Oid kInt4Oid = 23;
constexpr Oid kOidOid = 26;
constexpr Oid kFloat4Oid = 700;
constexpr Oid kFloat8Oid = 701;
constexpr Oid kNumericOid = 1700;

// The key of the writer lock of a schema (any number the program alone uses).
const char* const kWriterLock = "select pg_advisory_xact_lock(7414, hashtext(current_schema()))";

// The table named $1 in the current schema. Read from the catalogue table, not through the name
// cache (to_regclass): after waiting for the writers' lock the cache may not yet know a table
// another program has just made.
const char* const kTableOid =
    "(select c.oid from pg_class c where c.relname = $1 and c.relnamespace = "
    "(select n.oid from pg_namespace n where n.nspname = current_schema()))";

QHash<QString, QString>& Passwords() {
    static QHash<QString, QString> passwords;
    return passwords;
}

TPasswordPrompt& PasswordPrompt() {
    static TPasswordPrompt prompt;
    return prompt;
}

std::map<QString, std::shared_ptr<PgConnection>>& Pool() {
    static std::map<QString, std::shared_ptr<PgConnection>> pool;
    return pool;
}

QString ErrorText(pg_conn* conn) {
    return QString::fromUtf8(PQerrorMessage(conn)).trimmed();
}

// A result that frees itself.
class TResult {
public:
    explicit TResult(PGresult* r) : r_(r) {}
    ~TResult() { PQclear(r_); }
    TResult(const TResult&) = delete;
    TResult& operator=(const TResult&) = delete;
    PGresult* Get() const { return r_; }
    bool Ok() const {
        const ExecStatusType s = PQresultStatus(r_);
        return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
    }
    QString State() const {
        const char* state = PQresultErrorField(r_, PG_DIAG_SQLSTATE);
        return state ? QString::fromLatin1(state) : QString();
    }
    QString Message() const {
        const char* primary = PQresultErrorField(r_, PG_DIAG_MESSAGE_PRIMARY);
        return primary ? QString::fromUtf8(primary)
                       : QString::fromUtf8(PQresultErrorMessage(r_)).trimmed();
    }

private:
    PGresult* r_;
};

QString LostMessage(const PgConnection& c) {
    return c.txDepth > 0
               ? QStringLiteral("サーバーとの接続が切れたため、書き込みは取り消されました"
                                "（入力した内容はそのままです。次の操作で接続し直します）")
               : QStringLiteral("サーバーとの接続が切れました。次の操作で接続し直します");
}

// The message of a failed statement; marks the transaction broken, as the server has aborted it.
[[noreturn]] void FailStatement(PgConnection& c, const TResult& r, const QString& sql) {
    if (c.txDepth > 0)
        c.txBroken = true;
    if (c.Lost()) {
        c.brokenReason = LostMessage(c);
        Fail(c.brokenReason);
    }
    const QString state = r.State();
    const QString msg = r.Message();
    if (state == QLatin1String("42P01")) {
        static const QRegularExpression name(QStringLiteral("\"([^\"]+)\""));
        const QRegularExpressionMatch m = name.match(msg);
        QString table = m.hasMatch() ? m.captured(1) : msg;
        // Named as the statement spells it.
        const QRegularExpressionMatch written =
            QRegularExpression(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(table)),
                               QRegularExpression::CaseInsensitiveOption)
                .match(sql);
        if (written.hasMatch())
            table = written.captured();
        Fail(QStringLiteral("テーブル %1 が見つかりません（サーバー %2）").arg(table, c.server));
    }
    if (state == QLatin1String("42501"))
        Fail(QStringLiteral("サーバーのテーブルを使う権限がありません: %1").arg(msg));
    if (state == QLatin1String("40001") || state == QLatin1String("40P01") ||
        state == QLatin1String("55P03"))
        Fail(QStringLiteral("テーブルが他の利用者によって使用中です: %1").arg(msg));
    if (state == QLatin1String("53100"))
        Fail(QStringLiteral("サーバーのディスクに空きがないため書き込めません: %1").arg(msg));
    Fail(QStringLiteral("SQL エラー: %1\n%2").arg(msg, sql));
}

// Why the connection failed, told as what the user can check.
QString ConnectFailure(const QString& server, const QString& error) {
    const QString lower = error.toLower();
    QString what;
    if (lower.contains(QLatin1String("password")) ||
        lower.contains(QLatin1String("authentication failed")))
        what = QStringLiteral("ユーザー名またはパスワードが違います");
    else if (lower.contains(QLatin1String("database")) &&
             lower.contains(QLatin1String("does not exist")))
        what = QStringLiteral("データベースがサーバーにありません");
    else if (lower.contains(QLatin1String("role")) &&
             lower.contains(QLatin1String("does not exist")))
        what = QStringLiteral("ユーザーがサーバーに登録されていません");
    else if (lower.contains(QLatin1String("permission denied")) ||
             lower.contains(QLatin1String("no pg_hba.conf entry")))
        what = QStringLiteral("このユーザーにはデータベースへの接続が許可されていません");
    else if (lower.contains(QLatin1String("could not translate host name")) ||
             lower.contains(QLatin1String("connection refused")) ||
             lower.contains(QLatin1String("could not connect")) ||
             lower.contains(QLatin1String("no such file or directory")) ||
             lower.contains(QLatin1String("timeout")) || lower.contains(QLatin1String("timed out")))
        what = QStringLiteral("サーバーに接続できません（ホスト名、ポート、"
                              "サーバーが動いているかを確かめてください）");
    else if (lower.contains(QLatin1String("invalid")) || lower.contains(QLatin1String("missing")))
        what = QStringLiteral("接続文字列が正しくありません");
    else
        what = QStringLiteral("サーバーに接続できません");
    return QStringLiteral("%1: %2\n（%3）").arg(what, server, error);
}

QByteArray ParamText(const QVariant& v, bool* isNull) {
    *isNull = false;
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? QByteArrayLiteral("1") : QByteArrayLiteral("0");
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
        return QByteArray::number(v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return QByteArray::number(v.toDouble(), 'g', 17);
    case QMetaType::QDate: {
        const QDate d = v.toDate();
        *isNull = !d.isValid();
        return d.toString(Qt::ISODate).toUtf8();
    }
    default:
        *isNull = v.isNull();
        return v.toString().toUtf8();
    }
}

QVariant CellValue(const PGresult* r, int row, int col) {
    if (PQgetisnull(r, row, col))
        return QVariant();
    const char* raw = PQgetvalue(r, row, col);
    switch (PQftype(r, col)) {
    case kBoolOid:
        return QVariant(static_cast<qlonglong>(raw[0] == 't' ? 1 : 0));
    case kInt2Oid:
    case kInt4Oid:
    case kInt8Oid:
    case kOidOid:
        return QVariant(QByteArray(raw).toLongLong());
    case kFloat4Oid:
    case kFloat8Oid:
    case kNumericOid:
        return QVariant(QByteArray(raw).toDouble());
    default:
        return QVariant(QString::fromUtf8(raw, PQgetlength(r, row, col)));
    }
}

// The statement as the server reads it: ":Name" parameters become $n (n their place in the
// list of names), quoted names become lower-case quoted names; literals and comments stay.
QString ServerSql(const QString& sql, const QStringList& params) {
    QString out;
    out.reserve(sql.size() + 8);
    const int n = sql.size();
    int i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        const QChar next = i + 1 < n ? sql.at(i + 1) : QChar();
        if (c == QLatin1Char('\'')) {
            int j = i + 1;
            while (j < n && !(sql.at(j) == QLatin1Char('\'') &&
                              (j + 1 >= n || sql.at(j + 1) != QLatin1Char('\''))))
                j += sql.at(j) == QLatin1Char('\'') ? 2 : 1;
            out += sql.mid(i, j + 1 - i);
            i = j + 1;
        } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            const int end = sql.indexOf(QLatin1Char('\n'), i);
            const int stop = end < 0 ? n : end;
            out += sql.mid(i, stop - i);
            i = stop;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            const int end = sql.indexOf(close, i + 1);
            const int stop = end < 0 ? n : end;
            QString name = sql.mid(i + 1, stop - i - 1).toLower();
            name.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            out += QLatin1Char('"') + name + QLatin1Char('"');
            i = stop + 1;
        } else if (c == QLatin1Char(':') && IsWordChar(next) &&
                   (i == 0 || sql.at(i - 1) != QLatin1Char(':'))) {
            int j = i + 1;
            while (j < n && IsWordChar(sql.at(j)))
                ++j;
            const QString name = sql.mid(i + 1, j - i - 1);
            int index = 0;
            while (index < params.size() && params.at(index).compare(name, Qt::CaseInsensitive))
                ++index;
            out += QLatin1Char('$') + QString::number(index + 1);
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

// The columns of a table with their spellings and text sizes, read from the catalogue once per
// connection.
const QHash<QString, PgConnection::Column>& Columns(PgConnection& c, const QString& table) {
    const QString key = table.toLower();
    auto it = c.columns.find(key);
    if (it != c.columns.end())
        return *it;
    const QByteArray name = key.toUtf8();
    const char* values[] = {name.constData()};
    const QByteArray sql =
        QByteArrayLiteral(
            "select a.attname, case when a.atttypid = 'varchar'::regtype and a.atttypmod > 4 "
            "then a.atttypmod - 4 else 0 end, coalesce(col_description(a.attrelid, a.attnum), '') "
            "from pg_attribute a where a.attrelid = ") +
        kTableOid + " and a.attnum > 0 and not a.attisdropped";
    TResult r(PQexecParams(c.conn, sql.constData(), 1, nullptr, values, nullptr, nullptr, 0));
    if (!r.Ok())
        FailStatement(c, r, QStringLiteral("(columns of %1)").arg(table));
    QHash<QString, PgConnection::Column> columns;
    for (int row = 0; row < PQntuples(r.Get()); ++row) {
        const QString column = QString::fromUtf8(PQgetvalue(r.Get(), row, 0));
        QString spelling = QString::fromUtf8(PQgetvalue(r.Get(), row, 2));
        if (spelling.compare(column, Qt::CaseInsensitive) != 0)
            spelling = column;
        columns.insert(column, {spelling, QByteArray(PQgetvalue(r.Get(), row, 1)).toInt()});
    }
    return *c.columns.insert(key, columns);
}

// The result's column names as the folder engine gives them: spelled as the statement writes
// them, else as the table defines them.
QStringList ColumnNames(PgConnection& c, const PGresult* r, const QString& sql,
                        const ParsedSql& parsed) {
    static const QRegularExpression word(QStringLiteral("\\w+"));
    QHash<QString, QString> written;
    for (auto m = word.globalMatch(sql); m.hasNext();) {
        const QString w = m.next().captured();
        bool table = false;
        for (const QString& t : parsed.tableRefs)
            table = table || t.compare(w, Qt::CaseInsensitive) == 0;
        if (!table && !written.contains(w.toLower()))
            written.insert(w.toLower(), w);
    }
    QStringList names;
    for (int k = 0; k < PQnfields(r); ++k) {
        const QString name = QString::fromUtf8(PQfname(r, k));
        QString spelling = written.value(name);
        for (int t = 0; spelling.isEmpty() && t < parsed.tableRefs.size(); ++t)
            spelling = Columns(c, parsed.tableRefs.at(t)).value(name).spelling;
        names << (spelling.isEmpty() ? name : spelling);
    }
    return names;
}

// Checks the texts an INSERT or UPDATE writes against their columns' code-page-932 sizes.
void CheckTexts(PgConnection& c, const ParsedSql& parsed, const std::vector<QVariant>& values) {
    if (parsed.writeTable.isEmpty() || parsed.columnParams.empty())
        return;
    const auto& columns = Columns(c, parsed.writeTable);
    for (const auto& [column, param] : parsed.columnParams) {
        const auto def = columns.constFind(column.toLower());
        if (def == columns.constEnd() || def->size <= 0)
            continue;
        for (int k = 0; k < parsed.params.size(); ++k) {
            if (parsed.params.at(k).compare(param, Qt::CaseInsensitive) != 0)
                continue;
            const QVariant& v = values[static_cast<size_t>(k)];
            if (v.typeId() != QMetaType::QString || v.isNull())
                break;
            const QString error = TextLimitFailure(v.toString(), def->spelling, def->size);
            if (!error.isEmpty())
                Fail(error);
            break;
        }
    }
}

QString TypeOf(const FieldDef& f) {
    switch (f.type) {
    case FieldType::String:
        return QStringLiteral("VARCHAR(%1) COLLATE \"C\"").arg(f.size);
    case FieldType::Integer:
        return QStringLiteral("BIGINT");
    case FieldType::Boolean:
        return QStringLiteral("BOOLEAN");
    case FieldType::Double:
        return QStringLiteral("DOUBLE PRECISION");
    case FieldType::Date:
        return QStringLiteral("DATE");
    }
    return QString();
}

QString PgIndexSql(const QString& table, const QStringList& columns) {
    return QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
        .arg(IndexName(table, columns), table.toLower(), columns.join(QLatin1Char(',')).toLower());
}

QString Literal(const QString& text) {
    QString s = text;
    s.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

} // namespace

bool IsServerAddress(const QString& text) {
    static const QRegularExpression keywords(QStringLiteral("^\\s*[A-Za-z_]+\\s*="));
    // Database names and folders (every statement asks) are told apart without the pattern.
    if (!text.contains(QLatin1Char('=')) && !text.startsWith(QLatin1String("postgres")))
        return false;
    return text.startsWith(QLatin1String("postgresql://")) ||
           text.startsWith(QLatin1String("postgres://")) || keywords.match(text).hasMatch();
}

QString ServerOf(const QString& databaseName) {
    if (IsServerAddress(databaseName))
        return databaseName.trimmed();
    if (databaseName.contains(QLatin1Char('/')) || databaseName.contains(QLatin1Char('\\')))
        return QString();
    return DatabaseServer(databaseName);
}

void PgConnection::Close() {
    prepared.clear();
    columns.clear();
    if (conn)
        PQfinish(conn);
    conn = nullptr;
}

bool PgConnection::Lost() const {
    return !conn || PQstatus(conn) != CONNECTION_OK;
}

std::shared_ptr<PgConnection> PgConnect(const QString& server) {
    auto& pool = Pool();
    auto it = pool.find(server);
    if (it != pool.end() && (!it->second->Lost() || it->second->txDepth > 0))
        return it->second;
    auto c = it != pool.end() ? it->second : std::make_shared<PgConnection>();
    c->Close();
    c->server = server;
    const QByteArray address = server.toUtf8();
    pg_conn* conn = nullptr;
    for (;;) {
        const QByteArray password = Passwords().value(server).toUtf8();
        const char* keys[] = {"dbname", "client_encoding", "application_name",
                              password.isEmpty() ? nullptr : "password", nullptr};
        const char* values[] = {address.constData(), "UTF8", "tavelon", password.constData(),
                                nullptr};
        conn = PQconnectdbParams(keys, values, 1);
        if (PQstatus(conn) == CONNECTION_OK)
            break;
        const QString error = ErrorText(conn);
        // The server wants a password that neither ~/.pgpass nor the environment gave, or the
        // one typed was wrong: the user is asked (the windows only), as often as he retries.
        const bool askable = PQconnectionNeedsPassword(conn) ||
                             (!password.isEmpty() && PQconnectionUsedPassword(conn));
        PQfinish(conn);
        const std::optional<QString> typed =
            askable && PasswordPrompt()
                ? PasswordPrompt()(server,
                                   password.isEmpty() ? QString() : ConnectFailure(server, error))
                : std::nullopt;
        if (!typed)
            Fail(ConnectFailure(server, error));
        Passwords().insert(server, *typed);
    }
    c->conn = conn;
    TResult r(PQexec(conn, "set DateStyle to ISO; set client_min_messages to warning"));
    if (!r.Ok())
        FailStatement(*c, r, QStringLiteral("set DateStyle"));
    pool[server] = c;
    return c;
}

void PgCloseAll() {
    for (auto& entry : Pool())
        entry.second->Close();
    Pool().clear();
}

void PgExec(PgConnection& c, const QString& sql) {
    if (c.Lost()) {
        if (c.txDepth > 0)
            c.txBroken = true;
        Fail(LostMessage(c));
    }
    TResult r(PQexec(c.conn, sql.toUtf8().constData()));
    if (!r.Ok())
        FailStatement(c, r, sql);
}

void PgRun(PgConnection& c, const QString& sql, const ParsedSql& parsed,
           const std::vector<QVariant>& values, bool wantRows, PgRows* out) {
    if (c.txDepth > 0 && c.txBroken)
        Fail(c.brokenReason.isEmpty()
                 ? QStringLiteral(
                       "先の失敗でトランザクションが取り消されたため、続けて書き込めません")
                 : c.brokenReason);
    CheckTexts(c, parsed, values);
    // Prepared once per connection; the server keeps the plan.
    auto it = c.prepared.find(sql);
    if (it == c.prepared.end()) {
        if (c.prepared.size() >= static_cast<size_t>(kStatementCacheSize)) {
            PgExec(c, QStringLiteral("DEALLOCATE ALL"));
            c.prepared.clear();
        }
        PgConnection::Prepared p;
        p.name = "tv" + std::to_string(++c.nextStatement);
        const QString text = ServerSql(sql, parsed.params);
        TResult r(PQprepare(c.conn, p.name.c_str(), text.toUtf8().constData(),
                            static_cast<int>(parsed.params.size()), nullptr));
        if (!r.Ok())
            FailStatement(c, r, sql);
        it = c.prepared.emplace(sql, std::move(p)).first;
    }
    std::vector<QByteArray> texts(values.size());
    std::vector<const char*> pointers(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        bool isNull = false;
        texts[i] = ParamText(values[i], &isNull);
        pointers[i] = isNull ? nullptr : texts[i].constData();
    }
    TResult r(PQexecPrepared(c.conn, it->second.name.c_str(), static_cast<int>(values.size()),
                             pointers.data(), nullptr, nullptr, 0));
    if (!r.Ok()) {
        // A table changed under a kept plan: prepare it afresh next time.
        if (r.State() == QLatin1String("0A000"))
            c.prepared.erase(it);
        FailStatement(c, r, sql);
    }
    if (!wantRows || !out)
        return;
    const int columns = PQnfields(r.Get());
    const int rows = PQntuples(r.Get());
    if (!it->second.named) {
        it->second.columns = ColumnNames(c, r.Get(), sql, parsed);
        it->second.named = true;
    }
    out->columns = it->second.columns;
    out->values.clear();
    out->values.reserve(static_cast<size_t>(columns) * static_cast<size_t>(rows));
    for (int row = 0; row < rows; ++row)
        for (int k = 0; k < columns; ++k)
            out->values.push_back(CellValue(r.Get(), row, k));
    out->rows = rows;
}

bool PgTableExists(const QString& server, const QString& table) {
    auto c = PgConnect(server);
    const QByteArray name = table.toLower().toUtf8();
    const char* values[] = {name.constData()};
    const QByteArray sql = QByteArrayLiteral("select ") + kTableOid + " is not null";
    TResult r(PQexecParams(c->conn, sql.constData(), 1, nullptr, values, nullptr, nullptr, 0));
    if (!r.Ok())
        FailStatement(*c, r, QStringLiteral("pg_class"));
    return PQgetvalue(r.Get(), 0, 0)[0] == 't';
}

void PgCreateTable(const QString& server, const QString& table, const std::vector<FieldDef>& fields,
                   const std::vector<QStringList>& indexes) {
    auto c = PgConnect(server);
    // A table already there is left as it is when another program made it by the same
    // definitions (several programs starting on a new database at once); any other is refused.
    const auto acceptExisting = [&] {
        if (!PgTableExists(server, table))
            return false;
        c->columns.remove(table.toLower());
        const auto& stored = Columns(*c, table);
        bool same = stored.size() == static_cast<qsizetype>(fields.size());
        for (const FieldDef& f : fields)
            same = same && stored.contains(f.name.toLower());
        if (!same)
            Fail(QStringLiteral("テーブル %1 は既にあります").arg(table));
        return true;
    };
    if (acceptExisting())
        return;
    QStringList columns;
    QStringList comments;
    for (const FieldDef& f : fields) {
        columns << f.name.toLower() + QLatin1Char(' ') + TypeOf(f);
        comments << QStringLiteral("COMMENT ON COLUMN %1.%2 IS %3")
                        .arg(table.toLower(), f.name.toLower(), Literal(f.name));
    }
    QStringList sql;
    sql << QStringLiteral("CREATE TABLE %1 (%2)")
               .arg(table.toLower(), columns.join(QStringLiteral(", ")));
    sql << comments;
    for (const QStringList& index : indexes)
        sql << PgIndexSql(table, index);
    const bool own = c->txDepth == 0;
    // Made whole or not at all, so the database never holds a half-made table; under the
    // writers' lock, so two programs do not make it at once.
    if (own)
        PgExec(*c, QStringLiteral("BEGIN; ") + QLatin1String(kWriterLock));
    try {
        if (!own || !acceptExisting())
            PgExec(*c, sql.join(QStringLiteral(";\n")));
        if (own)
            PgExec(*c, QStringLiteral("COMMIT"));
    } catch (const EngineError& e) {
        if (own && !c->Lost())
            PQclear(PQexec(c->conn, "ROLLBACK"));
        Fail(QStringLiteral("テーブル %1 を作成できません（サーバー %2）: %3")
                 .arg(table, server, e.Message()));
    }
    c->columns.remove(table.toLower());
}

void PgUpgradeTable(const QString& server, const QString& table,
                    const std::vector<FieldDef>& fields, const std::vector<QStringList>& indexes) {
    static QSet<QString> checked;
    const QString seen = server + QLatin1Char('|') + table.toLower();
    auto c = PgConnect(server);
    if (checked.contains(seen) || c->txDepth > 0 || !PgTableExists(server, table))
        return;
    // The statements that bring the table up to `fields` and `indexes`, read from the catalogue.
    const auto changesNeeded = [&] {
        c->columns.remove(table.toLower());
        const auto columns = Columns(*c, table);
        QStringList changes;
        for (const FieldDef& f : fields) {
            const auto def = columns.constFind(f.name.toLower());
            if (def == columns.constEnd()) {
                changes << QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                               .arg(table.toLower(), f.name.toLower(), TypeOf(f))
                        << QStringLiteral("COMMENT ON COLUMN %1.%2 IS %3")
                               .arg(table.toLower(), f.name.toLower(), Literal(f.name));
                continue;
            }
            if (f.type == FieldType::String && def->size < f.size)
                changes << QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 TYPE %3")
                               .arg(table.toLower(), f.name.toLower(), TypeOf(f));
        }
        // Only the missing indexes: building one waits for every writer of the table.
        const QByteArray name = table.toLower().toUtf8();
        const char* values[] = {name.constData()};
        TResult existing(PQexecParams(c->conn,
                                      "select indexname from pg_indexes where schemaname = "
                                      "current_schema() and tablename = $1",
                                      1, nullptr, values, nullptr, nullptr, 0));
        if (!existing.Ok())
            FailStatement(*c, existing, QStringLiteral("pg_indexes"));
        QSet<QString> present;
        for (int row = 0; row < PQntuples(existing.Get()); ++row)
            present.insert(QString::fromUtf8(PQgetvalue(existing.Get(), row, 0)));
        for (const QStringList& index : indexes)
            if (!present.contains(IndexName(table, index)))
                changes << PgIndexSql(table, index);
        return changes;
    };
    if (!changesNeeded().isEmpty()) {
        // Another program may be bringing the same table up to date: under the writers' lock
        // the catalogue is read again, so each change is made once.
        PgExec(*c, QStringLiteral("BEGIN; ") + QLatin1String(kWriterLock));
        try {
            const QStringList changes = changesNeeded();
            if (!changes.isEmpty())
                PgExec(*c, changes.join(QStringLiteral(";\n")));
            PgExec(*c, QStringLiteral("COMMIT"));
        } catch (const EngineError&) {
            if (!c->Lost())
                PQclear(PQexec(c->conn, "ROLLBACK"));
            c->columns.remove(table.toLower());
            throw;
        }
        c->columns.remove(table.toLower());
        c->prepared.clear();
        PgExec(*c, QStringLiteral("DEALLOCATE ALL"));
    }
    checked.insert(seen);
}

int PgBegin(PgConnection& c) {
    if (c.txDepth == 0) {
        c.txBroken = false;
        c.brokenReason.clear();
        PgExec(c, QStringLiteral("BEGIN; ") + QLatin1String(kWriterLock));
    } else {
        if (c.txBroken)
            Fail(c.brokenReason.isEmpty()
                     ? QStringLiteral("先の失敗でトランザクションが取り消された"
                                      "ため、続けて書き込めません")
                     : c.brokenReason);
        PgExec(c, QStringLiteral("SAVEPOINT tv_sp%1").arg(c.txDepth + 1));
    }
    return ++c.txDepth;
}

void PgFinish(PgConnection& c, int level, bool commit) {
    const bool broken = c.txBroken;
    const QString reason = c.brokenReason;
    const QString brokenMessage =
        reason.isEmpty() ? QStringLiteral("先の失敗でトランザクションが取り消されたため、"
                                          "書き込みは行われませんでした")
                         : reason;
    if (level == 1) {
        c.txDepth = 0;
        c.txBroken = false;
        c.brokenReason.clear();
        if (broken || !commit) {
            if (!c.Lost())
                PQclear(PQexec(c.conn, "ROLLBACK"));
            if (broken && commit)
                Fail(brokenMessage);
            return;
        }
        if (c.Lost())
            Fail(LostMessage(c));
        TResult r(PQexec(c.conn, "COMMIT"));
        if (!r.Ok()) {
            if (c.Lost())
                Fail(QStringLiteral("サーバーとの接続が切れたため、書き込みは取り消されました"
                                    "（入力した内容はそのままです。次の操作で接続し直します）"));
            FailStatement(c, r, QStringLiteral("COMMIT"));
        }
        return;
    }
    c.txDepth = level - 1;
    if (broken) {
        if (commit)
            Fail(brokenMessage);
        return;
    }
    const QString sp = QStringLiteral("tv_sp%1").arg(level);
    if (!commit)
        PgExec(c, QStringLiteral("ROLLBACK TO ") + sp);
    PgExec(c, QStringLiteral("RELEASE ") + sp);
}

} // namespace tv::engine

namespace tv {

void SetServerPassword(const QString& server, const QString& password) {
    engine::Passwords().insert(server, password);
}

void SetServerPasswordPrompt(TPasswordPrompt prompt) {
    engine::PasswordPrompt() = std::move(prompt);
}

std::optional<QMap<QString, QString>> SplitServerAddress(const QString& server, QString* error) {
    char* message = nullptr;
    PQconninfoOption* options = PQconninfoParse(server.toUtf8().constData(), &message);
    if (!options) {
        if (error)
            *error =
                message ? QString::fromUtf8(message).trimmed() : QStringLiteral("out of memory");
        PQfreemem(message);
        return std::nullopt;
    }
    QMap<QString, QString> fields;
    for (const PQconninfoOption* o = options; o->keyword; ++o)
        if (o->val && *o->val)
            fields.insert(QString::fromUtf8(o->keyword), QString::fromUtf8(o->val));
    PQconninfoFree(options);
    return fields;
}

QString JoinServerAddress(const QMap<QString, QString>& fields) {
    // The usual four first, then the rest (sslmode, ...) in name order; never a password.
    static const QStringList first = {QStringLiteral("host"), QStringLiteral("port"),
                                      QStringLiteral("dbname"), QStringLiteral("user")};
    QStringList keys;
    for (const QString& key : first)
        if (fields.contains(key))
            keys << key;
    for (auto it = fields.begin(); it != fields.end(); ++it)
        if (!first.contains(it.key()) && it.key() != QLatin1String("password"))
            keys << it.key();
    QStringList parts;
    for (const QString& key : keys) {
        const QString value = fields.value(key);
        if (value.isEmpty())
            continue;
        // Quoted when it holds a space, a quote or a backslash, which are escaped.
        QString quoted = value;
        if (value.contains(QRegularExpression(QStringLiteral("[\\s'\\\\]")))) {
            quoted.replace(QLatin1String("\\"), QLatin1String("\\\\"));
            quoted.replace(QLatin1String("'"), QLatin1String("\\'"));
            quoted = QLatin1Char('\'') + quoted + QLatin1Char('\'');
        }
        parts << key + QLatin1Char('=') + quoted;
    }
    return parts.join(QLatin1Char(' '));
}

QString ServerConnectionProblem(const QString& server, bool toCreateTables) {
    try {
        auto c = engine::PgConnect(server);
        if (!toCreateTables)
            return QString();
        engine::TResult r(
            PQexec(c->conn, "select has_schema_privilege(current_schema(), 'CREATE')"));
        if (!r.Ok() || PQntuples(r.Get()) != 1)
            return QStringLiteral("サーバーの権限を確かめられません: %1").arg(r.Message());
        if (PQgetvalue(r.Get(), 0, 0)[0] != 't')
            return QStringLiteral("このユーザーにはサーバーにテーブルを作る権限がありません"
                                  "（サーバー %1）")
                .arg(server);
    } catch (const EngineError& e) {
        return e.Message();
    }
    return QString();
}

} // namespace tv
