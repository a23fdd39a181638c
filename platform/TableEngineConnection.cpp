// The connection of a data folder: its main database, the table files attached to it, their
// text limits, and the pool of connections by folder.
#include "platform/TableEngineInternal.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tv::engine {

void Connection::Close() {
    ClearStatements();
    if (db) {
        if (!sqlite3_get_autocommit(db))
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db);
        db = nullptr;
    }
    attached.clear();
}

void Connection::Exec(const QString& sql) {
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        Fail(SqlFailure(*this, rc, sql));
}

void Connection::ExecQuietly(const QString& sql) {
    sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
}

void Connection::Detach(const QString& key) {
    auto it = attached.find(key);
    if (it == attached.end())
        return;
    ClearStatements();
    for (const bool insert : {true, false})
        ExecQuietly(QStringLiteral("DROP TRIGGER IF EXISTS temp.") +
                    Quoted(TextLimitTriggerName(it->schema, insert)));
    ExecQuietly(QStringLiteral("DETACH DATABASE ") + Quoted(it->schema));
    attached.erase(it);
}

void Connection::Attach(const QString& table, const QString& file, const FileId& id,
                        const QStringList& keep) {
    const QString reason = ForeignFileReason(file);
    if (!reason.isEmpty())
        Fail(QStringLiteral("テーブルファイル %1 は%2").arg(NativePath(file), reason));
    const QString key = table.toLower();
    if (attached.size() >= kMaxAttached) {
        // Make room: let go of a table not needed now.
        QString victim = attached.constBegin().key();
        for (auto a = attached.constBegin(); a != attached.constEnd(); ++a) {
            bool needed = false;
            for (const QString& k : keep)
                needed = needed || k.compare(a.key(), Qt::CaseInsensitive) == 0;
            if (!needed) {
                victim = a.key();
                break;
            }
        }
        Detach(victim);
    }
    const QString schema = QStringLiteral("t_") + key;
    {
        TStatement attach(db, QStringLiteral("ATTACH DATABASE ?1 AS ") + Quoted(schema));
        const auto failOpen = [&](int rc) {
            const QString mapped = EngineFailure(NativePath(file), rc, ErrorText(), file);
            Fail(!mapped.isEmpty() ? mapped
                                   : QStringLiteral("テーブル %1 を開けません: %2")
                                         .arg(NativePath(file), ErrorText()));
        };
        if (!attach.Prepared())
            failOpen(sqlite3_extended_errcode(db));
        const QByteArray path = QFile::encodeName(file);
        sqlite3_bind_text(attach.Get(), 1, path.constData(), static_cast<int>(path.size()),
                          SQLITE_TRANSIENT);
        const int step = attach.Step();
        if (step != SQLITE_DONE)
            failOpen(step);
    }
    attached.insert(key, {schema, file, id});
    CheckHoldsTable(table, key, schema, file);
    AddTextLimits(key, schema, file);
    UseRollbackJournal(schema);
}

// The file must hold the table of its name; this also reads the header, so a damaged file is
// reported here.
void Connection::CheckHoldsTable(const QString& table, const QString& key, const QString& schema,
                                 const QString& file) {
    bool found = false;
    int step = SQLITE_ERROR;
    QString err;
    {
        TStatement q(db, QStringLiteral("select name from %1.sqlite_master where type='table'")
                             .arg(Quoted(schema)));
        if (q.Prepared())
            while ((step = q.Step()) == SQLITE_ROW)
                found = found || q.Text(0).compare(table, Qt::CaseInsensitive) == 0;
        err = ErrorText();
    }
    if (step == SQLITE_DONE && found)
        return;
    Detach(key);
    const int primary = step & 0xFF;
    if (step != SQLITE_DONE && primary != SQLITE_CORRUPT && primary != SQLITE_NOTADB) {
        const QString mapped = EngineFailure(NativePath(file), step, err, file);
        if (!mapped.isEmpty())
            Fail(mapped);
    }
    if (step != SQLITE_DONE)
        Fail(QStringLiteral("テーブルファイル %1 は壊れているか、このプログラムのテーブルでは"
                            "ありません: %2")
                 .arg(NativePath(file), err));
    Fail(QStringLiteral("テーブルファイル %1 にはテーブル %2 "
                        "がありません（このプログラムのテーブルではありません）")
             .arg(NativePath(file), table));
}

