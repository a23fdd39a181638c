#include "registers/NameRegister.h"

#include "registers/SaveRow.h"
#include "settings/DataFolder.h"

#include <utility>

namespace tv {
namespace {

// These registers bind their queries to the data folder itself rather than to the database name.
// On a server the database name is the only address.
QString Folder() {
    const QString name = QStringLiteral("KESTRAN");
    return IsServerDatabase(name) ? name : GetDataFolder(name);
}

// The parameter of the column at `index`: ":A", ":B", ...
QString Param(std::size_t index) {
    return QStringLiteral(":") + QChar(u'A' + char16_t(index));
}

} // namespace

TNameRegister::TNameRegister(QString table, QString createdAs, std::vector<FieldDef> fields)
    : table_(std::move(table)), createdAs_(std::move(createdAs)), fields_(std::move(fields)) {}

bool TNameRegister::CheckTable() {
    const QString folder = Folder();
    if (TableExists(folder, table_))
        return true;
    CreateTable(folder, createdAs_, fields_);
    return false;
}

void TNameRegister::ListNames(QStringList& list) {
    list.clear();
    TQuery query(Folder());
    query.AddSQL(QStringLiteral("select * from %1 order by %2").arg(table_, fields_[0].name));
    query.Open();
    while (!query.Eof()) {
        list << query.Fields(0).AsString();
        query.Next();
    }
}

void TNameRegister::FindByName(const QString& name) {
    TQuery query(Folder());
    query.AddSQL(QStringLiteral("select * from %1 where %2=:A").arg(table_, fields_[0].name));
    query.Params(0).SetAsString(name);
    query.Open();
    if (query.Eof()) {
        Clear();
        SetName(name);
        return;
    }
    ReadRow(query);
}

void TNameRegister::Save() {
    if (Name().trimmed().isEmpty())
        return;
    QStringList columns, params, assignments;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        columns << fields_[i].name;
        params << Param(i);
        assignments << fields_[i].name + QLatin1Char('=') + Param(i);
    }
    const QString key = fields_[0].name;
    TQuery query(Folder());
    PrepareSave(query, QStringLiteral("select * from %1 where %2=:A").arg(table_, key), Name(),
                QStringLiteral("update %1 set %2 where %3=:A")
                    .arg(table_, assignments.join(QLatin1Char(',')), key),
                QStringLiteral("insert into %1 (%2) values (%3)")
                    .arg(table_, columns.join(QLatin1Char(',')), params.join(QLatin1Char(','))));
    BindRow(query);
    query.ExecSQL();
}

void TNameRegister::Delete() {
    TQuery query(Folder());
    query.AddSQL(QStringLiteral("delete from %1 where %2=:A").arg(table_, fields_[0].name));
    query.Params(0).SetAsString(Name());
    query.ExecSQL();
}

} // namespace tv
