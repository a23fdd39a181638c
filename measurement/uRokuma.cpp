#include "measurement/uRokuma.h"

#include "measurement/MeasurementReader.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/Grid.h"
#include "platform/GridLayout.h"
#include "platform/NumberText.h"
#include "platform/TableEngine.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace tv {
namespace {

const QString kDb = QStringLiteral("kestran");

bool TableFileExists(const QString& table) {
    return TableExists(kDb, table);
}

// Raises when the text does not fit `bytes` code-page-932 bytes; `what` names the field as the
// user knows it.
void CheckFits(const QString& what, const QString& text, int bytes) {
    CheckFitsBytes(what, text, bytes);
}

QString Label(const QString& label) {
    return QStringLiteral("「%1」").arg(label);
}

// A line of the grid ready to be written.
struct PlannedLine {
    int lno = 0;
    QString sokuten;
    QString k[grid::kResults];
};

struct PlannedPoint {
    int pno = 0;
    bool used = true;
    float data = 0;
};

// A row the save keeps: one holding a position, a reading or a group typed into 最大, 最小 or Ｒ.
// Σd and Σ(d2) are only ever computed from the readings, so alone they hold nothing to keep.
bool RowHoldsInput(TGrid& grid, int row) {
    for (int c = 1; c <= grid::kColumns; ++c) {
        if (c == grid::kColSum || c == grid::kColSquares)
            continue;
        if (!grid.GetCellText(c, row).trimmed().isEmpty())
            return true;
    }
    return false;
}

// Reads the grid as the save stores it, checking every value before anything is written.
void ReadGrid(TGrid& grid, std::vector<PlannedLine>& lines, std::vector<PlannedPoint>& points) {
    static const QString headers[grid::kResults] = {QStringLiteral("Σd"), QStringLiteral("Σ(d2)"),
                                                    QStringLiteral("最大"), QStringLiteral("最小"),
                                                    QStringLiteral("Ｒ")};
    const int rows = grid.MaxRows();
    for (int r = 1; r <= rows; ++r) {
        if (!RowHoldsInput(grid, r))
            continue;
        PlannedLine line;
        line.lno = r;
        line.sokuten = grid.GetCellText(grid::kPositionCol, r);
        CheckFits(QStringLiteral("%1 行目の「測定位置」").arg(r), line.sokuten,
                  grid::kPositionBytes);
        for (int k = 0; k < grid::kResults; ++k) {
            line.k[k] = grid.GetCellText(grid::kFirstResult + k, r);
            CheckFits(QStringLiteral("%1 行目の「%2」").arg(QString::number(r), headers[k]),
                      line.k[k], grid::kResultBytes);
        }
        lines.push_back(line);
        for (int j = grid::kFirstReading; j <= grid::kLastReading; ++j) {
            // Every reading is kept in its own cell's point: an empty cell in between is a gap,
            // not the end of the line.
            const QString text = grid.GetCellText(j, r);
            if (text.trimmed().isEmpty())
                continue;
            const std::optional<double> value = ParseNumber(text);
            const float single = value ? static_cast<float>(*value) : 0.0f;
            if (!value || !std::isfinite(single))
                throw EConvertError(QStringLiteral("'%1' は浮動小数点数ではありません").arg(text));
            PlannedPoint p;
            p.pno = grid::PointNumber(r, j);
            p.used = grid.ForeColor() == kColorBlack; // the cell read last is still addressed
            p.data = single;
            points.push_back(p);
        }
    }
}

// The first row whose range is empty: the save and the range method end there.

const QString kStampFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// The save count and time of the row the query stands on (0 and invalid when the table has no
// such columns yet).
void ReadStamp(const TQuery& q, int* version, QDateTime* savedAt) {
    *version = 0;
    *savedAt = QDateTime();
    for (int i = 0; i < q.FieldCount(); ++i) {
        const TField& f = q.Fields(i);
        if (f.Name().compare(QLatin1String("VERSION"), Qt::CaseInsensitive) == 0)
            *version = f.AsInteger();
        else if (f.Name().compare(QLatin1String("SAVEDAT"), Qt::CaseInsensitive) == 0)
            *savedAt = QDateTime::fromString(f.AsString(), kStampFormat);
    }
}

} // namespace