// The temporary triggers that hold the texts of the attached table to their sizes.
void Connection::AddTextLimits(const QString& key, const QString& schema, const QString& file) {
    for (const QString& sql : TextLimitTriggers(db, schema, key)) {
        char* err = nullptr;
        if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
            const QString msg = QString::fromUtf8(err ? err : "");
            sqlite3_free(err);
            Detach(key);
            Fail(QStringLiteral("テーブル %1 を開けません: %2").arg(NativePath(file), msg));
        }
    }
}

// Multi-file atomic commits need rollback journals.
void Connection::UseRollbackJournal(const QString& schema) {
    QString current;
    {
        TStatement mode(db, QStringLiteral("PRAGMA %1.journal_mode").arg(Quoted(schema)));
        if (!mode.Prepared() || mode.Step() != SQLITE_ROW)
            return;
        current = mode.Text(0);
    }
    if (current.compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0)
        ExecQuietly(QStringLiteral("PRAGMA %1.journal_mode=DELETE").arg(Quoted(schema)));
}

// Tables are attached when the transaction begins; one named later is reported for what it is.
void Connection::FailTableNotOpen(const QString& table, const QString& file) const {
    const QString failure = attachFailures.value(table.toLower());
    if (!failure.isEmpty())
        Fail(failure);
    const QString reason = ForeignFileReason(file);
    if (!reason.isEmpty())
        Fail(QStringLiteral("テーブルファイル %1 は%2").arg(NativePath(file), reason));
    if (!declared.isEmpty())
        Fail(QStringLiteral("テーブル %1 はこのトランザクションで使うテーブル（%2）"
                            "に含まれていないため、使えません")
                 .arg(table, declared.join(QStringLiteral(", "))));
    Fail(QStringLiteral("データフォルダ %1 にはテーブルが多すぎるため、テーブル %2 "
                        "をこのトランザクションで開けませんでした")
             .arg(NativePath(folder), table));
}

bool Connection::Attached::Current() const {
    FileId now;
    return StatFile(file, &now) && now == id;
}

QString Connection::ReplacedFile() const {
    for (const Attached& a : attached)
        if (!a.Current())
            return a.file;
    return QString();
}

QString ReplacedFileMessage(const QString& file) {
    return QStringLiteral(
               "テーブルファイル %1 が書き込みの途中で削除されたか、別のファイルに置き換え"
               "られました。このトランザクションの書き込みはすべて取り消されます")
        .arg(NativePath(file));
}

// Makes sure the named tables that exist in the folder are attached and current: a file deleted
// or replaced (a backup renamed over it) since it was attached is let go, and the file now in the
// folder is attached. Inside a transaction the attached files stay in use to its end (SQLite
// cannot let go of them there); its commit checks that they are still the folder's files, so a
// stat per statement is spent only outside transactions, not on every row of a save.
void Connection::EnsureTables(const QStringList& tables) {
    for (const QString& table : tables) {
        const QString key = table.toLower();
        auto it = attached.find(key);
        if (it != attached.end()) {
            if (txDepth > 0 || it->Current())
                continue;
            Detach(key);
        }
        if (txDepth > 0) {
            const QString file = FindFileNoCase(folder, table + QStringLiteral(".DB"));
            if (!file.isEmpty())
                FailTableNotOpen(table, file);
            continue;
        }
        const QString file = FindFileNoCase(folder, table + QStringLiteral(".DB"));
        FileId id;
        if (file.isEmpty() || !StatFile(file, &id))
            continue; // not a table of the folder: the statement reports a missing table
        Attach(table, file, id, tables);
    }
}

// Attaches every table file of the folder (before a transaction begins). Files that are not
// our tables are left alone here; a statement naming them reports them.
void Connection::AttachAll() {
    QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files, QDir::Name);
    QStringList tables;
    QHash<QString, QString> files; // table -> file name
    for (const QString& e : entries) {
        if (e.startsWith(QLatin1Char('.')) ||
            !e.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
            continue;
        const QString table = e.left(e.size() - 3);
        if (files.contains(table))
            continue;
        tables << table;
        files.insert(table, e);
    }
    // Drop attachments of files that went away or were replaced.
    const QStringList keys = attached.keys();
    for (const QString& key : keys)
        if (!attached[key].Current())
            Detach(key);
    for (const QString& table : std::as_const(tables)) {
        if (attached.contains(table.toLower()))
            continue;
        if (attached.size() >= kMaxAttached)
            break;
        try {
            const QString file = folder + files.value(table);
            FileId id;
            if (StatFile(file, &id))
                Attach(table, file, id);
        } catch (const EngineError& e) {
            // a foreign or damaged file: reported when a statement names it
            attachFailures.insert(table.toLower(), e.Message());
        }
    }
}

