#include "measurement/CopyData.h"

#include "measurement/ParadoxImport.h"
#include "measurement/uRokuma.h"
#include "platform/Errors.h"
#include "platform/SafeOutput.h"
#include "platform/TableEngine.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

namespace tv {
namespace {

// The tables as the program makes them today (the header with its save count and time).
std::vector<TImportTable> Tables() {
    std::vector<TImportTable> tables = TParadoxImport::TableDefinitions();
    for (TImportTable& t : tables)
        if (t.Name == QLatin1String("RokumaKanri"))
            for (const FieldDef& f : TRokumaKanri::StampFields())
                t.Columns.push_back(f);
    return tables;
}

// A folder address as the engine takes it, ending in '/'.
QString FolderOf(const QString& address) {
    QString folder = QDir::cleanPath(QFileInfo(address).absoluteFilePath());
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString Address(const QString& text) {
    return IsServerDatabase(text) ? text.trimmed() : FolderOf(text);
}

int CountRows(const QString& db, const QString& table) {
    TQuery q(db);
    q.AddSQL(QStringLiteral("select count(*) from ") + table);
    q.Open();
    return q.Fields(0).AsInteger();
}

// Writes every row of SRC's table into DEST's; the number of rows.
int CopyTable(const QString& source, const QString& dest, const TImportTable& t) {
    TQuery read(source);
    read.AddSQL(QStringLiteral("select * from ") + t.Name);
    read.Open();
    // The columns both have (a table made before a column was added lacks it: left null).
    QStringList names, params;
    std::vector<int> from;
    std::vector<FieldType> types;
    for (const FieldDef& c : t.Columns)
        for (int i = 0; i < read.FieldCount(); ++i)
            if (read.Fields(i).Name().compare(c.name, Qt::CaseInsensitive) == 0) {
                names << c.name;
                params << QStringLiteral(":P%1").arg(names.size());
                from.push_back(i);
                types.push_back(c.type);
                break;
            }
    TQuery write(dest);
    write.AddSQL(QStringLiteral("insert into %1 (%2) values (%3)")
                     .arg(t.Name, names.join(QLatin1Char(',')), params.join(QLatin1Char(','))));
    int rows = 0;
    for (; !read.Eof(); read.Next(), ++rows) {
        for (size_t k = 0; k < from.size(); ++k)
            write.Params(static_cast<int>(k)).SetValue(read.Fields(from[k]).AsType(types[k]));
        try {
            write.ExecSQL();
        } catch (const TError& e) {
            throw EngineError(QStringLiteral("テーブル %1 のレコード %2 を書き込めません: %3")
                                  .arg(t.Name, QString::number(rows + 1), e.Message()));
        }
    }
    return rows;
}

// Creates in DEST every table SRC has and copies the rows, all in one transaction on DEST (a
// folder's tables are made before it begins, a server's inside it).
QStringList CopyTables(const QString& source, const QString& dest) {
    QStringList lines;
    std::vector<TImportTable> present;
    QStringList names;
    for (const TImportTable& t : Tables()) {
        if (TableExists(source, t.Name)) {
            present.push_back(t);
            names << t.Name;
        }
    }
    const bool server = IsServerDatabase(dest);
    if (!server)
        for (const TImportTable& t : present)
            CreateTable(dest, t.Name, t.Columns, t.Indexes);
    TTransaction transaction(dest, server ? QStringList() : names);
    for (const TImportTable& t : Tables()) {
        if (!names.contains(t.Name)) {
            lines << QStringLiteral("%1: なし（コピー元にありません）").arg(t.Name);
            continue;
        }
        if (server) {
            // Checked again under the writer lock: another copy may have come first.
            if (TableExists(dest, t.Name))
                throw EngineError(
                    QStringLiteral("コピー先には既にテーブル %1 があります").arg(t.Name));
            CreateTable(dest, t.Name, t.Columns, t.Indexes);
        }
        const int rows = CopyTable(source, dest, t);
        const int stored = CountRows(dest, t.Name);
        if (stored != rows || CountRows(source, t.Name) != rows)
            throw EngineError(QStringLiteral("テーブル %1 の件数が合いません（コピー元 %2 件、"
                                             "コピー先 %3 件）")
                                  .arg(t.Name, QString::number(rows), QString::number(stored)));
        lines << QStringLiteral("%1: %2").arg(t.Name, QString::number(rows));
    }
    transaction.Commit();
    return lines;
}

} // namespace

QString CopyDestinationProblem(const QString& destination) {
    const QString dest = Address(destination);
    if (!IsServerDatabase(dest)) {
        const QFileInfo info(dest.chopped(1));
        if (info.exists() && !info.isDir())
            return QStringLiteral("コピー先 %1 はフォルダではありません")
                .arg(QDir::toNativeSeparators(dest));
        if (!info.exists())
            return QString();
        // The tables a killed copy had begun to move in are taken back first.
        RemoveStagingLeftovers(dest);
        // A table's file or what SQLite keeps beside it ("-journal", "-wal") counts as the table.
        QStringList present;
        const QStringList entries =
            QDir(dest).entryList(QDir::AllEntries | QDir::Hidden | QDir::System, QDir::Name);
        for (const TImportTable& t : Tables())
            for (const QString& e : entries)
                if (e.compare(t.Name + QStringLiteral(".DB"), Qt::CaseInsensitive) == 0 ||
                    e.startsWith(t.Name + QStringLiteral(".DB-"), Qt::CaseInsensitive))
                    present << e;
        if (!present.isEmpty())
            return QStringLiteral("コピー先のフォルダ %1 には既にテーブルがあります（%2）。"
                                  "テーブルのないフォルダか、まだないフォルダを指定してください")
                .arg(QDir::toNativeSeparators(dest), present.join(QStringLiteral(", ")));
        return QString();
    }
    for (const TImportTable& t : Tables())
        if (TableExists(dest, t.Name))
            return QStringLiteral("コピー先には既にテーブル %1 があります（テーブルのない"
                                  "データベースを指定してください）")
                .arg(t.Name);
    return QString();
}

QStringList CopyData(const QString& source, const QString& destination) {
    const QString src = Address(source);
    const QString dest = Address(destination);
    if (src == dest)
        throw EngineError(QStringLiteral("コピー元とコピー先が同じです"));
    if (!IsServerDatabase(src) && !QFileInfo(src).isDir())
        throw EngineError(QStringLiteral("コピー元のフォルダ %1 がありません")
                              .arg(QDir::toNativeSeparators(src)));
    const QString problem = CopyDestinationProblem(dest);
    if (!problem.isEmpty())
        throw EngineError(problem);
    if (IsServerDatabase(dest))
        // Into a server: one transaction, which also holds off other writers; the tables are
        // made inside it, so a failure or a killed copy leaves none of them.
        return CopyTables(src, dest);
    // Into a folder: the tables are made and filled beside it and appear there all at once.
    QStringList lines;
    BuildFolderAtomically(dest, [&](const QString& staging) {
        // A server source is read in one transaction, so the copy is of one moment.
        std::unique_ptr<TTransaction> read;
        if (IsServerDatabase(src))
            read = std::make_unique<TTransaction>(src);
        lines = CopyTables(src, staging);
    });
    return lines;
}

} // namespace tv
