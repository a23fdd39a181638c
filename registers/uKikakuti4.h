#pragma once
// The standard-values register: table KIKAKUTI4, one row per category (開発局, 土木現業所, 支庁),
// work type and item name with the limits of the official standard and of the company's own
// standard, and whether a pass-judgement value applies under which condition. All values are
// free texts stored as typed. The triple (Kubun, Kosyumei, Koumokumei) identifies an entry.
#include "platform/TableEngine.h"
#include "registers/uKosyu.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace tv {

class TQuery;

class TKikakuti4 {
public:
    TKikakuti4();
    ~TKikakuti4();
    TKikakuti4(const TKikakuti4&) = delete;
    TKikakuti4& operator=(const TKikakuti4&) = delete;

    int ID = 0;                    // entry number, the key of Delete; 0 = no stored entry held
    int Kubun = 0;                 // category 0 to 2; -1 when saved with none chosen
    std::unique_ptr<TKosyu> Kosyu; // the work type
    QString Koumokumei;            // item name ("平坦性")
    QString KikakutiU1;            // upper limit of the standard
    QString KikakutiD1;            // lower limit of the standard
    bool GokakuHantei = false;     // a pass-judgement value applies
    QString Joken;                 // condition of the pass judgement
    QString KikakutiU2;            // upper limit of the own standard
    QString KikakutiD2;            // lower limit of the own standard
    QString SokuteiKijun;          // measurement standard; never edited, saved empty

    // True when the table's file exists in the data folder; otherwise creates the table and
    // returns false.
    bool CheckTable();
    // The columns of the table in order, as CheckTable creates them.
    static std::vector<FieldDef> Fields();
    // Empties the four limits; nothing else changes.
    void ClearValues();
    // Copies the current row of an open query on KIKAKUTI4 (by column name); the work type is
    // loaded by name from its register.
    void ReadRecord(const TQuery& query);
    // Loads the entry of (Kubun, Kosyu->Kosyumei, Koumokumei) as held. When none is stored the
    // limits are emptied, the flag and the condition stay, and ID becomes 0: the object no longer
    // holds a stored entry, so Delete removes nothing.
    void FindByKey();
    // Loads the flatness standard ("平坦性") of a work type under a category, as FindByKey loads
    // an entry. A data folder without the register's table holds no standard: the limits are
    // emptied then. True when an entry was found.
    bool FindFlatness(const QString& kosyumei, int kubun);
    // Replaces the list with the item names stored under the current category, sorted.
    void ListItemNames(QStringList& list);
    // Replaces the list with "work type:item" lines of the current category, in the work types'
    // order; entries whose work type is not registered are left out.
    void ListRegistered(QStringList& list);
    // Deletes the entry of the current ID.
    void Delete();
    // Max(ID) + 1; 1 for an empty table.
    int NextID();
    // Inserts the entry of the current key with NextID, or updates the stored one. An update
    // keeps the stored entry's ID (numbering it when it has none), so IDs stay unique whatever
    // ID the object held.
    void Save();
};

} // namespace tv