// Attaches exactly the declared tables (before a transaction begins) and lets go of the
// others, so the transaction locks nothing else. A declared table whose file cannot be
// attached fails with the cause; one without a file is left to the statements that name it.
void Connection::AttachDeclared(const QStringList& tables) {
    if (tables.size() > kMaxAttached)
        Fail(QStringLiteral("一つのトランザクションで使えるテーブルは %1 個までです（%2）")
                 .arg(QString::number(kMaxAttached), tables.join(QStringLiteral(", "))));
    const QStringList keys = attached.keys();
    for (const QString& key : keys) {
        bool wanted = false;
        for (const QString& table : tables)
            wanted = wanted || table.compare(key, Qt::CaseInsensitive) == 0;
        if (!wanted)
            Detach(key);
    }
    for (const QString& table : tables) {
        const QString key = table.toLower();
        const QString file = FindFileNoCase(folder, table + QStringLiteral(".DB"));
        FileId id;
        if (file.isEmpty() || !StatFile(file, &id)) {
            Detach(key);
            continue;
        }
        auto it = attached.constFind(key);
        if (it != attached.constEnd() && it->id == id && it->file == file)
            continue;
        Detach(key);
        Attach(table, file, id, tables);
    }
}

std::map<QString, std::shared_ptr<Connection>>& Connections() {
    static std::map<QString, std::shared_ptr<Connection>> connections;
    return connections;
}

QString FolderKey(const QString& folder) {
    QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

std::shared_ptr<Connection> GetConnection(const QString& folder, bool forTransaction) {
    static QString lastFolder, lastKey;
    if (folder != lastFolder || !QDir::isAbsolutePath(folder)) {
        lastKey = FolderKey(folder);
        lastFolder = folder;
    }
    const QString key = lastKey;
    auto& connections = Connections();
    auto it = connections.find(key);
    if (it != connections.end()) {
        auto conn = it->second;
        if (conn->realMain || conn->txDepth > 0 || !forTransaction || !QFileInfo(key).isDir())
            return conn;
        conn->Close();
        connections.erase(it);
    }
    auto conn = std::make_shared<Connection>();
    conn->folder = key;
    const QFileInfo folderInfo(key);
    if (folderInfo.isDir())
        RemoveStraySuperJournals(key);
    int rc = SQLITE_CANTOPEN;
    if (forTransaction && folderInfo.isDir() && folderInfo.isWritable()) {
        // In a folder that can be written, a transaction without its main file would commit
        // table by table: refuse instead.
        conn->db = OpenMainFile(key);
        rc = SQLITE_OK;
    }
    conn->realMain = rc == SQLITE_OK;
    if (!conn->realMain) {
        // No transaction yet, or a missing or read-only folder where nothing can be written.
        rc = OpenDatabase(QStringLiteral(":memory:"), SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                          &conn->db);
        if (rc != SQLITE_OK)
            Fail(QStringLiteral("データベースを開けません"));
    }
    RegisterFunctions(conn->db);
    connections[key] = conn;
    return conn;
}

int OpenDatabase(const QString& path, int flags, sqlite3** db) {
    *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), db, flags, nullptr);
    if (*db) {
        sqlite3_extended_result_codes(*db, 1);
        sqlite3_busy_timeout(*db, kBusyTimeoutMs);
    }
    return rc;
}

QString EngineFailure(const QString& subject, int rc, const QString& detail, const QString& path) {
    const qsizetype bytes = QFile::encodeName(path).size();
    if (!path.isEmpty() && bytes >= kMaxPathBytes)
        return QStringLiteral("%1 を開けません（パスが %2 バイトあり、テーブルエンジンが扱える %3 "
                              "バイトを超えています。短いパスのフォルダにしてください）")
            .arg(subject, QString::number(bytes), QString::number(kMaxPathBytes - 1));
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("%1 は他のプログラムが保存中のため使えません（%2 秒待ちました）。"
                              "しばらくしてからもう一度行ってください")
            .arg(subject, QString::number(kBusyTimeoutMs / 1000));
    case SQLITE_READONLY:
        return QStringLiteral("%1 に書き込めません（読み取り専用です: %2）").arg(subject, detail);
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("%1 に書き込めません（権限がありません: %2）").arg(subject, detail);
    case SQLITE_FULL:
        return QStringLiteral("%1 に書き込めません（ディスクに空きがありません）").arg(subject);
    case SQLITE_CANTOPEN:
        return QStringLiteral("%1 を開けません（ファイルかフォルダがないか、権限がありません）")
            .arg(subject);
    case SQLITE_CORRUPT:
        return QStringLiteral("%1 は壊れています（%2）").arg(subject, detail);
    case SQLITE_NOTADB:
        return QStringLiteral("%1 は SQLite のデータベースではないか、壊れています").arg(subject);
    case SQLITE_IOERR:
        return QStringLiteral("%1 の読み書きに失敗しました（%2）").arg(subject, detail);
    default:
        return QString();
    }
}

