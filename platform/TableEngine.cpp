#include "platform/TableEngine.h"

#include "platform/Cp932.h"
#include "platform/EngineConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <cmath>
#include <map>
#include <sqlite3.h>
#include <sys/stat.h>

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

namespace tv {
namespace {

const QString kMainFileName = QStringLiteral(".tavelon-engine.sqlite");
constexpr int kMaxAttached = 10; // SQLite's compiled limit on Debian
constexpr int kStatementCacheSize = 64;

// The message of the last failure of tv_fits on this thread: the statement's error is then
// reported with it instead of SQLite's generic text.
thread_local QString g_functionError;

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

// ---- SQL scanning ------------------------------------------------------------------------

struct ParsedSql {
    QStringList params;    // parameter names in order of first occurrence (any case counts once)
    QStringList tableRefs; // names after FROM, JOIN, INTO, UPDATE
};

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool IsKeyword(const QString& w) {
    static const QSet<QString> keywords = {
        QStringLiteral("select"), QStringLiteral("where"),  QStringLiteral("set"),
        QStringLiteral("values"), QStringLiteral("on"),     QStringLiteral("group"),
        QStringLiteral("order"),  QStringLiteral("inner"),  QStringLiteral("left"),
        QStringLiteral("join"),   QStringLiteral("as"),     QStringLiteral("having"),
        QStringLiteral("limit"),  QStringLiteral("union"),  QStringLiteral("outer"),
        QStringLiteral("cross"),  QStringLiteral("natural")};
    return keywords.contains(w.toLower());
}

ParsedSql ParseSql(const QString& sql) {
    struct Token {
        enum Kind { Word, QuotedName, Param, Punct } kind;
        QString text;
    };
    std::vector<Token> tokens;
    const int n = sql.size();
    int i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            while (i < n && sql.at(i) != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql.at(i + 1) == QLatin1Char('*')) {
            const int end = sql.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == QLatin1Char('\'')) {
            ++i;
            while (i < n) {
                if (sql.at(i) == QLatin1Char('\'')) {
                    if (i + 1 < n && sql.at(i + 1) == QLatin1Char('\'')) {
                        i += 2;
                        continue;
                    }
                    break;
                }
                ++i;
            }
            ++i;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            int j = i + 1;
            QString name;
            while (j < n) {
                if (sql.at(j) == close) {
                    if (close != QLatin1Char(']') && j + 1 < n && sql.at(j + 1) == close) {
                        name += close;
                        j += 2;
                        continue;
                    }
                    break;
                }
                name += sql.at(j++);
            }
            tokens.push_back({Token::QuotedName, name});
            i = j + 1;
        } else if (c == QLatin1Char(':') && i + 1 < n && IsWordChar(sql.at(i + 1))) {
            int j = i + 1;
            while (j < n && IsWordChar(sql.at(j)))
                ++j;
            tokens.push_back({Token::Param, sql.mid(i + 1, j - i - 1)});
            i = j;
        } else if (IsWordChar(c)) {
            int j = i;
            while (j < n && IsWordChar(sql.at(j)))
                ++j;
            tokens.push_back({Token::Word, sql.mid(i, j - i)});
            i = j;
        } else {
            tokens.push_back({Token::Punct, QString(c)});
            ++i;
        }
    }

