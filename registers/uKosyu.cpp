#include "registers/uKosyu.h"

#include "platform/TableEngine.h"
#include "registers/SaveRow.h"

namespace tv {
namespace {
const QString kDatabase = QStringLiteral("KESTRAN");
}

std::vector<FieldDef> TKosyu::Fields() {
    return {{QStringLiteral("KOSYUMEI"), FieldType::String, 32},
            {QStringLiteral("ID"), FieldType::Integer, 0}};
}

bool TKosyu::CheckTable() {
    if (TableExists(kDatabase, QStringLiteral("Kosyu4")))
        return true;
    CreateTable(kDatabase, QStringLiteral("Kosyu4"), TKosyu::Fields());
    return false;
}

void TKosyu::DeleteAll() {
    TQuery query(kDatabase);
    query.AddSQL(QStringLiteral("delete from Kosyu4"));
    query.ExecSQL();
}

void TKosyu::ListNames(QStringList& list) {
    list.clear();
    TQuery query(kDatabase);
    query.AddSQL(QStringLiteral("select distinct ID,Kosyumei from Kosyu4 order by ID"));
    query.Open();
    while (!query.Eof()) {
        list << query.FieldByName(QStringLiteral("Kosyumei")).AsString();
        query.Next();
    }
}

void TKosyu::Clear() {
    Kosyumei.clear();
}

void TKosyu::ReadRecord(const TQuery& query) {
    Kosyumei = query.FieldByName(QStringLiteral("Kosyumei")).AsString();
    ID = query.FieldByName(QStringLiteral("ID")).AsInteger();
}

void TKosyu::FindByName(const QString& name) {
    TQuery query(kDatabase);
    query.AddSQL(QStringLiteral("select * from Kosyu4 where Kosyumei=:A"));
    query.Params(0).SetAsString(name.trimmed());
    query.Open();
    if (!query.Eof())
        ReadRecord(query);
    else
        Kosyumei = name;
}

int TKosyu::NextID() {
    TQuery query(kDatabase);
    query.AddSQL(QStringLiteral("select Max(ID) from Kosyu4"));
    query.Open();
    return query.Fields(0).AsInteger() + 1;
}

void TKosyu::Save() {
    if (Kosyumei.trimmed().isEmpty())
        return;
    TQuery query(kDatabase);
    const bool found = PrepareSave(
        query, QStringLiteral("select * from Kosyu4 where KOSYUMEI=:A"), Kosyumei.trimmed(),
        QStringLiteral("update Kosyu4 set Kosyumei=:A,ID=:B where Kosyumei=:A"),
        QStringLiteral("insert into Kosyu4 (Kosyumei,ID) values (:A,:B)"));
    if (!found && ID == 0)
        ID = NextID();
    query.ParamByName(QStringLiteral("A")).SetAsString(Kosyumei);
    query.ParamByName(QStringLiteral("B")).SetAsInteger(ID);
    query.ExecSQL();
}

} // namespace tv