// ---- TRokumaData ----------------------------------------------------------------------------

// Creates the table when its file is missing; otherwise brings it up to these fields and
// indexes. True when the file was there.
static bool CheckRecordTable(const QString& table, const std::vector<FieldDef>& fields,
                             const std::vector<QStringList>& indexes) {
    if (TableFileExists(table)) {
        UpgradeTable(kDb, table, fields, indexes);
        return true;
    }
    CreateTable(kDb, table, fields, indexes);
    return false;
}

std::vector<FieldDef> TRokumaData::Fields() {
    return {{QStringLiteral("SID"), FieldType::Integer},
            {QStringLiteral("PNO"), FieldType::Integer},
            {QStringLiteral("U"), FieldType::Boolean},
            {QStringLiteral("DATA"), FieldType::Double}};
}

std::vector<QStringList> TRokumaData::Indexes() {
    return {{QStringLiteral("SID")}};
}

bool TRokumaData::CheckTable() {
    return CheckRecordTable(QStringLiteral("RokumaData"), Fields(), Indexes());
}

void TRokumaData::Insert() {
    TQuery q(kDb);
    q.AddSQL(QStringLiteral("insert into RokumaData (SID,PNO,U,DATA) values (:A,:B,:C,:D)"));
    q.Params(0).SetAsInteger(SID);
    q.Params(1).SetAsInteger(PNO);
    q.Params(2).SetAsBoolean(U);
    q.Params(3).SetAsFloat(DATA);
    q.ExecSQL();
}

void TRokumaData::DeleteBySID() {
    TQuery q(kDb);
    q.AddSQL(QStringLiteral("delete from RokumaData where SID=:A"));
    q.Params(0).SetAsInteger(SID);
    q.ExecSQL();
}

// ---- TRokumaLine ----------------------------------------------------------------------------

TRokumaLine::TRokumaLine() {
    for (int i = 0; i < grid::kReadingsPerLine; ++i)
        Points.push_back(std::make_unique<TRokumaData>());
}

TRokumaLine::~TRokumaLine() = default;

std::vector<FieldDef> TRokumaLine::Fields() {
    return {{QStringLiteral("HID"), FieldType::Integer},
            {QStringLiteral("LNO"), FieldType::Integer},
            {QStringLiteral("Sokuten"), FieldType::String, grid::kPositionBytes},
            {QStringLiteral("K00"), FieldType::String, grid::kResultBytes},
            {QStringLiteral("K01"), FieldType::String, grid::kResultBytes},
            {QStringLiteral("K02"), FieldType::String, grid::kResultBytes},
            {QStringLiteral("K03"), FieldType::String, grid::kResultBytes},
            {QStringLiteral("K04"), FieldType::String, grid::kResultBytes}};
}

std::vector<QStringList> TRokumaLine::Indexes() {
    return {{QStringLiteral("HID")}};
}

bool TRokumaLine::CheckTable() {
    const bool existed = CheckRecordTable(QStringLiteral("RokumaLine"), Fields(), Indexes());
    Points.front()->CheckTable();
    return existed;
}

void TRokumaLine::Insert() {
    TQuery q(kDb);
    q.AddSQL(QStringLiteral("insert into RokumaLine (HID,LNO,SOKUTEN,K00,K01,K02,K03,K04) values "
                            "(:A,:B,:C,:D,:E,:F,:G,:H)"));
    q.Params(0).SetAsInteger(HID);
    q.Params(1).SetAsInteger(LNO);
    q.Params(2).SetAsString(SOKUTEN);
    q.Params(3).SetAsString(K00);
    q.Params(4).SetAsString(K01);
    q.Params(5).SetAsString(K02);
    q.Params(6).SetAsString(K03);
    q.Params(7).SetAsString(K04);
    q.ExecSQL();
}

void TRokumaLine::DeleteByHID() {
    TQuery q(kDb);
    q.AddSQL(QStringLiteral("delete from RokumaLine where HID=:A"));
    q.Params(0).SetAsInteger(HID);
    q.ExecSQL();
}

// ---- TRokumaKanri ---------------------------------------------------------------------------

