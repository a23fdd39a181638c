#pragma once
// The client register: table Hacchusya, one row per client (ordering authority), identified by
// its name. The class holds one current record and reads and writes it by that name.
#include "platform/TableEngine.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace tv {

class THacchusya {
public:
    QString Hacchusyamei; // client name, the key of every operation
    QString SyokuSimei;   // official title and name of the client's representative

    // True when the table's file exists in the data folder; otherwise creates the table and
    // returns false.
    bool CheckTable();
    // The columns of the table in order, as CheckTable creates them.
    static std::vector<FieldDef> Fields();
    // Empties both texts.
    void Clear();
    // Replaces the list with the client names in name order.
    void ListNames(QStringList& list);
    // Loads the client of that name (untrimmed). When none is stored the record is cleared and
    // keeps the name, so a following Save inserts it.
    void FindByName(const QString& name);
    // Inserts the record, or updates the row of its name; a blank name saves nothing.
    void Save();
    // Deletes the row of the current name (nothing when there is none).
    void Delete();
};

} // namespace tv
