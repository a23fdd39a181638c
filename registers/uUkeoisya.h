#pragma once
// The contractor register: table Ukeoisya, one row per contractor, identified by its name. The
// class holds one current record and reads and writes it by that name.
#include "platform/TableEngine.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace tv {

class TUkeoisya {
public:
    QString Ukeoisyamei; // contractor name, the key of every operation
    QString Jusyo;       // address
    QString Kaisya;      // company name
    QString Daihyosya;   // representative
    bool JVFlag = false; // the contractor is the representative company of a joint venture

    // True when the table's file exists in the data folder; otherwise creates the table and
    // returns false.
    bool CheckTable();
    // The columns of the table in order, as CheckTable creates them.
    static std::vector<FieldDef> Fields();
    // Empties every text and clears JVFlag.
    void Clear();
    // Replaces the list with the contractor names in name order.
    void ListNames(QStringList& list);
    // Loads the contractor of that name (untrimmed). When none is stored the record is cleared
    // and keeps the name, so a following Save inserts it.
    void FindByName(const QString& name);
    // Inserts the record, or updates the row of its name; a blank name saves nothing.
    void Save();
    // Deletes the row of the current name (nothing when there is none).
    void Delete();
};

} // namespace tv
