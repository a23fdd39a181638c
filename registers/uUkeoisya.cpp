#include "registers/uUkeoisya.h"

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

std::vector<FieldDef> TUkeoisya::Fields() {
    return {{QStringLiteral("UKEOISYAMEI"), FieldType::String, 48},
            {QStringLiteral("JUSYO"), FieldType::String, 48},
            {QStringLiteral("KAISYA"), FieldType::String, 48},
            {QStringLiteral("DAIHYOSYA"), FieldType::String, 48},
            {QStringLiteral("JVFLAG"), FieldType::Boolean, 0}};
}

bool TUkeoisya::CheckTable() {
    const QString folder = Folder();
    if (FileExistsNoCase(folder + QStringLiteral("Ukeoisya.DB")))
        return true;
    CreateTable(folder, QStringLiteral("UKEOISYA"), TUkeoisya::Fields());
    return false;
}

void TUkeoisya::Clear() {
    Ukeoisyamei.clear();
    Jusyo.clear();
    Kaisya.clear();
    Daihyosya.clear();
    JVFlag = false;
}

void TUkeoisya::ListNames(QStringList& list) {
    list.clear();
    TQuery query(Folder());
    query.AddSQL(QStringLiteral("select * from Ukeoisya order by Ukeoisyamei"));
    query.Open();
    while (!query.Eof()) {
        list << query.Fields(0).AsString();
        query.Next();
    }
}

void TUkeoisya::FindByName(const QString& name) {
    TQuery query(Folder());
    query.AddSQL(QStringLiteral("select * from Ukeoisya where Ukeoisyamei=:A"));
    query.Params(0).SetAsString(name);
    query.Open();
    if (query.Eof()) {
        Clear();
        Ukeoisyamei = name;
        return;
    }
    Ukeoisyamei = query.Fields(0).AsString();
    Jusyo = query.Fields(1).AsString();
    Kaisya = query.Fields(2).AsString();
    Daihyosya = query.Fields(3).AsString();
    JVFlag = query.Fields(4).AsBoolean();
}

void TUkeoisya::Save() {
    if (Ukeoisyamei.trimmed().isEmpty())
        return;
    TQuery query(Folder());
    PrepareSave(query, QStringLiteral("select * from Ukeoisya where Ukeoisyamei=:A"), Ukeoisyamei,
                QStringLiteral("update Ukeoisya set UKEOISYAMEI=:A,Jusyo=:B,Kaisya=:C,"
                               "Daihyosya=:D,JVFlag=:E where Ukeoisyamei=:A"),
                QStringLiteral("insert into Ukeoisya (UKEOISYAMEI,JUSYO,KAISYA,Daihyosya,"
                               "JVFlag) values (:A,:B,:C,:D,:E)"));
    query.Params(0).SetAsString(Ukeoisyamei);
    query.Params(1).SetAsString(Jusyo);
    query.Params(2).SetAsString(Kaisya);
    query.Params(3).SetAsString(Daihyosya);
    query.Params(4).SetAsBoolean(JVFlag);
    query.ExecSQL();
}

void TUkeoisya::Delete() {
    TQuery query(Folder());
    query.AddSQL(QStringLiteral("delete from Ukeoisya where Ukeoisyamei=:A"));
    query.Params(0).SetAsString(Ukeoisyamei);
    query.ExecSQL();
}

} // namespace tv
