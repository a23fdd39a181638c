#pragma once
// What the client and contractor registers share: a table in the data folder whose rows are
// identified by a name in their first column, listed, read and written by that name.
#include "platform/TableEngine.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace tv {

class TNameRegister {
public:
    virtual ~TNameRegister() = default;

    // True when the table's file exists in the data folder; otherwise creates the table and
    // returns false.
    bool CheckTable();
    // Empties every field.
    virtual void Clear() = 0;
    // Replaces the list with the names in name order.
    void ListNames(QStringList& list);
    // Loads the row of that name (untrimmed). When none is stored the record is cleared and
    // keeps the name, so a following Save inserts it.
    void FindByName(const QString& name);
    // Inserts the record, or updates the row of its name; a blank name saves nothing.
    void Save();
    // Deletes the row of the current name (nothing when there is none).
    void Delete();

protected:
    // `table` as the queries name it, `createdAs` the name its file is created under, `fields`
    // its columns in order, the name first.
    TNameRegister(QString table, QString createdAs, std::vector<FieldDef> fields);
    TNameRegister(const TNameRegister&) = default;
    TNameRegister& operator=(const TNameRegister&) = default;

    // The name held, the key of every operation.
    virtual const QString& Name() const = 0;
    virtual void SetName(const QString& name) = 0;
    // Copies the current row of a query on the table, its columns in the order of the fields.
    virtual void ReadRow(const TQuery& query) = 0;
    // Sets the query's parameters to the fields, in their order.
    virtual void BindRow(TQuery& query) const = 0;

private:
    QString table_;
    QString createdAs_;
    std::vector<FieldDef> fields_;
};

} // namespace tv
