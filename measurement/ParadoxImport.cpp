#include "measurement/ParadoxImport.h"

#include "measurement/uRokuma.h"
#include "platform/Cp932.h"
#include "platform/ParadoxTable.h"
#include "platform/SafeOutput.h"
#include "registers/uHacchusya.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"
#include "registers/uUkeoisya.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tv {

namespace {

struct TableDef {
    const char* name;
    std::vector<FieldDef> (*fields)();
    std::vector<QStringList> (*indexes)(); // none for the registers
};

// The nine tables with the columns and indexes their register and record classes create.
const std::vector<TableDef>& Definitions() {
    static const std::vector<TableDef> defs = {
        {"RokumaKanri", &TRokumaKanri::Fields, &TRokumaKanri::Indexes},
        {"RokumaLine", &TRokumaLine::Fields, &TRokumaLine::Indexes},
        {"RokumaData", &TRokumaData::Fields, &TRokumaData::Indexes},
        {"Koji1", &TKoji::Fields, nullptr},
        {"Kosyu4", &TKosyu::Fields, nullptr},
        {"KIKAKUTI4", &TKikakuti4::Fields, nullptr},
        {"Hacchusya", &THacchusya::Fields, nullptr},
        {"Ukeoisya", &TUkeoisya::Fields, nullptr},
        {"Simei", &TSimei::Fields, nullptr}};
    return defs;
}

QString WithSeparator(const QString& folder) {
    QString f = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!f.endsWith(QLatin1Char('/')))
        f += QLatin1Char('/');
    return f;
}

// The entry of the folder named as the file, without regard to case; empty when there is none.
QString FindNoCase(const QStringList& entries, const QString& fileName) {
    for (const QString& e : entries)
        if (e.compare(fileName, Qt::CaseInsensitive) == 0)
            return e;
    return QString();
}

QString TypeText(FieldType type) {
    switch (type) {
    case FieldType::String:
        return QStringLiteral("Alpha");
    case FieldType::Integer:
        return QStringLiteral("Long / Short");
    case FieldType::Boolean:
        return QStringLiteral("Logical");
    case FieldType::Double:
        return QStringLiteral("Number");
    case FieldType::Date:
        return QStringLiteral("Date");
    }
    return QString();
}

bool Accepts(FieldType column, int paradoxType) {
    switch (column) {
    case FieldType::String:
        return paradoxType == paradox::Alpha;
    case FieldType::Integer:
        return paradoxType == paradox::Long || paradoxType == paradox::Short ||
               paradoxType == paradox::AutoInc;
    case FieldType::Boolean:
        return paradoxType == paradox::Logical;
    case FieldType::Double:
        return paradoxType == paradox::Number || paradoxType == paradox::Currency;
    case FieldType::Date:
        return paradoxType == paradox::Date;
    }
    return false;
}

