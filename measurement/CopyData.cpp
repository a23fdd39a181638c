#include "measurement/CopyData.h"

#include "measurement/ParadoxImport.h"
#include "measurement/uRokuma.h"
#include "platform/Errors.h"
#include "platform/TableEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
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

void SetParam(TParam& p, const TField& f, FieldType type) {
    if (f.IsNull()) {
        p.SetNull();
        return;
    }
    switch (type) {
    case FieldType::String:
        p.SetAsString(f.AsString());
        break;
    case FieldType::Integer:
        p.SetAsInteger(f.AsInteger());
        break;
    case FieldType::Boolean:
        p.SetAsBoolean(f.AsBoolean());
        break;
    case FieldType::Double:
        p.SetAsFloat(f.AsFloat());
        break;
    case FieldType::Date:
        p.SetAsDate(f.AsDate());
        break;
    }
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
            SetParam(write.Params(static_cast<int>(k)), read.Fields(from[k]), types[k]);
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

// Into a folder: the tables are made in a hidden folder beside DEST, renamed to DEST when
// complete, so DEST never holds part of a copy.
QStringList CopyIntoFolder(const QString& source, const QString& dest) {
    const QString target = dest.chopped(1);
    const QString temp = QStringLiteral("%1/.%2.copying-%3")
                             .arg(QFileInfo(target).absolutePath(), QFileInfo(target).fileName(),
                                  QString::number(QRandomGenerator::global()->generate(), 16));
    if (!QDir().mkpath(temp))
        throw EngineError(QStringLiteral("コピー先のフォルダ %1 を作成できません")
                              .arg(QDir::toNativeSeparators(temp)));
    QStringList lines;
    try {
        const QString tempFolder = temp + QLatin1Char('/');
        {
            std::unique_ptr<TTransaction> read;
            if (IsServerDatabase(source))
                read = std::make_unique<TTransaction>(source);
            lines = CopyTables(source, tempFolder);
        }
        CloseAllConnections();
        QFile::remove(tempFolder + QStringLiteral(".tavelon-engine.sqlite"));
        // An empty DEST is replaced in the same step.
        if (QFileInfo::exists(target) && !QDir().rmdir(target))
            throw EngineError(QStringLiteral("コピー先のフォルダ %1 は空ではありません")
                                  .arg(QDir::toNativeSeparators(target)));
        if (!QDir().rename(temp, target))
            throw EngineError(QStringLiteral("コピー先のフォルダ %1 を作成できません")
                                  .arg(QDir::toNativeSeparators(target)));
    } catch (...) {
        CloseAllConnections();
        QDir(temp).removeRecursively();
        throw;
    }
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
        if (info.exists() &&
            !QDir(dest)
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                 .isEmpty())
            return QStringLiteral("コピー先のフォルダ %1 は空ではありません（空のフォルダか、"
                                  "まだないフォルダを指定してください）")
                .arg(QDir::toNativeSeparators(dest));
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
    if (!IsServerDatabase(dest))
        return CopyIntoFolder(src, dest);
    // Into a server: one transaction, which also holds off other writers; the tables are made
    // inside it, so a failure or a killed copy leaves none of them.
    return CopyTables(src, dest);
}

} // namespace tv