QString UnwritableEngineFile(const QString& folder) {
    const QFileInfo dir(folder);
    if (dir.isDir() && !dir.isWritable())
        return folder;
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    QString table;
    for (const QString& e : entries) {
        const bool journal = e.endsWith(QLatin1String("-journal"), Qt::CaseInsensitive);
        const bool ours =
            journal || e.endsWith(QLatin1String(".db"), Qt::CaseInsensitive) || e == kMainFileName;
        if (!ours || QFileInfo(folder + e).isWritable())
            continue;
        if (journal)
            return folder + e; // a journal blocks every write of its table
        if (table.isEmpty())
            table = folder + e;
    }
    return table;
}

QString SqlFailure(Connection& conn, int rc, const QString& sql) {
    if (!FunctionError().isEmpty())
        return FunctionError();
    const QString msg = conn.ErrorText();
    const int primary = rc & 0xFF;
    QString subject = QStringLiteral("データフォルダ %1 のテーブル").arg(NativePath(conn.folder));
    if (primary == SQLITE_READONLY || primary == SQLITE_PERM || primary == SQLITE_CANTOPEN ||
        primary == SQLITE_IOERR) {
        // Name the file that stops the write when there is one to name.
        const QString blocked = UnwritableEngineFile(conn.folder);
        if (!blocked.isEmpty()) {
            subject = NativePath(blocked);
            if (primary != SQLITE_READONLY)
                return QStringLiteral("%1 に書き込めません（権限がありません）").arg(subject);
        }
    }
    const QString mapped = EngineFailure(subject, rc, msg);
    return !mapped.isEmpty() ? mapped : QStringLiteral("SQL エラー: %1\n%2").arg(msg, sql);
}

void CheckUsable(Connection& conn) {
    if (conn.txDepth > 0 && conn.txBroken)
        Fail(QStringLiteral("先の失敗でトランザクションが取り消されたため、続けて書き込めません"));
}

// After a failed statement inside a transaction: when SQLite rolled the whole transaction back,
// or the failure leaves the files in doubt (a full disk, an I/O error), later statements must not
// run on their own and the transaction can only be rolled back.
void NoteFailure(Connection& conn, int rc) {
    if (conn.txDepth == 0)
        return;
    const int primary = rc & 0xFF;
    if (sqlite3_get_autocommit(conn.db) || primary == SQLITE_FULL || primary == SQLITE_IOERR ||
        primary == SQLITE_NOMEM || primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
        conn.txBroken = true;
}

QVariant ColumnValue(sqlite3_stmt* st, int i) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st, i));
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(st, i)));
    }
    case SQLITE_BLOB: {
        const auto* blob = static_cast<const char*>(sqlite3_column_blob(st, i));
        return QVariant(QByteArray(blob, sqlite3_column_bytes(st, i)));
    }
    default:
        return QVariant();
    }
}

void BindValue(sqlite3_stmt* st, int index, const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Bool:
        sqlite3_bind_int(st, index, v.toBool() ? 1 : 0);
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
        sqlite3_bind_int64(st, index, v.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(st, index, v.toDouble());
        break;
    case QMetaType::QDate: {
        const QDate d = v.toDate();
        if (!d.isValid()) {
            sqlite3_bind_null(st, index);
            break;
        }
        const QByteArray text = d.toString(Qt::ISODate).toUtf8();
        sqlite3_bind_text(st, index, text.constData(), text.size(), SQLITE_TRANSIENT);
        break;
    }
    case QMetaType::QString: {
        const QByteArray text = v.toString().toUtf8();
        sqlite3_bind_text(st, index, text.constData(), text.size(), SQLITE_TRANSIENT);
        break;
    }
    default:
        if (v.isNull())
            sqlite3_bind_null(st, index);
        else {
            const QByteArray text = v.toString().toUtf8();
            sqlite3_bind_text(st, index, text.constData(), text.size(), SQLITE_TRANSIENT);
        }
    }
}

QHash<QString, QPair<QString, int>>& PinnedNames() {
    static QHash<QString, QPair<QString, int>> pinned;
    return pinned;
}

int& PinGeneration() {
    static int generation = 0;
    return generation;
}

} // namespace tv::engine