TRokumaKanri::TRokumaKanri() : Koji(std::make_unique<TKoji>()), Kosyu(std::make_unique<TKosyu>()) {}

TRokumaKanri::~TRokumaKanri() = default;

QString TRokumaKanri::WorkCode() const {
    return Koji->Code;
}

QString TRokumaKanri::KosyuName() const {
    return Kosyu->Kosyumei;
}

std::vector<FieldDef> TRokumaKanri::Fields() {
    std::vector<FieldDef> fields = {{QStringLiteral("ID"), FieldType::Integer},
                                    {QStringLiteral("KOJICODE"), FieldType::String, 8},
                                    {QStringLiteral("KosyuName"), FieldType::String, 32},
                                    {QStringLiteral("STARTP"), FieldType::String, 10},
                                    {QStringLiteral("ENDP"), FieldType::String, 10},
                                    {QStringLiteral("KYORI"), FieldType::String, 10},
                                    {QStringLiteral("SOKUTEIBI"), FieldType::Date},
                                    {QStringLiteral("SOKUTEIKI"), FieldType::String, 32},
                                    {QStringLiteral("SOKUTEISYA"), FieldType::String, 16}};
    for (const char* name : {"SD", "SD2", "DATACOUNT", "HENSA", "HOSR", "HODATACOUNT", "HOHENSA"})
        fields.push_back({QString::fromLatin1(name), FieldType::String, grid::kResultBytes});
    fields.push_back({QStringLiteral("SIYOUSYO"), FieldType::String, 4});
    fields.push_back({QStringLiteral("GP"), FieldType::String, 2});
    return fields;
}

std::vector<FieldDef> TRokumaKanri::StampFields() {
    return {{QStringLiteral("VERSION"), FieldType::Integer},
            {QStringLiteral("SAVEDAT"), FieldType::String, 19}};
}

ESaveConflict::ESaveConflict(const QDateTime& savedAt)
    : EngineError(QStringLiteral("この測定は %1 に他の利用者が保存しました。上書きしますか？")
                      .arg(savedAt.toString(QStringLiteral("HH:mm")))),
      savedAt_(savedAt) {}

std::vector<QStringList> TRokumaKanri::Indexes() {
    return {{QStringLiteral("KOJICODE"), QStringLiteral("KosyuName")}};
}

void CheckMeasurementTables() {
    TRokumaKanri header;
    header.CheckTable();
    TRokumaLine lines;
    lines.CheckTable(); // also the point table
    header.Koji->CheckTable();
    header.Kosyu->CheckTable();
}

bool TRokumaKanri::CheckTable() {
    std::vector<FieldDef> fields = Fields();
    for (const FieldDef& f : StampFields())
        fields.push_back(f);
    return CheckRecordTable(QStringLiteral("RokumaKanri"), fields, Indexes());
}

void TRokumaKanri::LoadByWork() {
    TQuery q(kDb);
    q.AddSQL(QStringLiteral("select * from RokumaKanri where KOJICODE=:A and KosyuName=:B"));
    q.Params(0).SetAsString(WorkCode());
    q.Params(1).SetAsString(KosyuName());
    q.Open();
    if (q.Eof()) {
        ID = 0;
        STARTP.clear();
        ENDP.clear();
        KYORI.clear();
        SOKUTEIKI.clear();
        SOKUTEISYA.clear();
        SD.clear();
        SD2.clear();
        DATACOUNT.clear();
        HENSA.clear();
        HOSR.clear();
        HODATACOUNT.clear();
        HOHENSA.clear();
        SIYOUSYO.clear();
        GP.clear();
        SOKUTEIBI = Now();
        VERSION = 0;
        SAVEDAT = QDateTime();
        return;
    }
    ReadStamp(q, &VERSION, &SAVEDAT);
    ID = q.Fields(0).AsInteger();
    const QString code = q.Fields(1).AsString();
    const QString kosyu = q.Fields(2).AsString();
    STARTP = q.Fields(3).AsString();
    ENDP = q.Fields(4).AsString();
    KYORI = q.Fields(5).AsString();
    const QDate date = q.Fields(6).AsDate();
    SOKUTEIBI = date.isValid() ? QDateTime(date, QTime(0, 0)) : QDateTime();
    QString* texts[] = {&SOKUTEIKI, &SOKUTEISYA, &SD,          &SD2,    &DATACOUNT,
                        &HENSA,     &HOSR,       &HODATACOUNT, &HOHENSA};
    for (int i = 0; i < 9; ++i)
        *texts[i] = q.Fields(7 + i).AsString();
    SIYOUSYO = q.Fields(16).AsString();
    GP = q.Fields(17).AsString();
    q.Close();
    Koji->LoadByCode(code);
    Kosyu->FindByName(kosyu);
}

