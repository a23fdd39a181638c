// Table files: finding them without regard to case, telling ours from foreign ones, their
// identity, and the folder's main file with its super-journals.
#include "platform/TableEngine.h"
#include "platform/TableEngineInternal.h"
#include "platform/TableEnginePg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <sys/stat.h>

namespace tv::engine {

const QString kMainFileName = QStringLiteral(".tavelon-engine.sqlite");

QString NativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void Fail(const QString& message) {
    throw EngineError(message);
}

QString Quoted(const QString& identifier) {
    QString s = identifier;
    s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

QString FindFileNoCase(const QString& folder, const QString& fileName) {
    QString exact = folder + fileName;
    if (QFileInfo::exists(exact))
        return exact;
    QDir dir(folder);
    QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& e : std::as_const(entries))
        if (e.compare(fileName, Qt::CaseInsensitive) == 0)
            return folder + e;
    return QString();
}

QString ForeignFileReason(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("読み込めません（%1）").arg(f.errorString());
    const QByteArray head = f.read(128);
    if (head.isEmpty())
        return QStringLiteral("空のファイルです（壊れたテーブルファイル）");
    if (head.startsWith(QByteArray("SQLite format 3\0", 16)))
        return QString();
    if (head.size() >= 6) {
        const auto u8 = [&](int i) { return static_cast<unsigned char>(head.at(i)); };
        const int recordSize = u8(0) | (u8(1) << 8);
        const int headerSize = u8(2) | (u8(3) << 8);
        const int fileType = u8(4);
        const int maxTableSize = u8(5);
        const bool sizeOk = maxTableSize == 1 || maxTableSize == 2 || maxTableSize == 3 ||
                            maxTableSize == 4 || maxTableSize == 8 || maxTableSize == 16 ||
                            maxTableSize == 32;
        if ((fileType == 0 || fileType == 2) && sizeOk && recordSize > 0 && headerSize > 0)
            return QStringLiteral("以前のプログラムの Paradox 形式のテーブルです。"
                                  "このプログラムでは読み書きできません");
    }
    return QStringLiteral("このプログラムのテーブルではありません（SQLite "
                          "のデータベースではないか、壊れています）");
}

bool StatFile(const QString& path, FileId* id) {
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    id->dev = st.st_dev;
    id->ino = st.st_ino;
    return true;
}

QString ColumnDeclaration(const FieldDef& f) {
    QString q = Quoted(f.name);
    switch (f.type) {
    case FieldType::String:
        return QStringLiteral("%1 VARCHAR(%2)").arg(q, QString::number(f.size));
    case FieldType::Integer:
        return q + QStringLiteral(" INTEGER");
    case FieldType::Boolean:
        return q + QStringLiteral(" BOOLEAN");
    case FieldType::Double:
        return q + QStringLiteral(" DOUBLE");
    case FieldType::Date:
        return q + QStringLiteral(" DATE");
    }
    return q;
}

QString IndexName(const QString& table, const QStringList& columns) {
    return QStringLiteral("tv_%1_%2")
        .arg(table.toLower(), columns.join(QLatin1Char('_')).toLower());
}

QString IndexSql(const QString& table, const QStringList& columns) {
    QStringList quoted;
    for (const QString& c : columns)
        quoted << Quoted(c);
    return QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
        .arg(Quoted(IndexName(table, columns)), Quoted(table), quoted.join(QLatin1Char(',')));
}

namespace {

[[noreturn]] void FailMainFile(const QString& folder, const QString& cause) {
    Fail(QStringLiteral("データフォルダ %1 の管理ファイルに書き込めません（%2: %3）。"
                        "このファイルを削除するか、書き込めるようにしてください")
             .arg(NativePath(folder), NativePath(folder + kMainFileName), cause));
}

} // namespace

// Opens the folder's main file for writing. A file that is not a database and has no journal
// beside it holds nothing and is made again.
sqlite3* OpenMainFile(const QString& folder) {
    const QString path = folder + kMainFileName;
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        FailMainFile(folder, QStringLiteral("ファイルではありません"));
    if (info.exists() && info.size() > 0 && !QFileInfo::exists(path + QStringLiteral("-journal"))) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly) &&
            !f.read(16).startsWith(QByteArray("SQLite format 3\0", 16))) {
            f.close();
            QFile::remove(path);
        }
    }
    sqlite3* db = nullptr;
    // The busy timeout is set on opening: the first statement waits for another program's save.
    int rc =
        OpenDatabase(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, &db);
    QString cause;
    if (rc == SQLITE_OK && sqlite3_db_readonly(db, "main") == 1)
        cause = QStringLiteral("読み取り専用です");
    else if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "PRAGMA main.schema_version", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK || !cause.isEmpty()) {
        const int primary = rc & 0xFF;
        const QString detail = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        // Only a file that really cannot be written is worth deleting; a busy one is waited for,
        // a path too long or a missing permission of the folder are said as they are.
        if (cause.isEmpty() && primary != SQLITE_READONLY && primary != SQLITE_NOTADB &&
            primary != SQLITE_CORRUPT) {
            const QString mapped = EngineFailure(NativePath(path), rc, detail, path);
            if (!mapped.isEmpty())
                Fail(mapped);
        }
        FailMainFile(folder, cause.isEmpty() ? detail : cause);
    }
    return db;
}