// Reads the table file into t (its columns already set). Raises EngineError with the reason.
void ReadTable(const QString& path, TImportTable& t) {
    const ParadoxTable table = ParadoxTable::Read(path);
    const std::vector<ParadoxField>& fields = table.Fields();

    // Our column -> the field of the file.
    std::vector<const ParadoxField*> source;
    QStringList problems;
    for (const FieldDef& c : t.Columns) {
        const ParadoxField* match = nullptr;
        for (const ParadoxField& f : fields)
            if (f.name.compare(c.name, Qt::CaseInsensitive) == 0) {
                if (match)
                    problems << QStringLiteral("フィールド %1 が二つあります").arg(f.name);
                match = &f;
            }
        if (!match)
            problems << QStringLiteral("フィールド %1 がありません").arg(c.name);
        else if (!Accepts(c.type, match->type))
            problems << QStringLiteral("フィールド %1 が %2 型です（%3 型のはずです）")
                            .arg(match->name, paradox::TypeName(match->type), TypeText(c.type));
        source.push_back(match);
    }
    for (const ParadoxField& f : fields) {
        bool ours = false;
        for (const FieldDef& c : t.Columns)
            ours = ours || f.name.compare(c.name, Qt::CaseInsensitive) == 0;
        if (!ours)
            problems << QStringLiteral("余分なフィールド %1（%2 型）があります")
                            .arg(f.name, paradox::TypeName(f.type));
    }
    if (!problems.isEmpty())
        throw EngineError(problems.join(QStringLiteral("、")));

    const int columns = static_cast<int>(t.Columns.size());
    const int rows = table.RecordCount();
    t.Values.clear();
    t.Values.reserve(static_cast<size_t>(rows) * static_cast<size_t>(columns));
    for (int r = 0; r < rows; ++r) {
        const char* record = table.Record(r);
        for (int c = 0; c < columns; ++c) {
            const FieldDef& column = t.Columns[static_cast<size_t>(c)];
            const ParadoxField& f = *source[static_cast<size_t>(c)];
            const char* p = record + f.offset;
            const auto bad = [&](const QString& what) {
                return EngineError(QStringLiteral("レコード %1 の列 %2: %3")
                                       .arg(QString::number(r + 1), column.name, what));
            };
            QVariant value;
            switch (column.type) {
            case FieldType::String: {
                const int length = paradox::AlphaLength(p, f.size);
                if (length == 0)
                    break;
                int badOffset = 0;
                const std::optional<QString> text = Cp932Decode(p, length, &badOffset);
                if (!text)
                    throw bad(
                        QStringLiteral("文字が Shift-JIS（コードページ 932）として正しく"
                                       "ありません（%1 バイト目 0x%2）")
                            .arg(QString::number(badOffset + 1),
                                 QStringLiteral("%1").arg(static_cast<unsigned char>(p[badOffset]),
                                                          2, 16, QLatin1Char('0'))));
                if (length > column.size)
                    throw bad(
                        QStringLiteral("'%1' は %2 バイトで、列の %3 バイトに入りません")
                            .arg(*text, QString::number(length), QString::number(column.size)));
                value = *text;
                break;
            }
            case FieldType::Integer: {
                qint64 v = 0;
                if (paradox::ReadInteger(p, f.size, &v))
                    value = static_cast<int>(v);
                break;
            }
            case FieldType::Boolean: {
                bool v = false, valid = true;
                if (paradox::ReadLogical(p, &v, &valid))
                    value = v;
                else if (!valid)
                    throw bad(QStringLiteral("Logical の値 0x%1 は正しくありません")
                                  .arg(static_cast<unsigned char>(*p), 2, 16, QLatin1Char('0')));
                break;
            }
            case FieldType::Double: {
                double v = 0;
                if (paradox::ReadNumber(p, &v))
                    value = v;
                break;
            }
            case FieldType::Date: {
                QDate v;
                if (paradox::ReadDate(p, &v)) {
                    if (!v.isValid() || v.year() < 1 || v.year() > 9999)
                        throw bad(QStringLiteral("日付が正しくありません"));
                    value = v;
                }
                break;
            }
            }
            t.Values.push_back(std::move(value));
        }
    }
    t.Rows = rows;
}

// Writes every row of the table read into its new table in the folder.
void InsertRows(const QString& folder, const TImportTable& t) {
    QStringList names, params;
    for (const FieldDef& c : t.Columns) {
        names << c.name;
        params << QLatin1Char(':') + c.name;
    }
    TQuery insert(folder);
    insert.AddSQL(QStringLiteral("insert into %1 (%2) values (%3)")
                      .arg(t.Name, names.join(QLatin1Char(',')), params.join(QLatin1Char(','))));
    const size_t columns = t.Columns.size();
    for (int r = 0; r < t.Rows; ++r) {
        const QVariant* row = t.Values.data() + static_cast<size_t>(r) * columns;
        // The values read are already of their columns' types.
        for (size_t c = 0; c < columns; ++c)
            insert.Params(static_cast<int>(c)).SetValue(row[c]);
        try {
            insert.ExecSQL();
        } catch (const TError& e) {
            throw EngineError(QStringLiteral("テーブル %1 のレコード %2 を書き込めません: %3")
                                  .arg(t.Name, QString::number(r + 1), e.Message()));
        }
    }
}

} // namespace

QStringList TParadoxImport::TableNames() {
    QStringList names;
    for (const TableDef& d : Definitions())
        names << QString::fromLatin1(d.name);
    return names;
}

std::vector<TImportTable> TParadoxImport::TableDefinitions() {
    std::vector<TImportTable> tables;
    for (const TableDef& d : Definitions()) {
        TImportTable t;
        t.Name = QString::fromLatin1(d.name);
        t.Columns = d.fields();
        if (d.indexes)
            t.Indexes = d.indexes();
        tables.push_back(std::move(t));
    }
    return tables;
}

