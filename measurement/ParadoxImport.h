#pragma once
// Bringing the data folder of the earlier program over: its nine tables as Paradox ".DB" files
// are read, checked and written into a destination folder as our tables, all or nothing.
//
// Opening the import reads and checks every table of the source folder (the folder is only
// read). Columns are ours, in our order, matched to the Paradox fields by name without regard to
// case; texts are decoded from code page 932 and must fit their columns; nulls stay nulls.
// ImportInto then creates the tables in the destination and writes every row in one transaction.
#include "platform/TableEngine.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace tv {

struct TImportTable {
    enum class State {
        Ready,   // read and checked, Rows rows to import
        Missing, // no file in the source folder: not imported (the program creates it empty)
        Failed,  // cannot be imported; Message says why
    };
    QString Name; // our table name ("RokumaKanri", ...)
    QString File; // the file read, empty when missing
    State Status = State::Missing;
    int Rows = 0;
    QString Message; // the reason when Failed
    std::vector<FieldDef> Columns;
    std::vector<QStringList> Indexes; // as the program creates the table
    std::vector<QVariant> Values;     // row-major, Columns.size() per row; null QVariant for null
};

class TParadoxImport {
public:
    // Reads and checks every table of the folder. Raises EngineError when the folder cannot be
    // read at all; a table that cannot be imported is reported in Tables().
    explicit TParadoxImport(const QString& sourceFolder);

    // The nine tables in their usual order.
    static QStringList TableNames();
    // The nine tables with the columns and indexes the program creates them with (no rows).
    static std::vector<TImportTable> TableDefinitions();

    QString SourceFolder() const { return source_; }
    const std::vector<TImportTable>& Tables() const { return tables_; }
    // The first reason that stops the import (a failed table, or no table at all); empty when
    // the import can go ahead.
    QString Problem() const;

    // The destination folder refused for the import: one holding any of the nine tables, or a
    // file of that name. Returns the reason, empty when the folder (existing or not) will do.
    static QString DestinationProblem(const QString& folder);
    // A proposal beside the given data folder: "<data folder>-旧データ", numbered when taken.
    static QString ProposedDestination(const QString& dataFolder);

    // Creates the folder when missing, creates the tables read and writes all their rows in one
    // transaction. Raises EngineError (and leaves the folder without any of the tables) when the
    // import cannot be done.
    void ImportInto(const QString& destinationFolder) const;

private:
    QString source_;
    std::vector<TImportTable> tables_;
};

} // namespace tv