    ParsedSql parsed;
    auto isName = [&](size_t k) {
        return k < tokens.size() &&
               ((tokens[k].kind == Token::Word && !IsKeyword(tokens[k].text)) ||
                tokens[k].kind == Token::QuotedName);
    };
    auto addRef = [&](const QString& name) {
        for (const QString& r : std::as_const(parsed.tableRefs))
            if (r.compare(name, Qt::CaseInsensitive) == 0)
                return;
        parsed.tableRefs << name;
    };
    for (size_t k = 0; k < tokens.size(); ++k) {
        const Token& t = tokens[k];
        if (t.kind == Token::Param) {
            bool known = false;
            for (const QString& p : std::as_const(parsed.params))
                known = known || p.compare(t.text, Qt::CaseInsensitive) == 0;
            if (!known)
                parsed.params << t.text;
            continue;
        }
        if (t.kind != Token::Word)
            continue;
        const QString w = t.text.toLower();
        if (w != QLatin1String("from") && w != QLatin1String("join") &&
            w != QLatin1String("into") && w != QLatin1String("update"))
            continue;
        size_t m = k + 1;
        while (isName(m)) {
            addRef(tokens[m].text);
            if (w != QLatin1String("from"))
                break;
            // "from A a, B b": skip an alias, go on after a comma.
            size_t next = m + 1;
            if (next < tokens.size() && tokens[next].kind == Token::Word &&
                tokens[next].text.compare(QLatin1String("as"), Qt::CaseInsensitive) == 0)
                ++next;
            if (isName(next))
                ++next;
            if (next < tokens.size() && tokens[next].kind == Token::Punct &&
                tokens[next].text == QLatin1String(","))
                m = next + 1;
            else
                break;
        }
    }
    return parsed;
}

std::shared_ptr<const ParsedSql> ParseCached(const QString& sql) {
    static QHash<QString, std::shared_ptr<const ParsedSql>> cache;
    auto it = cache.constFind(sql);
    if (it != cache.constEnd())
        return *it;
    if (cache.size() > 512)
        cache.clear();
    auto parsed = std::make_shared<const ParsedSql>(ParseSql(sql));
    cache.insert(sql, parsed);
    return parsed;
}

// ---- code-page-932 limits ------------------------------------------------------------------

void FitsFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_int(ctx, 1);
        return;
    }
    const auto* raw = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const QString text = QString::fromUtf8(raw, sqlite3_value_bytes(argv[0]));
    const QString column =
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[1])));
    const int size = sqlite3_value_int(argv[2]);
    // ASCII text is one byte a character: no conversion needed.
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    const std::optional<int> bytes = ascii ? std::optional<int>(text.size()) : Cp932Length(text);
    QString error;
    if (!bytes)
        error = QStringLiteral("列 %1 (%2 バイト) に保存できない文字 '%3' が含まれています: '%4'")
                    .arg(column, QString::number(size), Cp932FirstUnencodable(text), text);
    else if (*bytes > size)
        error = QStringLiteral("列 %1 に入る文字は %2 バイトまでです: '%3' は %4 バイトです")
                    .arg(column, QString::number(size), text, QString::number(*bytes));
    if (error.isEmpty()) {
        sqlite3_result_int(ctx, 1);
        return;
    }
    g_functionError = error;
    const QByteArray utf8 = error.toUtf8();
    sqlite3_result_error(ctx, utf8.constData(), utf8.size());
}

void RegisterFunctions(sqlite3* db) {
    sqlite3_create_function_v2(db, "tv_fits", 3,
                               SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                               FitsFunction, nullptr, nullptr, nullptr);
}

// ---- table files ---------------------------------------------------------------------------

QString FindFileNoCase(const QString& folder, const QString& fileName) {
    const QString exact = folder + fileName;
    if (QFileInfo::exists(exact))
        return exact;
    QDir dir(folder);
    QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& e : std::as_const(entries))
        if (e.compare(fileName, Qt::CaseInsensitive) == 0)
            return folder + e;
    return QString();
}

// Checks the first bytes of a table file; an empty result means it is an SQLite database.
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

struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const FileId& o) const { return dev == o.dev && ino == o.ino; }
};

bool StatFile(const QString& path, FileId* id) {
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    id->dev = st.st_dev;
    id->ino = st.st_ino;
    return true;
}

// ---- connections ---------------------------------------------------------------------------

