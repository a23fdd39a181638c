#include "registers/uKoji.h"

#include "platform/TableEngine.h"
#include "registers/SaveRow.h"

namespace tv {
namespace {
const QString kDatabase = QStringLiteral("KESTRAN");
}

TKoji::TKoji() {
    // Site agent first: its constructor ensures the person-name table.
    Dairinin = std::make_unique<TSimei>();
    Ukeoisya = std::make_unique<TUkeoisya>();
    Ukeoisya->CheckTable();
    Hacchusya = std::make_unique<THacchusya>();
    Hacchusya->CheckTable();
}

TKoji::~TKoji() = default;

std::vector<FieldDef> TKoji::Fields() {
    return {{QStringLiteral("CODE"), FieldType::String, 8},
            {QStringLiteral("KOJIMEI"), FieldType::String, 128},
            {QStringLiteral("HACCHUSYA"), FieldType::String, 20},
            {QStringLiteral("UKEOISYA"), FieldType::String, 40},
            {QStringLiteral("DAIRININ"), FieldType::String, 16},
            {QStringLiteral("YOSHIKI"), FieldType::Integer, 0}};
}

bool TKoji::CheckTable() {
    bool exists = TableExists(kDatabase, QStringLiteral("Koji1"));
    if (!exists)
        CreateTable(kDatabase, QStringLiteral("Koji1"), TKoji::Fields());
    Hacchusya->CheckTable();
    Ukeoisya->CheckTable();
    Dairinin->CheckTable();
    return exists;
}

void TKoji::Clear() {
    Code.clear();
    Kojimei.clear();
    Hacchusya->FindByName(QString());
    Ukeoisya->FindByName(QString());
    Dairinin->FindByName(QString());
}

void TKoji::ListWorks(QStringList& list) {
    list.clear();
    TQuery query(kDatabase);
    query.AddSQL(QStringLiteral("select * from Koji1 order by Code Desc"));
    query.Open();
    while (!query.Eof()) {
        const QString code = query.Fields(0).AsString();
        if (!code.trimmed().isEmpty())
            list << code + QLatin1Char(':') + query.Fields(1).AsString();
        query.Next();
    }
}

void TKoji::LoadByCode(const QString& code) {
    TQuery query(kDatabase);
    query.AddSQL(QStringLiteral("select * from Koji1 where Code=:Code"));
    query.Params(0).SetAsString(code.trimmed());
    query.Open();
    if (query.Eof()) {
        Clear();
        Code = code;
        return;
    }
    ReadRecord(query);
}

void TKoji::ReadRecord(const TQuery& query) {
    Code = query.Fields(0).AsString();
    Kojimei = query.Fields(1).AsString();
    Hacchusya->FindByName(query.Fields(2).AsString());
    Ukeoisya->FindByName(query.Fields(3).AsString());
    Dairinin->FindByName(query.Fields(4).AsString());
    Yoshiki = query.Fields(5).AsInteger();
}

void TKoji::Save() {
    const QString code = Code.trimmed();
    if (code.isEmpty())
        return;
    try {
        // The work and its three parties are written together: a failure on any of them (a
        // name too long for its column, say) leaves all four tables as they were.
        TTransaction transaction(kDatabase, {QStringLiteral("Koji1"), QStringLiteral("Hacchusya"),
                                             QStringLiteral("Ukeoisya"), QStringLiteral("Simei")});
        {
            TQuery query(kDatabase);
            PrepareSave(query, QStringLiteral("select * from Koji1 where Code=:Code"), code,
                        QStringLiteral("update Koji1 set Code=:A,Kojimei=:B,Hacchusya=:C,"
                                       "Ukeoisya=:D,Dairinin=:E,Yoshiki=:F where Code=:A"),
                        QStringLiteral("insert into Koji1 (Code,Kojimei,Hacchusya,Ukeoisya,"
                                       "Dairinin,Yoshiki) values (:A,:B,:C,:D,:E,:F)"));
            query.ParamByName(QStringLiteral("A")).SetAsString(code);
            query.ParamByName(QStringLiteral("B")).SetAsString(Kojimei);
            Hacchusya->Save();
            query.ParamByName(QStringLiteral("C")).SetAsString(Hacchusya->Hacchusyamei);
            Ukeoisya->Save();
            query.ParamByName(QStringLiteral("D")).SetAsString(Ukeoisya->Ukeoisyamei);
            Dairinin->Save();
            query.ParamByName(QStringLiteral("E")).SetAsString(Dairinin->Simei);
            query.ParamByName(QStringLiteral("F")).SetAsInteger(Yoshiki);
            query.ExecSQL();
        }
        transaction.Commit();
    } catch (const TError& e) {
        throw EngineError(
            QStringLiteral("工事「%1」を登録できませんでした。何も保存されていません。\n%2")
                .arg(code, e.Message()));
    }
}

void TKoji::Delete() {
    // Looked up trimmed like Save and LoadByCode, so a code typed with blanks around it still
    // finds the row it was stored under.
    TQuery query(kDatabase);
    query.AddSQL(QStringLiteral("delete from Koji1 where Code=:Code"));
    query.Params(0).SetAsString(Code.trimmed());
    query.ExecSQL();
}

} // namespace tv