int TRokumaKanri::NextID() {
    TQuery q(kDb);
    q.AddSQL(QStringLiteral("select Max(ID) from RokumaKanri"));
    q.Open();
    return q.Fields(0).AsInteger() + 1;
}

void TRokumaKanri::Validate() const {
    struct Item {
        const char16_t* label;
        const QString* text;
        int bytes;
    };
    const QString code = WorkCode();
    const QString kosyu = KosyuName();
    const Item items[] = {{u"工事名", &code, 8},
                          {u"工種名", &kosyu, 32},
                          {u"測定開始点", &STARTP, 10},
                          {u"測定終了点", &ENDP, 10},
                          {u"測定距離", &KYORI, 10},
                          {u"測定器", &SOKUTEIKI, 32},
                          {u"測定者", &SOKUTEISYA, 16},
                          {u"Σd", &SD, grid::kResultBytes},
                          {u"Σ(d2)", &SD2, grid::kResultBytes},
                          {u"データ数", &DATACOUNT, grid::kResultBytes},
                          {u"標準偏差", &HENSA, grid::kResultBytes},
                          {u"ΣＲ", &HOSR, grid::kResultBytes},
                          {u"測定数", &HODATACOUNT, grid::kResultBytes},
                          {u"標準偏差", &HOHENSA, grid::kResultBytes},
                          {u"仕様書の範囲", &SIYOUSYO, 4},
                          {u"Ｇ", &GP, 2}};
    for (const Item& item : items)
        CheckFits(Label(QString::fromUtf16(item.label)), *item.text, item.bytes);
}

void TRokumaKanri::Save(bool overwrite) {
    Validate();
    TSimei person; // its table is made before the transaction begins
    CheckTable();  // and the header table has its save count
    const int oldId = ID;
    const int oldVersion = VERSION;
    const QDateTime oldSavedAt = SAVEDAT;
    try {
        TTransaction transaction(kDb, {QStringLiteral("RokumaKanri"), QStringLiteral("Simei")});
        const std::vector<int> stored = StoredMeasurementIds(WorkCode(), KosyuName());
        int storedVersion = 0;
        if (!stored.empty()) {
            TQuery s(kDb);
            s.AddSQL(QStringLiteral("select VERSION,SAVEDAT from RokumaKanri where KOJICODE=:A "
                                    "and KosyuName=:B"));
            s.Params(0).SetAsString(WorkCode());
            s.Params(1).SetAsString(KosyuName());
            s.Open();
            QDateTime savedAt;
            ReadStamp(s, &storedVersion, &savedAt);
            // Read under the writer lock the transaction holds: no other save can slip in
            // between this check and the write.
            if (storedVersion != VERSION && !overwrite)
                throw ESaveConflict(savedAt);
        }
        const QDateTime now = Now();
        // A stored pair keeps its ID whatever the header carried; a new pair is numbered inside
        // the transaction, so two saves cannot take the same number.
        ID = stored.empty() ? NextID() : stored.front();
        TQuery q(kDb);
        if (stored.empty()) {
            q.AddSQL(QStringLiteral(
                "insert into RokumaKanri (ID,KOJICODE,KosyuName,STARTP,ENDP,KYORI,SOKUTEIBI,"
                "SOKUTEIKI,SOKUTEISYA,SD,SD2,DATACOUNT,HENSA,HOSR,HODATACOUNT,HOHENSA,SIYOUSYO,GP,"
                "VERSION,SAVEDAT) "
                "values (:A,:B,:C,:D,:E,:F,:G,:H,:I,:J,:K,:L,:M,:N,:O,:P,:Q,:R,:S,:T)"));
        } else {
            q.AddSQL(QStringLiteral(
                "update RokumaKanri set ID=:A,KOJICODE=:B,KosyuName=:C,STARTP=:D,ENDP=:E,KYORI=:F,"
                "SOKUTEIBI=:G,SOKUTEIKI=:H,SOKUTEISYA=:I,SD=:J,SD2=:K,DATACOUNT=:L,HENSA=:M,"
                "HOSR=:N,HODATACOUNT=:O,HOHENSA=:P,SIYOUSYO=:Q,GP=:R,VERSION=:S,SAVEDAT=:T "
                "where KOJICODE=:B and KosyuName=:C"));
        }
        q.Params(0).SetAsInteger(ID);
        q.Params(1).SetAsString(WorkCode());
        q.Params(2).SetAsString(KosyuName());
        q.Params(3).SetAsString(STARTP);
        q.Params(4).SetAsString(ENDP);
        q.Params(5).SetAsString(KYORI);
        q.Params(6).SetAsDate(SOKUTEIBI.date());
        const QString* texts[] = {&SOKUTEIKI, &SOKUTEISYA,  &SD,      &SD2,      &DATACOUNT, &HENSA,
                                  &HOSR,      &HODATACOUNT, &HOHENSA, &SIYOUSYO, &GP};
        for (int i = 0; i < 11; ++i)
            q.Params(7 + i).SetAsString(*texts[i]);
        q.Params(18).SetAsInteger(storedVersion + 1);
        q.Params(19).SetAsString(now.toString(kStampFormat));
        q.ExecSQL();
        VERSION = storedVersion + 1;
        SAVEDAT = QDateTime::fromString(now.toString(kStampFormat), kStampFormat);

        person.FindByName(SOKUTEISYA);
        person.Save();
        transaction.Commit();
    } catch (...) {
        ID = oldId;
        VERSION = oldVersion;
        SAVEDAT = oldSavedAt;
        throw;
    }
}