struct Statement {
    sqlite3_stmt* stmt = nullptr;
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
    };
    QHash<QString, Attached> attached; // lower-case table name -> attachment
    // Why a table file could not be attached when the transaction began (lower-case name ->
    // message), so a statement naming it reports the real cause.
    QHash<QString, QString> attachFailures;
    // The tables the open transaction declared; empty when it attached every table it could.
    QStringList declared;
    int txDepth = 0;
    bool txBroken = false;
    QHash<QString, Statement> statements;

    ~Connection() { Close(); }

    void ClearStatements() {
        for (auto& s : statements)
            sqlite3_finalize(s.stmt);
        statements.clear();
    }
    void Close() {
        ClearStatements();
        if (db) {
            if (!sqlite3_get_autocommit(db))
                sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close_v2(db);
            db = nullptr;
        }
        attached.clear();
    }
    QString ErrorText() const { return QString::fromUtf8(sqlite3_errmsg(db)); }

    void Exec(const QString& sql) {
        char* err = nullptr;
        const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err);
        if (rc != SQLITE_OK) {
            const QString msg = QString::fromUtf8(err ? err : sqlite3_errmsg(db));
            sqlite3_free(err);
            if ((rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED)
                Fail(QStringLiteral("テーブルが他のプログラムで使用中です: %1").arg(msg));
            Fail(QStringLiteral("SQL エラー: %1\n%2").arg(msg, sql));
        }
    }

    void Detach(const QString& key) {
        auto it = attached.find(key);
        if (it == attached.end())
            return;
        ClearStatements();
        for (const char* kind : {"_ins", "_upd"})
            sqlite3_exec(db,
                         (QStringLiteral("DROP TRIGGER IF EXISTS temp.") +
                          Quoted(QStringLiteral("tv_fit_") + it->schema + QLatin1String(kind)))
                             .toUtf8()
                             .constData(),
                         nullptr, nullptr, nullptr);
        sqlite3_exec(db,
                     (QStringLiteral("DETACH DATABASE ") + Quoted(it->schema)).toUtf8().constData(),
                     nullptr, nullptr, nullptr);
        attached.erase(it);
    }

    // Attaches the table file after checking that it is one of our tables.
    void Attach(const QString& table, const QString& file, const FileId& id,
                const QStringList& keep = QStringList()) {
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
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = (QStringLiteral("ATTACH DATABASE ?1 AS ") + Quoted(schema)).toUtf8();
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) != SQLITE_OK)
            Fail(QStringLiteral("テーブル %1 を開けません: %2").arg(NativePath(file), ErrorText()));
        const QByteArray path = QFile::encodeName(file);
        sqlite3_bind_text(st, 1, path.constData(), path.size(), SQLITE_TRANSIENT);
        const int rc = sqlite3_step(st);
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            Fail(QStringLiteral("テーブル %1 を開けません: %2").arg(NativePath(file), ErrorText()));
        attached.insert(key, {schema, file, id});
        // The file must hold the table of its name; this also reads the header, so a damaged
        // file is reported here.
        const QString check = QStringLiteral("select name from %1.sqlite_master where type='table'")
                                  .arg(Quoted(schema));
        sqlite3_stmt* q = nullptr;
        bool found = false;
        int step = SQLITE_ERROR;
        if (sqlite3_prepare_v2(db, check.toUtf8().constData(), -1, &q, nullptr) == SQLITE_OK) {
            while ((step = sqlite3_step(q)) == SQLITE_ROW) {
                const QString name =
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(q, 0)));
                found = found || name.compare(table, Qt::CaseInsensitive) == 0;
            }
        }
        const QString err = ErrorText();
        sqlite3_finalize(q);
        if (step != SQLITE_DONE || !found) {
            Detach(key);
            if (step != SQLITE_DONE)
                Fail(QStringLiteral(
                         "テーブルファイル %1 は壊れているか、このプログラムのテーブルでは"
                         "ありません: %2")
                         .arg(NativePath(file), err));
            Fail(QStringLiteral("テーブルファイル %1 にはテーブル %2 "
                                "がありません（このプログラムのテーブルではありません）")
                     .arg(NativePath(file), table));
        }
        AddTextLimits(key, schema, file);
        // Multi-file atomic commits need rollback journals.
        sqlite3_stmt* jm = nullptr;
        const QString pragma = QStringLiteral("PRAGMA %1.journal_mode").arg(Quoted(schema));
        if (sqlite3_prepare_v2(db, pragma.toUtf8().constData(), -1, &jm, nullptr) == SQLITE_OK &&
            sqlite3_step(jm) == SQLITE_ROW) {
            const QByteArray mode = reinterpret_cast<const char*>(sqlite3_column_text(jm, 0));
            sqlite3_finalize(jm);
            jm = nullptr;
            if (mode.compare("delete", Qt::CaseInsensitive) != 0)
                sqlite3_exec(
                    db,
                    QStringLiteral("PRAGMA %1.journal_mode=DELETE").arg(Quoted(schema)).toUtf8(),
                    nullptr, nullptr, nullptr);
        }
        sqlite3_finalize(jm);
    }

    // The temporary triggers that hold the texts of the attached table to their sizes.
    void AddTextLimits(const QString& key, const QString& schema, const QString& file) {
        static const QRegularExpression varchar(
            QStringLiteral("^\\s*VARCHAR\\s*\\(\\s*([0-9]+)\\s*\\)\\s*$"),
            QRegularExpression::CaseInsensitiveOption);
        QString table;
        {
            sqlite3_stmt* q = nullptr;
            const QString sql =
                QStringLiteral("select name from %1.sqlite_master where type='table'")
                    .arg(Quoted(schema));
            if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &q, nullptr) == SQLITE_OK)
                while (sqlite3_step(q) == SQLITE_ROW) {
                    const QString name =
                        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(q, 0)));
                    if (name.toLower() == key)
                        table = name;
                }
            sqlite3_finalize(q);
        }
        QStringList checks;
        sqlite3_stmt* info = nullptr;
        const QString pragma =
            QStringLiteral("PRAGMA %1.table_info(%2)").arg(Quoted(schema), Quoted(table));
        if (sqlite3_prepare_v2(db, pragma.toUtf8().constData(), -1, &info, nullptr) == SQLITE_OK) {
            while (sqlite3_step(info) == SQLITE_ROW) {
                const QString column =
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info, 1)));
                const QString type =
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info, 2)));
                const QRegularExpressionMatch m = varchar.match(type);
                if (!m.hasMatch())
                    continue;
                QString literal = column;
                literal.replace(QLatin1Char('\''), QStringLiteral("''"));
                checks << QStringLiteral("tv_fits(NEW.%1,'%2',%3)")
                              .arg(Quoted(column), literal, m.captured(1));
            }
        }
        sqlite3_finalize(info);
        if (checks.isEmpty())
            return;
        const QString target = Quoted(schema) + QLatin1Char('.') + Quoted(table);
        const QString body =
            QStringLiteral(" BEGIN SELECT %1; END").arg(checks.join(QLatin1Char(',')));
        for (const char* kind : {"INSERT", "UPDATE"}) {
            const QString name = QStringLiteral("tv_fit_") + schema +
                                 (kind[0] == 'I' ? QStringLiteral("_ins") : QStringLiteral("_upd"));
            const QString sql = QStringLiteral("CREATE TEMP TRIGGER %1 BEFORE %2 ON %3")
                                    .arg(Quoted(name), QLatin1String(kind), target) +
                                body;
            char* err = nullptr;
            if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
                const QString msg = QString::fromUtf8(err ? err : "");
                sqlite3_free(err);
                Detach(key);
                Fail(QStringLiteral("テーブル %1 を開けません: %2").arg(NativePath(file), msg));
            }
        }
    }

    // Makes sure the named tables that exist in the folder are attached and current.
    void EnsureTables(const QStringList& tables) {
        for (const QString& table : tables) {
            const QString key = table.toLower();
            auto it = attached.find(key);
            // Inside a transaction the tables were checked when it began.
            if (it != attached.end() && txDepth > 0)
                continue;
            if (it != attached.end()) {
                FileId id;
                if (StatFile(it->file, &id) && id == it->id)
                    continue;
                // Deleted or replaced since it was attached.
                if (txDepth > 0)
                    continue; // cannot re-attach inside a transaction; the statement will tell
                Detach(key);
            }
            if (txDepth > 0) {
                // Tables are attached when the transaction begins; one named now that was not
                // there then is reported for what it is.
                const QString file = FindFileNoCase(folder, table + QStringLiteral(".DB"));
                if (!file.isEmpty()) {
                    const QString failure = attachFailures.value(key);
                    if (!failure.isEmpty())
                        Fail(failure);
                    const QString reason = ForeignFileReason(file);
                    if (!reason.isEmpty())
                        Fail(QStringLiteral("テーブルファイル %1 は%2")
                                 .arg(NativePath(file), reason));
                    if (!declared.isEmpty())
                        Fail(QStringLiteral("テーブル %1 はこのトランザクションで使うテーブル（%2）"
                                            "に含まれていないため、使えません")
                                 .arg(table, declared.join(QStringLiteral(", "))));
                    Fail(QStringLiteral("データフォルダ %1 にはテーブルが多すぎるため、テーブル %2 "
                                        "をこのトランザクションで開けませんでした")
                             .arg(NativePath(folder), table));
                }
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
    void AttachAll() {
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
        for (const QString& key : keys) {
            FileId id;
            if (!StatFile(attached[key].file, &id) || !(id == attached[key].id))
                Detach(key);
        }
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
    void AttachDeclared(const QStringList& tables) {
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
};

[[noreturn]] void FailMainFile(const QString& folder, const QString& cause) {
    Fail(QStringLiteral("データフォルダ %1 の管理ファイルに書き込めません（%2: %3）。"
                        "このファイルを削除するか、書き込めるようにしてください")
             .arg(NativePath(folder), NativePath(folder + kMainFileName), cause));
}

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
    const int rc =
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    QString cause;
    if (rc != SQLITE_OK)
        cause = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    else if (sqlite3_db_readonly(db, "main") == 1)
        cause = QStringLiteral("読み取り専用です");
    else if (sqlite3_exec(db, "PRAGMA main.schema_version", nullptr, nullptr, nullptr) != SQLITE_OK)
        cause = QString::fromUtf8(sqlite3_errmsg(db));
    if (!cause.isEmpty()) {
        sqlite3_close_v2(db);
        FailMainFile(folder, cause);
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
        if (sqlite3_open_v2(QFile::encodeName(table).constData(), &db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK)
            sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db);
    }
    if (!tableJournals().isEmpty())
        return;
    for (const QString& e :
         dir.entryList({kMainFileName + QStringLiteral("-mj*")}, QDir::Files | QDir::Hidden))
        QFile::remove(folder + e);
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

// The connection of a folder. Plain statements need no main database of their own; a
// transaction does (see the top of this file), and gets one the first time one begins.
std::shared_ptr<Connection> GetConnection(const QString& folder, bool forTransaction = false) {
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
        rc = sqlite3_open_v2(":memory:", &conn->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
        if (rc != SQLITE_OK)
            Fail(QStringLiteral("データベースを開けません"));
    }
    sqlite3_extended_result_codes(conn->db, 1);
    sqlite3_busy_timeout(conn->db, 5000);
    RegisterFunctions(conn->db);
    connections[key] = conn;
    return conn;
}

QString SqlFailure(Connection& conn, int rc, const QString& sql) {
    if (!g_functionError.isEmpty())
        return g_functionError;
    const QString msg = conn.ErrorText();
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("テーブルが他のプログラムで使用中です: %1").arg(msg);
    case SQLITE_FULL:
        return QStringLiteral("ディスクに空きがないため書き込めません: %1").arg(msg);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return QStringLiteral("データフォルダ %1 のテーブルに書き込めません: %2")
            .arg(NativePath(conn.folder), msg);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("データフォルダ %1 のテーブルが壊れています: %2")
            .arg(NativePath(conn.folder), msg);
    case SQLITE_IOERR:
        return QStringLiteral("テーブルの読み書きに失敗しました: %1").arg(msg);
    default:
        return QStringLiteral("SQL エラー: %1\n%2").arg(msg, sql);
    }
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

// Database names bound to the folder of an open transaction: name -> (folder, transactions).
QHash<QString, QPair<QString, int>>& PinnedNames() {
    static QHash<QString, QPair<QString, int>> pinned;
    return pinned;
}
// Raised by CloseAllConnections, which forgets every binding.
int g_pinGeneration = 0;

// The engine's own name of an index over `columns`.
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

bool IsIdentifier(const QString& name) {
    if (name.isEmpty())
        return false;
    for (QChar c : name)
        if (!IsWordChar(c))
            return false;
    return true;
}

} // namespace

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
    const QString folder = ResolveDatabaseFolder(databaseName);
    if (!IsIdentifier(tableName))
        Fail(QStringLiteral("テーブル名 '%1' は使えません").arg(tableName));
    if (fields.empty())
        Fail(QStringLiteral("テーブル %1 に列がありません").arg(tableName));
    if (!QFileInfo(folder).isDir())
        Fail(QStringLiteral("データフォルダ %1 がありません").arg(NativePath(folder)));
    const QString fileName = tableName + QStringLiteral(".DB");
    if (FileExistsNoCase(folder + fileName))
        Fail(QStringLiteral("テーブル %1 は既にあります").arg(tableName));

    QStringList columns;
    QSet<QString> seen;
    for (const FieldDef& f : fields) {
        if (!IsIdentifier(f.name))
            Fail(QStringLiteral("列名 '%1' は使えません").arg(f.name));
        if (seen.contains(f.name.toLower()))
            Fail(QStringLiteral("列名 %1 が重複しています").arg(f.name));
        seen.insert(f.name.toLower());
        const QString q = Quoted(f.name);
        switch (f.type) {
        case FieldType::String:
            if (f.size <= 0)
                Fail(QStringLiteral("列 %1 の大きさが正しくありません").arg(f.name));
            columns << QStringLiteral("%1 VARCHAR(%2)").arg(q, QString::number(f.size));
            break;
        case FieldType::Integer:
            columns << q + QStringLiteral(" INTEGER");
            break;
        case FieldType::Boolean:
            columns << q + QStringLiteral(" BOOLEAN");
            break;
        case FieldType::Double:
            columns << q + QStringLiteral(" DOUBLE");
            break;
        case FieldType::Date:
            columns << q + QStringLiteral(" DATE");
            break;
        }
    }
    QString sql = QStringLiteral("CREATE TABLE %1 (%2)")
                      .arg(Quoted(tableName), columns.join(QStringLiteral(", ")));
    for (const QStringList& index : indexes)
        sql += QStringLiteral(";\n") + IndexSql(tableName, index);

    // Built under a temporary name and renamed, so the folder never holds a half-made table.
    const QString temp = folder + QLatin1Char('.') + fileName + QStringLiteral(".creating");
    QFile::remove(temp);
    QFile::remove(temp + QStringLiteral("-journal"));
    sqlite3* db = nullptr;
    int rc =
        sqlite3_open_v2(QFile::encodeName(temp).constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
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
        Fail(QStringLiteral("テーブル %1 を作成できません（%2）: %3")
                 .arg(tableName, NativePath(folder), error));
    }
    if (!QFile::rename(temp, folder + fileName)) {
        QFile::remove(temp);
        Fail(QStringLiteral("テーブル %1 を作成できません: %2 に書き込めません")
                 .arg(tableName, NativePath(folder + fileName)));
    }
}

void UpgradeTable(const QString& databaseName, const QString& tableName,
                  const std::vector<FieldDef>& fields, const std::vector<QStringList>& indexes) {
    const QString folder = FolderKey(ResolveDatabaseFolder(databaseName));
    const QString file = FindFileNoCase(folder, tableName + QStringLiteral(".DB"));
    FileId id;
    if (file.isEmpty() || !StatFile(file, &id))
        return;
    // Checked once per file and process; a file replaced meanwhile is checked again.
    static QSet<QString> checked;
    const QString seen =
        QStringLiteral("%1|%2|%3").arg(file, QString::number(id.dev), QString::number(id.ino));
    if (checked.contains(seen))
        return;
    auto& connections = Connections();
    const auto pooled = connections.find(folder);
    if (pooled != connections.end() && pooled->second->txDepth > 0)
        return;
    if (!ForeignFileReason(file).isEmpty())
        return; // reported when a statement names the table

    sqlite3* db = nullptr;
    auto fail = [&](const QString& cause) {
        if (db && !sqlite3_get_autocommit(db))
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db);
        Fail(QStringLiteral("テーブル %1 を更新できません: %2").arg(NativePath(file), cause));
    };
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
        fail(QString::fromUtf8(db ? sqlite3_errmsg(db) : "open"));
    sqlite3_busy_timeout(db, 5000);
    sqlite3_extended_result_codes(db, 1);
    auto errorText = [&] { return QString::fromUtf8(sqlite3_errmsg(db)); };

    // The stored table: its own spelling of the name, its columns and their declared types.
    QString table;
    QStringList names, types;
    QStringList existingIndexes;
    {
        sqlite3_stmt* q = nullptr;
        if (sqlite3_prepare_v2(db, "select type, name from sqlite_master", -1, &q, nullptr) !=
            SQLITE_OK)
            fail(errorText());
        int rc;
        while ((rc = sqlite3_step(q)) == SQLITE_ROW) {
            const QString type =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(q, 0)));
            const QString name =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(q, 1)));
            if (type == QLatin1String("table") && name.compare(tableName, Qt::CaseInsensitive) == 0)
                table = name;
            else if (type == QLatin1String("index"))
                existingIndexes << name.toLower();
        }
        sqlite3_finalize(q);
        if (rc != SQLITE_DONE)
            fail(errorText());
    }
    if (table.isEmpty()) {
        sqlite3_close_v2(db);
        return; // not our table: reported when a statement names it
    }
    {
        sqlite3_stmt* q = nullptr;
        const QByteArray pragma =
            QStringLiteral("PRAGMA table_info(%1)").arg(Quoted(table)).toUtf8();
        if (sqlite3_prepare_v2(db, pragma.constData(), -1, &q, nullptr) != SQLITE_OK)
            fail(errorText());
        while (sqlite3_step(q) == SQLITE_ROW) {
            names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(q, 1)));
            types << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(q, 2)));
        }
        sqlite3_finalize(q);
    }
    static const QRegularExpression varchar(
        QStringLiteral("^\\s*VARCHAR\\s*\\(\\s*([0-9]+)\\s*\\)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    bool widen = false;
    QStringList columns;
    for (int i = 0; i < names.size(); ++i) {
        QString type = types.at(i);
        const QRegularExpressionMatch m = varchar.match(type);
        for (const FieldDef& f : fields) {
            if (f.type != FieldType::String ||
                f.name.compare(names.at(i), Qt::CaseInsensitive) != 0 || !m.hasMatch() ||
                m.captured(1).toInt() >= f.size)
                continue;
            type = QStringLiteral("VARCHAR(%1)").arg(QString::number(f.size));
            widen = true;
        }
        columns << Quoted(names.at(i)) + QLatin1Char(' ') + type;
    }
    QStringList missing;
    for (const QStringList& index : indexes)
        if (!existingIndexes.contains(IndexName(tableName, index).toLower()))
            missing << IndexSql(table, index);

    if (widen || !missing.isEmpty()) {
        // The pooled connection holds the column sizes of the table it attached: let go of it.
        if (pooled != connections.end())
            pooled->second->Detach(tableName.toLower());
        if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(errorText());
        if (widen) {
            // A wider VARCHAR keeps the column's text affinity: only the declaration in the
            // schema changes, not one stored byte, so the declaration is rewritten where it is.
            const QString create = QStringLiteral("CREATE TABLE %1 (%2)")
                                       .arg(Quoted(table), columns.join(QStringLiteral(", ")));
            int version = 0;
            sqlite3_stmt* q = nullptr;
            if (sqlite3_prepare_v2(db, "PRAGMA schema_version", -1, &q, nullptr) == SQLITE_OK &&
                sqlite3_step(q) == SQLITE_ROW)
                version = sqlite3_column_int(q, 0);
            sqlite3_finalize(q);
            sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 0, nullptr);
            sqlite3_exec(db, "PRAGMA writable_schema=ON", nullptr, nullptr, nullptr);
            q = nullptr;
            int rc = sqlite3_prepare_v2(
                db, "update sqlite_master set sql=?1 where type='table' and name=?2", -1, &q,
                nullptr);
            if (rc == SQLITE_OK) {
                const QByteArray c = create.toUtf8();
                const QByteArray t = table.toUtf8();
                sqlite3_bind_text(q, 1, c.constData(), c.size(), SQLITE_TRANSIENT);
                sqlite3_bind_text(q, 2, t.constData(), t.size(), SQLITE_TRANSIENT);
                rc = sqlite3_step(q) == SQLITE_DONE ? SQLITE_OK : SQLITE_ERROR;
            }
            sqlite3_finalize(q);
            const QString cause = errorText();
            if (rc == SQLITE_OK)
                rc = sqlite3_exec(db,
                                  QStringLiteral("PRAGMA schema_version=%1")
                                      .arg(QString::number(version + 1))
                                      .toUtf8()
                                      .constData(),
                                  nullptr, nullptr, nullptr);
            sqlite3_exec(db, "PRAGMA writable_schema=OFF", nullptr, nullptr, nullptr);
            if (rc != SQLITE_OK)
                fail(cause);
        }
        for (const QString& sql : std::as_const(missing))
            if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
                fail(errorText());
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(errorText());
    }
    sqlite3_close_v2(db);
    checked.insert(seen);
}

