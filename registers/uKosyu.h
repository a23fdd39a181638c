#pragma once
// The work-type register: table Kosyu4, an ordered list of work-type names. Each name carries an
// integer ID giving its position in the user's order; everywhere else a work type is referred to
// by its name only.
#include "platform/TableEngine.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace tv {

class TQuery;

class TKosyu {
public:
    QString Kosyumei; // the work-type name
    int ID = 0;       // position in the user's order; 0 = not yet numbered

    // True when the table's file exists in the data folder; otherwise creates the table and
    // returns false.
    bool CheckTable();
    // The columns of the table in order, as CheckTable creates them.
    static std::vector<FieldDef> Fields();
    // Removes every work type.
    void DeleteAll();
    // Replaces the list with the names in the user's order.
    void ListNames(QStringList& list);
    // Empties the name; the ID stays.
    void Clear();
    // Copies the current row of an open query on Kosyu4.
    void ReadRecord(const TQuery& query);
    // Loads the work type of that name (looked up without leading and trailing blanks). When none
    // is stored, the name is kept exactly as passed and the ID stays, so a following Save inserts.
    void FindByName(const QString& name);
    // Max(ID) + 1; 1 for an empty table.
    int NextID();
    // Inserts or updates the row of the name (trimmed for the look-up, stored as held); a blank
    // name saves nothing. An unnumbered work type gets NextID.
    void Save();
};

} // namespace tv