bool TRokumaKanri::Delete() {
    const std::vector<int> stored = StoredMeasurementIds(WorkCode(), KosyuName());
    if (stored.empty())
        return false;
    {
        TTransaction transaction(kDb, {QStringLiteral("RokumaKanri"), QStringLiteral("RokumaLine"),
                                       QStringLiteral("RokumaData")});
        TRokumaLine line;
        TRokumaData point;
        for (int id : stored) {
            line.HID = id;
            line.DeleteByHID();
            point.SID = id;
            point.DeleteBySID();
        }
        TQuery q(kDb);
        q.AddSQL(QStringLiteral("delete from RokumaKanri where KOJICODE=:A and KosyuName=:B"));
        q.Params(0).SetAsString(WorkCode());
        q.Params(1).SetAsString(KosyuName());
        q.ExecSQL();
        transaction.Commit();
    }
    LoadByWork();
    return true;
}

void TRokumaKanri::ListKosyu(QStringList& list) {
    list.clear();
    TQuery q(kDb);
    q.AddSQL(QStringLiteral("select KosyuName from RokumaKanri where KOJICODE=:A"));
    q.Params(0).SetAsString(WorkCode());
    q.Open();
    QStringList measured;
    for (; !q.Eof(); q.Next()) {
        const QString name = q.Fields(0).AsString();
        if (!measured.contains(name))
            measured << name;
    }
    q.Close();
    if (measured.isEmpty())
        return;
    QStringList registered;
    TKosyu kosyu;
    kosyu.ListNames(registered);
    for (const QString& name : std::as_const(registered)) {
        if (measured.removeOne(name))
            list << name;
    }
    measured.sort();
    list << measured;
}

void TRokumaKanri::ListSokuteiki(QStringList& list) {
    list.clear();
    TQuery q(kDb);
    q.AddSQL(
        QStringLiteral("select Sokuteiki from RokumaKanri group by Sokuteiki order by Sokuteiki"));
    q.Open();
    for (; !q.Eof(); q.Next()) {
        const QString name = q.Fields(0).AsString();
        // A null and an empty instrument are the same empty entry.
        if (!(name.isEmpty() && list.contains(QString())))
            list << name;
    }
}