void CloseAllConnections() {
    auto& connections = Connections();
    for (auto& entry : connections)
        entry.second->Close();
    connections.clear();
    PinnedNames().clear();
    ++g_pinGeneration;
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

    // Runs the statement; collects the rows when `rows` is set.
    void Run(bool rows);
};

void TQuery::Impl::Run(bool wantRows) {
    if (sql.trimmed().isEmpty())
        Fail(QStringLiteral("SQL 文がありません"));
    for (const TParam& p : params)
        if (!p.set_)
            Fail(QStringLiteral("パラメータ '%1' に値が設定されていません").arg(p.name_));

    const QString folder = ResolveDatabaseFolder(database);
    std::shared_ptr<Connection> conn = GetConnection(folder);
    CheckUsable(*conn);
    conn->EnsureTables(parsed->tableRefs);

    auto it = conn->statements.find(sql);
    if (it == conn->statements.end()) {
        if (conn->statements.size() >= kStatementCacheSize)
            conn->ClearStatements();
        Statement s;
        const QByteArray utf8 = sql.toUtf8();
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v3(conn->db, utf8.constData(), utf8.size(),
                                          SQLITE_PREPARE_PERSISTENT, &s.stmt, &tail);
        if (rc != SQLITE_OK || !s.stmt) {
            const QString msg = conn->ErrorText();
            sqlite3_finalize(s.stmt);
            if (rc == SQLITE_OK)
                Fail(QStringLiteral("SQL 文がありません"));
            const QString noTable = QStringLiteral("no such table: ");
            if (msg.startsWith(noTable)) {
                QString table = msg.mid(noTable.size());
                const int dot = table.indexOf(QLatin1Char('.'));
                if (dot >= 0)
                    table = table.mid(dot + 1);
                Fail(QStringLiteral("テーブル %1 が見つかりません（データフォルダ %2）")
                         .arg(table, NativePath(conn->folder)));
            }
            Fail(QStringLiteral("SQL エラー: %1\n%2").arg(msg, sql));
        }
        if (tail && QString::fromUtf8(tail).trimmed().size() > 0) {
            sqlite3_finalize(s.stmt);
            Fail(QStringLiteral("SQL 文は一度に一つだけ実行できます\n%1").arg(sql));
        }
        const int count = sqlite3_bind_parameter_count(s.stmt);
        for (int i = 1; i <= count; ++i) {
            const char* raw = sqlite3_bind_parameter_name(s.stmt, i);
            const QString name = raw ? QString::fromUtf8(raw + 1) : QString();
            int index = -1;
            for (int k = 0; k < parsed->params.size(); ++k)
                if (parsed->params.at(k).compare(name, Qt::CaseInsensitive) == 0) {
                    index = k;
                    break;
                }
            s.paramIndex.push_back(index);
        }
        it = conn->statements.insert(sql, s);
    }
    sqlite3_stmt* st = it->stmt;
    const std::vector<int>& paramIndex = it->paramIndex;
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    for (size_t i = 0; i < paramIndex.size(); ++i)
        if (paramIndex[i] >= 0)
            BindValue(st, static_cast<int>(i) + 1,
                      params[static_cast<size_t>(paramIndex[i])].value_);

    const int columns = sqlite3_column_count(st);
    columnNames.clear();
    values.clear();
    rowCount = 0;
    if (wantRows)
        values.reserve(static_cast<size_t>(columns) * 64);
    if (wantRows)
        for (int c = 0; c < columns; ++c)
            columnNames << QString::fromUtf8(sqlite3_column_name(st, c));
    g_functionError.clear();
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (!wantRows)
            continue;
        for (int c = 0; c < columns; ++c)
            values.push_back(ColumnValue(st, c));
        ++rowCount;
    }
    if (rc != SQLITE_DONE) {
        const QString message = SqlFailure(*conn, rc, sql);
        sqlite3_reset(st);
        g_functionError.clear();
        NoteFailure(*conn, rc);
        values.clear();
        rowCount = 0;
        Fail(message);
    }
    sqlite3_reset(st);
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
    QString pinned; // the database name bound to the folder while this transaction is open
    int pinGeneration = 0;

    void Unpin() {
        if (pinned.isEmpty() || pinGeneration != g_pinGeneration)
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
        d->pinGeneration = g_pinGeneration;
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
    if (!d->done && d->level != d->conn->txDepth)
        Fail(QStringLiteral("内側のトランザクションが終わっていません"));
    d->Finish(true);
}

void TTransaction::Rollback() {
    if (d->done)
        return;
    d->Finish(false);
}

} // namespace tv