// Super-journals of the main file are left behind when a save was killed after writing one. A
// table whose journal still names one rolls back when it is next read, so the super-journals go
// only when no table journal remains (none is hot, and no other program is in a commit).
void RemoveStraySuperJournals(const QString& folder) {
    const QDir dir(folder);
    const QStringList supers =
        dir.entryList({kMainFileName + QStringLiteral("-mj*")}, QDir::Files | QDir::Hidden);
    if (supers.isEmpty())
        return;
    auto tableJournals = [&] {
        QStringList journals;
        const QStringList entries =
            dir.entryList({QStringLiteral("*-journal")}, QDir::Files | QDir::Hidden);
        for (const QString& e : entries)
            if (e.endsWith(QLatin1String(".db-journal"), Qt::CaseInsensitive) &&
                QFileInfo(folder + e).size() > 0)
                journals << e;
        return journals;
    };
    for (const QString& journal : tableJournals()) {
        const QString table = folder + journal.left(journal.size() - 8);
        sqlite3* db = nullptr;
        if (OpenDatabase(table, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, &db) == SQLITE_OK)
            sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db);
    }
    if (!tableJournals().isEmpty())
        return;
    for (const QString& e :
         dir.entryList({kMainFileName + QStringLiteral("-mj*")}, QDir::Files | QDir::Hidden))
        QFile::remove(folder + e);
}

} // namespace tv::engine

// ---- bringing a table file up to its definition ----------------------------------------------

namespace tv {
namespace {

using namespace engine;

// A table file opened on a connection of its own, for a change of its schema. Whatever is not
// committed when it goes is rolled back.
class TTableFile {
public:
    explicit TTableFile(const QString& file) : file_(file) {
        if (OpenDatabase(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, &db_) != SQLITE_OK) {
            const QString cause = QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : "open");
            sqlite3_close_v2(db_);
            db_ = nullptr;
            FailWith(cause);
        }
    }
    ~TTableFile() {
        if (db_ && !sqlite3_get_autocommit(db_))
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db_);
    }
    TTableFile(const TTableFile&) = delete;
    TTableFile& operator=(const TTableFile&) = delete;

    sqlite3* Db() const { return db_; }
    [[noreturn]] void FailHere() const { FailWith(QString::fromUtf8(sqlite3_errmsg(db_))); }
    [[noreturn]] void FailWith(const QString& cause) const {
        Fail(QStringLiteral("テーブル %1 を更新できません: %2").arg(NativePath(file_), cause));
    }
    void Exec(const QString& sql) const {
        if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            FailHere();
    }

private:
    QString file_;
    sqlite3* db_ = nullptr;
};

