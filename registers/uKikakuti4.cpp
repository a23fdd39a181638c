#include "registers/uKikakuti4.h"

#include "platform/TableEngine.h"
#include "registers/SaveRow.h"

namespace tv {
namespace {

const QString kDatabase = QStringLiteral("kestran");

// The look-up of an entry by its key, shared by FindByKey and Save.
void AddKeyQuery(TQuery& query, const TKikakuti4& entry) {
    query.AddSQL(QStringLiteral("select * from Kikakuti4"));
    query.AddSQL(
        QStringLiteral("where Kubun=:Kubun and Kosyumei=:Kosyumei and Koumokumei=:Koumokumei"));
    query.ParamByName(QStringLiteral("Kubun")).SetAsInteger(entry.Kubun);
    query.ParamByName(QStringLiteral("Kosyumei")).SetAsString(entry.Kosyu->Kosyumei);
    query.ParamByName(QStringLiteral("Koumokumei")).SetAsString(entry.Koumokumei);
}

} // namespace

TKikakuti4::TKikakuti4() : Kosyu(std::make_unique<TKosyu>()) {}

TKikakuti4::~TKikakuti4() = default;

std::vector<FieldDef> TKikakuti4::Fields() {
    return {{QStringLiteral("ID"), FieldType::Integer, 0},
            {QStringLiteral("KUBUN"), FieldType::Integer, 0},
            {QStringLiteral("KOSYUMEI"), FieldType::String, 32},
            {QStringLiteral("KOUMOKUMEI"), FieldType::String, 16},
            {QStringLiteral("KIKAKUTIU1"), FieldType::String, 16},
            {QStringLiteral("KIKAKUTID1"), FieldType::String, 16},
            {QStringLiteral("KIKAKUTIU2"), FieldType::String, 16},
            {QStringLiteral("KIKAKUTID2"), FieldType::String, 16},
            {QStringLiteral("GOKAKUHANTEI"), FieldType::Boolean, 0},
            {QStringLiteral("JOKEN"), FieldType::String, 16},
            {QStringLiteral("SOKUTEIKIJUN"), FieldType::String, 32}};
}

bool TKikakuti4::CheckTable() {
    if (TableExists(kDatabase, QStringLiteral("KIKAKUTI4")))
        return true;
    CreateTable(kDatabase, QStringLiteral("KIKAKUTI4"), TKikakuti4::Fields());
    return false;
}

void TKikakuti4::ClearValues() {
    KikakutiU1.clear();
    KikakutiU2.clear();
    KikakutiD1.clear();
    KikakutiD2.clear();
}

void TKikakuti4::ReadRecord(const TQuery& query) {
    ID = query.FieldByName(QStringLiteral("ID")).AsInteger();
    Kubun = query.FieldByName(QStringLiteral("Kubun")).AsInteger();
    Kosyu->FindByName(query.FieldByName(QStringLiteral("Kosyumei")).AsString());
    Koumokumei = query.FieldByName(QStringLiteral("Koumokumei")).AsString();
    KikakutiU1 = query.FieldByName(QStringLiteral("KikakutiU1")).AsString();
    KikakutiD1 = query.FieldByName(QStringLiteral("KikakutiD1")).AsString();
    GokakuHantei = query.FieldByName(QStringLiteral("GokakuHantei")).AsBoolean();
    Joken = query.FieldByName(QStringLiteral("Joken")).AsString();
    KikakutiU2 = query.FieldByName(QStringLiteral("KikakutiU2")).AsString();
    KikakutiD2 = query.FieldByName(QStringLiteral("KikakutiD2")).AsString();
}

void TKikakuti4::FindByKey() {
    TQuery query(kDatabase);
    AddKeyQuery(query, *this);
    query.Open();
    if (!query.Eof()) {
        ReadRecord(query);
        return;
    }
    ClearValues();
    // The entry last held is not the one shown any more: deleting must not reach it.
    ID = 0;
}

bool TKikakuti4::FindFlatness(const QString& kosyumei, int kubun) {
    Kubun = kubun;
    Kosyu->FindByName(kosyumei);
    Koumokumei = QStringLiteral("平坦性");
    if (!TableExists(kDatabase, QStringLiteral("KIKAKUTI4"))) {
        ClearValues();
        ID = 0;
        return false;
    }
    FindByKey();
    return ID != 0;
}

void TKikakuti4::ListItemNames(QStringList& list) {
    list.clear();
    TQuery query(kDatabase);
    query.AddSQL(QStringLiteral("select distinct Koumokumei from Kikakuti4"));
    query.AddSQL(QStringLiteral("where Kubun=:Kubun"));
    query.AddSQL(QStringLiteral("order by Koumokumei"));
    query.ParamByName(QStringLiteral("Kubun")).SetAsInteger(Kubun);
    query.Open();
    while (!query.Eof()) {
        list << query.FieldByName(QStringLiteral("Koumokumei")).AsString();
        query.Next();
    }
}

void TKikakuti4::ListRegistered(QStringList& list) {
    list.clear();
    TQuery query(kDatabase);
    // Both tables have a Kosyumei column; the selected one is the entry's.
    query.AddSQL(QStringLiteral("select Kosyu4.ID,Kikakuti4.Kosyumei,Koumokumei from Kikakuti4"));
    query.AddSQL(QStringLiteral("inner join Kosyu4 on Kosyu4.Kosyumei=Kikakuti4.Kosyumei"));
    query.AddSQL(QStringLiteral("where Kubun=:Kubun"));
    query.AddSQL(QStringLiteral("order by Kosyu4.ID,Koumokumei"));
    query.ParamByName(QStringLiteral("Kubun")).SetAsInteger(Kubun);
    query.Open();
    while (!query.Eof()) {
        list << query.Fields(1).AsString() + QLatin1Char(':') + query.Fields(2).AsString();
        query.Next();
    }
}

void TKikakuti4::Delete() {
    TQuery query(kDatabase);
    query.AddSQL(QStringLiteral("delete from Kikakuti4"));
    query.AddSQL(QStringLiteral("where ID=:ID"));
    query.ParamByName(QStringLiteral("ID")).SetAsInteger(ID);
    query.ExecSQL();
}

int TKikakuti4::NextID() {
    TQuery query(kDatabase);
    query.AddSQL(QStringLiteral("select Max(ID) from Kikakuti4"));
    query.Open();
    return query.Fields(0).AsInteger() + 1;
}

void TKikakuti4::Save() {
    TQuery query(kDatabase);
    AddKeyQuery(query, *this);
    // The stored entry keeps its number: the object's ID may be that of another entry loaded
    // before the key was changed.
    int storedId = 0;
    const bool found = PrepareSave(
        query,
        QStringLiteral("update Kikakuti4 Set ID=:ID,Kubun=:Kubun,Kosyumei=:Kosyumei,"
                       "Koumokumei=:Koumokumei,KikakutiU1=:KikakutiU1,KikakutiD1=:KikakutiD1,"
                       "KikakutiU2=:KikakutiU2,KikakutiD2=:KikakutiD2,GokakuHantei=:GokakuHantei,"
                       "Joken=:Joken,SokuteiKijun=:SokuteiKijun "
                       "where Kubun=:Kubun and Kosyumei=:Kosyumei and Koumokumei=:Koumokumei"),
        QStringLiteral("insert into Kikakuti4 (ID,Kubun,Kosyumei,Koumokumei,KikakutiU1,KikakutiD1,"
                       "KikakutiU2,KikakutiD2,GokakuHantei,Joken,SokuteiKijun) "
                       "values (:ID,:Kubun,:Kosyumei,:Koumokumei,:KikakutiU1,:KikakutiD1,"
                       ":KikakutiU2,:KikakutiD2,:GokakuHantei,:Joken,:SokuteiKijun)"),
        [&storedId](const TQuery& row) {
            storedId = row.FieldByName(QStringLiteral("ID")).AsInteger();
        });
    ID = found && storedId != 0 ? storedId : NextID();
    query.ParamByName(QStringLiteral("ID")).SetAsInteger(ID);
    query.ParamByName(QStringLiteral("Kubun")).SetAsInteger(Kubun);
    query.ParamByName(QStringLiteral("Kosyumei")).SetAsString(Kosyu->Kosyumei);
    query.ParamByName(QStringLiteral("Koumokumei")).SetAsString(Koumokumei);
    query.ParamByName(QStringLiteral("KikakutiU1")).SetAsString(KikakutiU1);
    query.ParamByName(QStringLiteral("KikakutiD1")).SetAsString(KikakutiD1);
    query.ParamByName(QStringLiteral("KikakutiU2")).SetAsString(KikakutiU2);
    query.ParamByName(QStringLiteral("KikakutiD2")).SetAsString(KikakutiD2);
    query.ParamByName(QStringLiteral("GokakuHantei")).SetAsBoolean(GokakuHantei);
    query.ParamByName(QStringLiteral("Joken")).SetAsString(Joken);
    query.ParamByName(QStringLiteral("SokuteiKijun")).SetAsString(SokuteiKijun);
    query.ExecSQL();
}

} // namespace tv