// ---- whole measurements ---------------------------------------------------------------------

void SaveMeasurement(TRokumaKanri& header, TGrid& grid, bool overwrite) {
    header.Validate();
    std::vector<PlannedLine> lines;
    std::vector<PlannedPoint> points;
    lines.reserve(static_cast<size_t>(grid.MaxRows()));
    points.reserve(static_cast<size_t>(grid.MaxRows()) * grid::kReadingsPerLine);
    ReadGrid(grid, lines, points);

    TSimei person; // the person-name table is made, when missing, before the transaction
    header.CheckTable();
    const int oldId = header.ID;
    const int oldVersion = header.VERSION;
    const QDateTime oldSavedAt = header.SAVEDAT;
    try {
        TTransaction transaction(kDb, {QStringLiteral("RokumaKanri"), QStringLiteral("RokumaLine"),
                                       QStringLiteral("RokumaData"), QStringLiteral("Simei")});
        header.Save(overwrite);
        TRokumaLine line;
        line.HID = header.ID;
        line.DeleteByHID();
        TRokumaData point;
        point.SID = header.ID;
        point.DeleteBySID();
        size_t next = 0;
        for (const PlannedLine& l : lines) {
            line.LNO = l.lno;
            line.SOKUTEN = l.sokuten;
            line.K00 = l.k[0];
            line.K01 = l.k[1];
            line.K02 = l.k[2];
            line.K03 = l.k[3];
            line.K04 = l.k[4];
            line.Insert();
            for (; next < points.size() && grid::PointRow(points[next].pno) == l.lno; ++next) {
                point.PNO = points[next].pno;
                point.U = points[next].used;
                point.DATA = points[next].data;
                point.Insert();
            }
        }
        transaction.Commit();
    } catch (...) {
        header.ID = oldId;
        header.VERSION = oldVersion;
        header.SAVEDAT = oldSavedAt;
        throw;
    }
}

void LoadMeasurementGrid(int id, TGrid& grid) {
    grid.SetCol(-1);
    grid.SetCol2(-1);
    grid.SetRow(-1);
    grid.SetRow2(-1);
    grid.SetAction(kActionClearText);
    const int rows = grid.MaxRows();

    const TStoredMeasurement stored = ReadStoredMeasurement(id);
    for (const TStoredLine& line : stored.Lines) {
        if (line.LNO < 1 || line.LNO > rows)
            continue;
        grid.SetCellText(grid::kPositionCol, line.LNO, line.SOKUTEN);
        for (int k = 0; k < grid::kResults; ++k)
            grid.SetCellText(grid::kFirstResult + k, line.LNO, line.K[k]);
    }
    for (const TStoredPoint& point : stored.Points) {
        if (point.PNO < 0 || grid::PointRow(point.PNO) > rows)
            continue;
        grid.SetCol(grid::PointCol(point.PNO));
        grid.SetRow(grid::PointRow(point.PNO));
        grid.SetForeColor(point.U ? kColorBlack : kColorRed);
        // The largest readings a cell accepts (±99999999) have no single-precision value and
        // are stored as ±100000000, which the cell would refuse: it would come back empty, and
        // the next save would drop it and the rest of its line. Such a reading is shown at the
        // limit it was typed within.
        const double value = std::clamp(point.DATA, -grid::kReadingLimit, grid::kReadingLimit);
        grid.SetText(FormatGeneral(value));
    }
}

QString FormatShortDate(const QDate& date) {
    return date.isValid() ? date.toString(QStringLiteral("yyyy/MM/dd")) : QString();
}

QDate ParseShortDate(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*([0-9]{4}|[0-9]{1,2})/([0-9]{1,2})/([0-9]{1,2})\\s*$"));
    const QRegularExpressionMatch m = pattern.match(text);
    QDate date;
    if (m.hasMatch()) {
        int year = m.captured(1).toInt();
        if (m.capturedLength(1) <= 2)
            year += 2000; // a two-digit year is of this century
        date = QDate(year, m.captured(2).toInt(), m.captured(3).toInt());
    }
    if (!date.isValid())
        throw EConvertError(QStringLiteral("'%1' は日付ではありません").arg(text));
    return date;
}

} // namespace tv
