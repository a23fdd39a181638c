#pragma once
// The construction-works register: table Koji1, one row per work with its code, name, client,
// contractor, site agent and print form. The three parties are stored by name in Koji1; the
// object nevertheless holds a full record of each from its own register, and saving a work saves
// them too, so a party name typed for a work lands in its register as well.
#include "platform/TableEngine.h"
#include "registers/uHacchusya.h"
#include "registers/uSimei.h"
#include "registers/uUkeoisya.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace tv {

class TQuery;

class TKoji {
public:
    // Creates the site agent, contractor and client objects, in that order, each with its table
    // ensured.
    TKoji();
    ~TKoji();
    TKoji(const TKoji&) = delete;
    TKoji& operator=(const TKoji&) = delete;

    QString Code;                          // work code, the key of the register
    QString Kojimei;                       // work name
    std::unique_ptr<THacchusya> Hacchusya; // client
    std::unique_ptr<TUkeoisya> Ukeoisya;   // contractor
    std::unique_ptr<TSimei> Dairinin;      // site agent
    int Yoshiki = 0;                       // print form: 0 開発局, 1 土木現業所, 2 支庁

    // True when Koji1 exists in the data folder; otherwise creates it and returns false. Then
    // ensures the client, contractor and person-name tables.
    bool CheckTable();
    // The columns of the table in order, as CheckTable creates them.
    static std::vector<FieldDef> Fields();
    // Empties code, name and the three parties; the print form stays.
    void Clear();
    // Replaces the list with "code:name" lines, codes descending, skipping blank codes.
    void ListWorks(QStringList& list);
    // Loads the work of that code (looked up trimmed). When none is stored the object is cleared
    // and Code becomes the code exactly as passed.
    void LoadByCode(const QString& code);
    // Copies the current row of an open query on Koji1 (by column position) and loads the three
    // parties by name.
    void ReadRecord(const TQuery& query);
    // Inserts or updates the work under its trimmed code, saving the three parties first; a blank
    // code saves nothing. All rows are written together or, on a failure, none of them.
    void Save();
    // Deletes the work of the current code (trimmed).
    void Delete();
};

} // namespace tv
