#pragma once
// The measurement records: one header row per measurement (RokumaKanri), one row per grid line
// (RokumaLine) and one row per reading (RokumaData), linked by the header's ID. A measurement is
// identified by its construction work and its work type.
#include "platform/TableEngine.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace tv {

class TGrid;
class TKoji;
class TKosyu;

// Raised by a save when the stored measurement of the pair was saved by someone else (another
// user of the server, another program on the folder) after this header was loaded. Its message
// is the question to ask before overwriting.
class ESaveConflict : public EngineError {
public:
    explicit ESaveConflict(const QDateTime& savedAt);
    QDateTime SavedAt() const { return savedAt_; }

private:
    QDateTime savedAt_;
};

// A reading of the grid.
class TRokumaData {
public:
    int SID = 0;   // the header's ID
    int PNO = 0;   // (row - 1) * 10 + column - 2
    bool U = true; // used (black); false when excluded (red)
    float DATA = 0;

    // Creates the point table when its file is missing; true when it was there.
    bool CheckTable();
    // The columns of the table in order and its indexes, as CheckTable creates them.
    static std::vector<FieldDef> Fields();
    static std::vector<QStringList> Indexes();
    void Insert();
    void DeleteBySID();
};

// A line of the grid: measuring position and the line's results (columns 12 to 16).
class TRokumaLine {
public:
    TRokumaLine();
    ~TRokumaLine();
    TRokumaLine(const TRokumaLine&) = delete;
    TRokumaLine& operator=(const TRokumaLine&) = delete;

    int HID = 0; // the header's ID
    int LNO = 0; // grid row
    QString SOKUTEN;
    std::vector<std::unique_ptr<TRokumaData>> Points; // ten, used for the point table's check
    QString K00, K01, K02, K03, K04;

    // Creates the line table when missing, then checks the point table; true when the line
    // table was there.
    bool CheckTable();
    // The columns of the table in order and its indexes, as CheckTable creates them.
    static std::vector<FieldDef> Fields();
    static std::vector<QStringList> Indexes();
    void Insert();
    void DeleteByHID();
};

// The header of a measurement.
class TRokumaKanri {
public:
    TRokumaKanri();
    ~TRokumaKanri();
    TRokumaKanri(const TRokumaKanri&) = delete;
    TRokumaKanri& operator=(const TRokumaKanri&) = delete;

    int ID = 0;                    // 0 while not stored
    std::unique_ptr<TKoji> Koji;   // its Code is the measurement's work code
    std::unique_ptr<TKosyu> Kosyu; // its Kosyumei is the measurement's work-type name
    QString STARTP, ENDP, KYORI;
    QDateTime SOKUTEIBI; // only the date is stored; invalid for a blank header
    QString SOKUTEIKI, SOKUTEISYA;
    QString SD, SD2, DATACOUNT, HENSA;
    QString HOSR, HODATACOUNT, HOHENSA;
    QString GP;
    QString SIYOUSYO;
    // The stored row's save count and save time as loaded (0 and invalid for a blank header);
    // a save compares them with the stored row to notice another user's save in between.
    int VERSION = 0;
    QDateTime SAVEDAT;

    QString WorkCode() const;
    QString KosyuName() const;

    // Creates the header table when missing; true when it was there.
    bool CheckTable();
    // The columns of the table in order and its indexes, as CheckTable creates them.
    static std::vector<FieldDef> Fields();
    // The columns the table gained later (the save count and time), added by CheckTable to a
    // table made without them.
    static std::vector<FieldDef> StampFields();
    static std::vector<QStringList> Indexes();
    // Loads the header of (work code, work-type name); without a stored one the header becomes
    // the blank measurement of the pair (ID 0, empty texts, now as the date).
    void LoadByWork();
    // Max(ID) + 1 over the header table.
    int NextID();
    // Checks what can be checked before anything is written: every text fits its column in
    // code-page-932 bytes. The message names the window's label of the field.
    void Validate() const;
    // Inserts or updates the header row of the pair, then registers the measuring person, as one
    // transaction. A stored pair keeps its stored ID; a new pair gets NextID. Raises
    // ESaveConflict, writing nothing, when the stored row is not the one loaded, unless
    // `overwrite` is set.
    void Save(bool overwrite = false);
    // Removes the stored measurement of the pair (header, lines and points, together) and makes
    // this the blank measurement of the pair. False when nothing was stored for the pair.
    bool Delete();
    // The work types measured for the header's work, each once: in the order of the work-type
    // register, then names no longer in the register by name.
    void ListKosyu(QStringList& list);
    // The measuring instruments used so far, each once (an empty one included).
    void ListSokuteiki(QStringList& list);
};

// Creates the tables a measurement is kept and chosen in when missing: the header, line and point
// tables, the works and the work types.
void CheckMeasurementTables();

// Saves a whole measurement in one transaction: the header (with the person registration), the
// removal of its old lines and points, and a line for every grid row holding a position, a
// reading or a group typed into 最大, 最小 or Ｒ; every non-empty reading is stored with its own
// point number, gaps in a line included. Loading gives back the same grid.
// Everything is checked first; on any failure nothing stored changes and the header keeps the
// ID it had. Raises ESaveConflict (nothing written) when another save of the pair came in
// between, unless `overwrite` is set.
void SaveMeasurement(TRokumaKanri& header, TGrid& grid, bool overwrite = false);

// Shows the lines and points of the measurement `id` in the grid: clears every cell's text, then
// writes each line into its row (column 1 and 12 to 16) and each reading into its cell, colour
// first (black used, red excluded), then the value.
void LoadMeasurementGrid(int id, TGrid& grid);

// Dates as the window shows and reads them: the Japanese short date format "2026/12/09".
QString FormatShortDate(const QDate& date);
// Reads "yyyy/m/d" with or without leading zeros; raises EConvertError "'%s' は日付ではありません".
QDate ParseShortDate(const QString& text);

} // namespace tv