// The stored table: its own spelling of the name, its columns with their declared types, and
// the names of the indexes in the file (lower case).
struct StoredTable {
    QString name;
    QStringList columns, types, indexes;
};

StoredTable ReadStoredTable(const TTableFile& file, const QString& tableName) {
    StoredTable stored;
    {
        TStatement q(file.Db(), QStringLiteral("select type, name from sqlite_master"));
        if (!q.Prepared())
            file.FailHere();
        int rc;
        while ((rc = q.Step()) == SQLITE_ROW) {
            const QString type = q.Text(0);
            const QString name = q.Text(1);
            if (type == QLatin1String("table") && name.compare(tableName, Qt::CaseInsensitive) == 0)
                stored.name = name;
            else if (type == QLatin1String("index"))
                stored.indexes << name.toLower();
        }
        if (rc != SQLITE_DONE)
            file.FailHere();
    }
    if (stored.name.isEmpty())
        return stored;
    TStatement info(file.Db(), QStringLiteral("PRAGMA table_info(%1)").arg(Quoted(stored.name)));
    if (!info.Prepared())
        file.FailHere();
    while (info.Step() == SQLITE_ROW) {
        stored.columns << info.Text(1);
        stored.types << info.Text(2);
    }
    return stored;
}

// The CREATE TABLE text of the stored table with its text columns at least as wide as `fields`
// gives them; empty when no column needs widening.
QString WidenedDeclaration(const StoredTable& stored, const std::vector<FieldDef>& fields) {
    static const QRegularExpression varchar(
        QStringLiteral("^\\s*VARCHAR\\s*\\(\\s*([0-9]+)\\s*\\)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    bool widen = false;
    QStringList columns;
    for (int i = 0; i < stored.columns.size(); ++i) {
        QString type = stored.types.at(i);
        const QRegularExpressionMatch m = varchar.match(type);
        for (const FieldDef& f : fields) {
            if (f.type != FieldType::String ||
                f.name.compare(stored.columns.at(i), Qt::CaseInsensitive) != 0 || !m.hasMatch() ||
                m.captured(1).toInt() >= f.size)
                continue;
            type = QStringLiteral("VARCHAR(%1)").arg(QString::number(f.size));
            widen = true;
        }
        columns << Quoted(stored.columns.at(i)) + QLatin1Char(' ') + type;
    }
    if (!widen)
        return QString();
    return QStringLiteral("CREATE TABLE %1 (%2)")
        .arg(Quoted(stored.name), columns.join(QStringLiteral(", ")));
}

// The columns of `fields` the stored table lacks, as ALTER TABLE statements that add them.
QStringList MissingColumns(const StoredTable& stored, const std::vector<FieldDef>& fields) {
    QStringList add;
    for (const FieldDef& f : fields) {
        bool present = false;
        for (const QString& c : stored.columns)
            present = present || c.compare(f.name, Qt::CaseInsensitive) == 0;
        if (!present)
            add << QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                       .arg(Quoted(stored.name), ColumnDeclaration(f));
    }
    return add;
}

// A wider VARCHAR keeps the column's text affinity: only the declaration in the schema changes,
// not one stored byte, so the declaration is rewritten where it is (inside the caller's
// transaction).
void RewriteDeclaration(const TTableFile& file, const QString& table, const QString& create) {
    int version = 0;
    {
        TStatement q(file.Db(), QStringLiteral("PRAGMA schema_version"));
        if (q.Prepared() && q.Step() == SQLITE_ROW)
            version = q.Int(0);
    }
    sqlite3_db_config(file.Db(), SQLITE_DBCONFIG_DEFENSIVE, 0, nullptr);
    file.Exec(QStringLiteral("PRAGMA writable_schema=ON"));
    bool ok;
    {
        TStatement q(file.Db(), QStringLiteral("update sqlite_master set sql=?1 where "
                                               "type='table' and name=?2"));
        ok = q.Prepared();
        if (ok) {
            q.BindText(1, create);
            q.BindText(2, table);
            ok = q.Step() == SQLITE_DONE;
        }
    }
    const QString cause = QString::fromUtf8(sqlite3_errmsg(file.Db()));
    if (ok)
        ok = sqlite3_exec(file.Db(),
                          QStringLiteral("PRAGMA schema_version=%1")
                              .arg(QString::number(version + 1))
                              .toUtf8()
                              .constData(),
                          nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_exec(file.Db(), "PRAGMA writable_schema=OFF", nullptr, nullptr, nullptr);
    if (!ok)
        file.FailWith(cause);
}

} // namespace

bool engine::HoldsTable(const QString& path, const QString& tableName,
                        const std::vector<FieldDef>& fields) {
    if (!ForeignFileReason(path).isEmpty())
        return false;
    TTableFile file(path);
    const QStringList columns = ReadStoredTable(file, tableName).columns;
    bool same = columns.size() == static_cast<qsizetype>(fields.size());
    for (size_t i = 0; same && i < fields.size(); ++i)
        same =
            columns.at(static_cast<qsizetype>(i)).compare(fields[i].name, Qt::CaseInsensitive) == 0;
    return same;
}

void UpgradeTable(const QString& databaseName, const QString& tableName,
                  const std::vector<FieldDef>& fields, const std::vector<QStringList>& indexes) {
    const QString server = ServerOf(databaseName);
    if (!server.isEmpty()) {
        PgUpgradeTable(server, tableName, fields, indexes);
        return;
    }
    const QString folder = FolderKey(ResolveDatabaseFolder(databaseName));
    const QString path = FindFileNoCase(folder, tableName + QStringLiteral(".DB"));
    FileId id;
    if (path.isEmpty() || !StatFile(path, &id))
        return;
    // Checked once per file and process; a file replaced meanwhile is checked again.
    static QSet<QString> checked;
    const QString seen =
        QStringLiteral("%1|%2|%3").arg(path, QString::number(id.dev), QString::number(id.ino));
    if (checked.contains(seen))
        return;
    auto& connections = Connections();
    const auto pooled = connections.find(folder);
    if (pooled != connections.end() && pooled->second->txDepth > 0)
        return;
    if (!ForeignFileReason(path).isEmpty())
        return; // reported when a statement names the table

    TTableFile file(path);
    // What the stored table lacks: new columns, wider text columns, indexes.
    const auto changesFor = [&](const StoredTable& stored) {
        QStringList missing;
        for (const QStringList& index : indexes)
            if (!stored.indexes.contains(IndexName(tableName, index).toLower()))
                missing << IndexSql(stored.name, index);
        return std::make_pair(MissingColumns(stored, fields) + missing,
                              WidenedDeclaration(stored, fields));
    };
    const StoredTable stored = ReadStoredTable(file, tableName);
    if (stored.name.isEmpty())
        return; // not our table: reported when a statement names it
    if (const auto [sql, widen] = changesFor(stored); !sql.isEmpty() || !widen.isEmpty()) {
        // The pooled connection holds the column sizes of the table it attached: let go of it.
        if (pooled != connections.end())
            pooled->second->Detach(tableName.toLower());
        // Another program may be bringing the same file up to date: what is missing is read
        // again under the write lock, so each change is made once.
        file.Exec(QStringLiteral("BEGIN IMMEDIATE"));
        const QStringList statements = changesFor(ReadStoredTable(file, tableName)).first;
        // New columns first (every row reads them as null), then the declaration is widened
        // as it reads with them.
        for (const QString& statement : statements)
            file.Exec(statement);
        const QString widened = WidenedDeclaration(ReadStoredTable(file, tableName), fields);
        if (!widened.isEmpty())
            RewriteDeclaration(file, stored.name, widened);
        file.Exec(QStringLiteral("COMMIT"));
    }
    checked.insert(seen);
}

} // namespace tv
