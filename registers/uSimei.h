#pragma once
// The person-name register: table Simei, one row per person with the reading of the name in kana.
// Used for the site agent of a construction work and the measuring person of a measurement.
#include "platform/TableEngine.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace tv {

class TSimei {
public:
    // Ensures the table (CheckTable).
    TSimei();

    QString Simei;    // the person's name, the key of the look-up
    QString Furigana; // its reading

    // True when the table's file exists in the data folder; otherwise creates the table and
    // returns false.
    bool CheckTable();
    // The columns of the table in order, as CheckTable creates them.
    static std::vector<FieldDef> Fields();
    // Empties both texts.
    void Clear();
    // Replaces the list with the person names in order of their reading.
    void ListNames(QStringList& list);
    // Loads the person of that name (looked up trimmed, as names are stored). When none is
    // stored the record is cleared and keeps the name as passed, so a following Save inserts it.
    void FindByName(const QString& name);
    // Trims name and reading (and keeps them trimmed); a blank name saves nothing, a blank
    // reading becomes the name. Then inserts the person or updates the row of that name.
    void Save();
    // Deletes the row of the current record (its reading and name). Other persons sharing the
    // reading stay.
    void Delete();
};

} // namespace tv
