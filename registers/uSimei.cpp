#include "registers/uSimei.h"

#include "platform/TableEngine.h"
#include "registers/SaveRow.h"

namespace tv {
namespace {
const QString kDatabase = QStringLiteral("kestran");
}

TSimei::TSimei() {
    CheckTable();
}

std::vector<FieldDef> TSimei::Fields() {
    return {{QStringLiteral("FURIGANA"), FieldType::String, 16},
            {QStringLiteral("SIMEI"), FieldType::String, 16}};
}

bool TSimei::CheckTable() {
    if (TableExists(kDatabase, QStringLiteral("Simei")))
        return true;
    // The reading comes first, the name second; rows are read by position.
    CreateTable(kDatabase, QStringLiteral("SIMEI"), TSimei::Fields());
    return false;
}

void TSimei::Clear() {
    Simei.clear();
    Furigana.clear();
}

void TSimei::ListNames(QStringList& list) {
    list.clear();
    TQuery query(kDatabase);
    query.AddSQL(QStringLiteral("select * from Simei order by Furigana"));
    query.Open();
    while (!query.Eof()) {
        list << query.Fields(1).AsString();
        query.Next();
    }
}

void TSimei::FindByName(const QString& name) {
    // Names are stored trimmed (Save), so the look-up is trimmed too: "山田 " must find 山田 and
    // its reading, or the following Save would overwrite that reading with the name.
    TQuery query(kDatabase);
    query.AddSQL(QStringLiteral("select * from Simei where Simei=:Simei"));
    query.Params(0).SetAsString(name.trimmed());
    query.Open();
    if (query.Eof()) {
        Clear();
        Simei = name;
        return;
    }
    Furigana = query.Fields(0).AsString();
    Simei = query.Fields(1).AsString();
}

void TSimei::Save() {
    Simei = Simei.trimmed();
    Furigana = Furigana.trimmed();
    if (Simei.isEmpty())
        return;
    if (Furigana.isEmpty())
        Furigana = Simei;
    TQuery query(kDatabase);
    PrepareSave(query, QStringLiteral("select * from Simei where Simei=:Simei"), Simei,
                QStringLiteral("update Simei set Furigana=:A,Simei=:B where Simei=:B"),
                QStringLiteral("insert into Simei (Furigana, Simei) values (:A,:B)"));
    query.Params(0).SetAsString(Furigana);
    query.Params(1).SetAsString(Simei);
    query.ExecSQL();
}

void TSimei::Delete() {
    // Only the row of this person: another person may share the reading (斉藤 and 斎藤 are both
    // さいとう), and deleting by the reading alone would take that person away too.
    TQuery query(kDatabase);
    query.AddSQL(QStringLiteral("delete from Simei where Furigana=:A and Simei=:B"));
    query.Params(0).SetAsString(Furigana);
    query.Params(1).SetAsString(Simei);
    query.ExecSQL();
}

} // namespace tv