TParadoxImport::TParadoxImport(const QString& sourceFolder) : source_(WithSeparator(sourceFolder)) {
    const QDir dir(source_);
    if (!QFileInfo(source_).isDir())
        throw EngineError(QStringLiteral("旧データのフォルダ %1 がありません")
                              .arg(QDir::toNativeSeparators(sourceFolder)));
    if (!QFileInfo(source_).isReadable())
        throw EngineError(QStringLiteral("旧データのフォルダ %1 を読めません")
                              .arg(QDir::toNativeSeparators(sourceFolder)));
    const QStringList entries =
        dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (TImportTable& t : TableDefinitions()) {
        t.File = FindNoCase(entries, t.Name + QStringLiteral(".DB"));
        if (t.File.isEmpty()) {
            t.Status = TImportTable::State::Missing;
            t.Message = QStringLiteral("旧データにないため取り込みません");
        } else {
            try {
                ReadTable(source_ + t.File, t);
                t.Status = TImportTable::State::Ready;
            } catch (const TError& e) {
                t.Status = TImportTable::State::Failed;
                t.Values.clear();
                t.Rows = 0;
                // The reader names the file with its folder; the table name is enough here.
                QString message = e.Message();
                const QString prefix =
                    QDir::toNativeSeparators(source_ + t.File) + QStringLiteral(": ");
                if (message.startsWith(prefix))
                    message = message.mid(prefix.size());
                t.Message = message;
            }
        }
        tables_.push_back(std::move(t));
    }
}

QString TParadoxImport::Problem() const {
    bool any = false;
    for (const TImportTable& t : tables_) {
        if (t.Status == TImportTable::State::Failed)
            return QStringLiteral("テーブル %1（%2）は取り込めません: %3")
                .arg(t.Name, t.File, t.Message);
        any = any || t.Status == TImportTable::State::Ready;
    }
    if (!any)
        return QStringLiteral("%1 には旧データのテーブルがありません")
            .arg(QDir::toNativeSeparators(source_));
    return QString();
}

QString TParadoxImport::DestinationProblem(const QString& folder) {
    if (folder.trimmed().isEmpty())
        return QStringLiteral("取り込み先のフォルダを指定してください");
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        return QStringLiteral("取り込み先 %1 はフォルダではありません")
            .arg(QDir::toNativeSeparators(folder));
    if (!info.exists())
        return QString();
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System, QDir::Name);
    QStringList present;
    for (const TableDef& d : Definitions()) {
        const QString found =
            FindNoCase(entries, QString::fromLatin1(d.name) + QStringLiteral(".DB"));
        if (!found.isEmpty())
            present << found;
    }
    if (!present.isEmpty())
        return QStringLiteral("取り込み先 %1 には既にテーブルがあります（%2）。"
                              "テーブルのないフォルダを指定してください")
            .arg(QDir::toNativeSeparators(folder), present.join(QStringLiteral(", ")));
    return QString();
}

QString TParadoxImport::ProposedDestination(const QString& dataFolder) {
    QString base = QDir::cleanPath(QFileInfo(dataFolder).absoluteFilePath());
    if (base.endsWith(QLatin1Char('/')) && base.size() > 1)
        base.chop(1);
    base += QStringLiteral("-旧データ");
    QString candidate = base;
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = base + QStringLiteral("%1").arg(n);
    return QDir::toNativeSeparators(candidate);
}

void TParadoxImport::ImportInto(const QString& destinationFolder) const {
    const QString problem = Problem();
    if (!problem.isEmpty())
        throw EngineError(problem);
    // What a killed import into the same folder left goes before the folder is judged.
    RemoveStagingLeftovers(destinationFolder);
    const QString destProblem = DestinationProblem(destinationFolder);
    if (!destProblem.isEmpty())
        throw EngineError(destProblem);
    if (WithSeparator(destinationFolder) == source_)
        throw EngineError(QStringLiteral("取り込み先は旧データのフォルダとは別にしてください"));

    // The tables are made and filled beside the destination and appear there all at once.
    BuildFolderAtomically(destinationFolder, [this](const QString& staging) {
        QStringList names;
        for (const TImportTable& t : tables_) {
            if (t.Status != TImportTable::State::Ready)
                continue;
            CreateTable(staging, t.Name, t.Columns, t.Indexes);
            names << t.Name;
        }
        TTransaction transaction(staging, names);
        for (const TImportTable& t : tables_)
            if (t.Status == TImportTable::State::Ready && t.Rows > 0)
                InsertRows(staging, t);
        transaction.Commit();
    });
}

} // namespace tv
