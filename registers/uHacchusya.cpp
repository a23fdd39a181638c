#include "registers/uHacchusya.h"

#include "platform/TableEngine.h"
#include "registers/SaveRow.h"
#include "settings/DataFolder.h"

namespace tv {
namespace {
// This register binds its queries to the data folder itself rather than to the database name.
QString Folder() {
    return GetDataFolder(QStringLiteral("KESTRAN"));
}
} // namespace

std::vector<FieldDef> THacchusya::Fields() {
    return {{QStringLiteral("HACCHUSYAMEI"), FieldType::String, 32},
            {QStringLiteral("SYOKUSIMEI"), FieldType::String, 32}};
}

bool THacchusya::CheckTable() {
    const QString folder = Folder();
    if (FileExistsNoCase(folder + QStringLiteral("Hacchusya.DB")))
        return true;
    CreateTable(folder, QStringLiteral("Hacchusya"), THacchusya::Fields());
    return false;
}

void THacchusya::Clear() {
    Hacchusyamei.clear();
    SyokuSimei.clear();
}

void THacchusya::ListNames(QStringList& list) {
    list.clear();
    TQuery query(Folder());
    query.AddSQL(QStringLiteral("select * from Hacchusya order by Hacchusyamei"));
    query.Open();
    while (!query.Eof()) {
        list << query.Fields(0).AsString();
        query.Next();
    }
}

void THacchusya::FindByName(const QString& name) {
    TQuery query(Folder());
    query.AddSQL(QStringLiteral("select * from Hacchusya where Hacchusyamei=:A"));
    query.Params(0).SetAsString(name);
    query.Open();
    if (query.Eof()) {
        Clear();
        Hacchusyamei = name;
        return;
    }
    Hacchusyamei = query.Fields(0).AsString();
    SyokuSimei = query.Fields(1).AsString();
}

void THacchusya::Save() {
    if (Hacchusyamei.trimmed().isEmpty())
        return;
    TQuery query(Folder());
    PrepareSave(
        query, QStringLiteral("select * from Hacchusya where Hacchusyamei=:A"), Hacchusyamei,
        QStringLiteral("update Hacchusya set Hacchusyamei=:A,SyokuSimei=:B where Hacchusyamei=:A"),
        QStringLiteral("insert into Hacchusya (Hacchusyamei,SyokuSimei) values (:A,:B)"));
    query.Params(0).SetAsString(Hacchusyamei);
    query.Params(1).SetAsString(SyokuSimei);
    query.ExecSQL();
}

void THacchusya::Delete() {
    TQuery query(Folder());
    query.AddSQL(QStringLiteral("delete from Hacchusya where Hacchusyamei=:A"));
    query.Params(0).SetAsString(Hacchusyamei);
    query.ExecSQL();
}

} // namespace tv
