// The import of the earlier program's Paradox tables: the sample folder row by row, the format's
// versions, block sizes and field types written by the test's own writer, damaged files refused
// with their reason, and a destination left without tables whenever the import fails.
#include "measurement/ParadoxImport.h"
#include "platform/ParadoxTable.h"
#include "platform/TableEngine.h"
#include "tests/support/ParadoxWriter.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <cmath>

namespace tv::test {
namespace {

const QString kSample = QStringLiteral(PARADOX_SAMPLE_DIR);

// Every row of the table in DEST, in stored order.
std::vector<std::vector<QVariant>> ReadBack(const QString& folder, const QString& table,
                                            QStringList* columns = nullptr) {
    TQuery q(folder);
    q.AddSQL(QStringLiteral("select * from ") + table);
    q.Open();
    if (columns) {
        columns->clear();
        for (int c = 0; c < q.FieldCount(); ++c)
            *columns << q.Fields(c).Name();
    }
    std::vector<std::vector<QVariant>> rows;
    for (; !q.Eof(); q.Next()) {
        std::vector<QVariant> row;
        for (int c = 0; c < q.FieldCount(); ++c) {
            const TField& f = q.Fields(c);
            row.push_back(f.IsNull() ? QVariant() : QVariant(f.AsString()));
        }
        rows.push_back(row);
    }
    return rows;
}

QStringList TablesIn(const QString& folder) {
    QStringList found;
    for (const QString& e : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        if (e.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
            found << e;
    return found;
}

// A small RokumaData table: SID, PNO (Long), U (Logical), DATA (Number).
std::vector<PxField> DataFields() {
    return {{QStringLiteral("SID"), 4, 4},
            {QStringLiteral("PNO"), 4, 4},
            {QStringLiteral("U"), 9, 1},
            {QStringLiteral("DATA"), 6, 8}};
}

QByteArray DataRecord(qint32 sid, qint32 pno, bool u, double data) {
    return PxLong(sid) + PxLong(pno) + PxLogical(u) + PxNumber(data);
}

// The person-name table: FURIGANA, SIMEI (Alpha 16).
QByteArray SimeiFile(const QByteArray& reading, const QByteArray& name,
                     const PxOptions& options = PxOptions()) {
    return PxFile({{QStringLiteral("Furigana"), 1, 16}, {QStringLiteral("Simei"), 1, 16}},
                  {PxAlpha(reading, 16) + PxAlpha(name, 16)}, options);
}

class ParadoxImportTest : public EnvTest {
protected:
    QString Src() {
        QString src = env.Root() + QStringLiteral("/old/");
        QDir().mkpath(src);
        return src;
    }
    QString Dest() const { return env.Root() + QStringLiteral("/new"); }
    // The problem reported for the source folder holding just this file as the table.
    QString ProblemWith(const QString& table, const QByteArray& file) {
        const QString src = Src();
        for (const QString& e : QDir(src).entryList(QDir::Files))
            QFile::remove(src + e);
        EXPECT_TRUE(WriteFile(src + table + QStringLiteral(".DB"), file));
        const TParadoxImport import(src);
        EXPECT_THROW(import.ImportInto(Dest()), EngineError);
        EXPECT_FALSE(QFileInfo::exists(Dest())) << "a failed import leaves no folder behind";
        return import.Problem();
    }
};

TEST_F(ParadoxImportTest, SampleFolderComesOverRowByRow) {
    if (!QFileInfo::exists(kSample + QStringLiteral("/expected.json")))
        GTEST_SKIP() << "no sample folder at " << kSample.toStdString();
    QFile json(kSample + QStringLiteral("/expected.json"));
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QJsonObject expected = QJsonDocument::fromJson(json.readAll()).object();

    const TParadoxImport import(kSample);
    ASSERT_EQ(import.Problem(), QString());
    import.ImportInto(Dest());
    for (const TImportTable& t : import.Tables()) {
        SCOPED_TRACE(t.Name.toStdString());
        const QJsonArray rows = expected.value(t.Name).toArray();
        ASSERT_EQ(t.Status, TImportTable::State::Ready);
        EXPECT_EQ(t.Rows, rows.size());
        QStringList columns;
        const auto stored = ReadBack(Dest(), t.Name, &columns);
        ASSERT_EQ(static_cast<int>(stored.size()), rows.size());
        ASSERT_EQ(columns.size(), static_cast<int>(t.Columns.size()));
        for (int c = 0; c < columns.size(); ++c)
            EXPECT_EQ(columns[c], t.Columns[static_cast<size_t>(c)].name);
        for (int r = 0; r < rows.size(); ++r) {
            const QJsonArray row = rows[r].toArray();
            ASSERT_EQ(row.size(), columns.size());
            for (int c = 0; c < row.size(); ++c) {
                const QJsonValue want = row[c];
                const QVariant got = stored[static_cast<size_t>(r)][static_cast<size_t>(c)];
                SCOPED_TRACE(
                    QStringLiteral("row %1 column %2").arg(r + 1).arg(columns[c]).toStdString());
                if (want.isNull()) {
                    EXPECT_TRUE(got.isNull());
                } else if (want.isBool()) {
                    EXPECT_EQ(got.toString(),
                              want.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
                } else if (want.isDouble()) {
                    EXPECT_EQ(got.toString().toDouble(), want.toDouble());
                } else {
                    EXPECT_EQ(got.toString(), want.toString());
                }
            }
        }
    }
    // Read as the program reads them: typed, nulls as empty, 0 or false.
    TQuery q(Dest());
    q.AddSQL(QStringLiteral("select * from RokumaKanri order by ID"));
    q.Open();
    EXPECT_EQ(q.FieldByName(QStringLiteral("SOKUTEIBI")).AsDate(), QDate(2022, 12, 22));
    EXPECT_EQ(q.FieldByName(QStringLiteral("ID")).AsInteger(), 1);
}

TEST_F(ParadoxImportTest, CommandLineImportsTheSampleAndRefusesAFilledDestination) {
    if (!QFileInfo::exists(kSample + QStringLiteral("/expected.json")))
        GTEST_SKIP() << "no sample folder at " << kSample.toStdString();
    const auto run = [](const QStringList& args, QString* out, QString* err) {
        QProcess p;
        p.start(QStringLiteral(TAVELON_EXE), args);
        p.waitForFinished(60000);
        *out = QString::fromUtf8(p.readAllStandardOutput());
        *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    };
    QString out, err;
    const QString dest = Dest() + QStringLiteral("/a/b"); // created with its parents
    ASSERT_EQ(run({QStringLiteral("import-paradox"), kSample, QStringLiteral("--into"), dest}, &out,
                  &err),
              0)
        << err.toStdString();
    const QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(lines[0], QStringLiteral("RokumaKanri: 8"));
    EXPECT_EQ(lines[2], QStringLiteral("RokumaData: 1457"));
    EXPECT_EQ(TablesIn(dest).size(), 9);

    EXPECT_EQ(run({QStringLiteral("import-paradox"), kSample, QStringLiteral("--into"), dest}, &out,
                  &err),
              2);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(err.count(QLatin1Char('\n')), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("既にテーブルがあります"))) << err.toStdString();
}

TEST_F(ParadoxImportTest, EveryVersionAndBlockSizeReadsAllValueKinds) {
    // Values at the edges of each kind, nulls included, over several blocks.
    const std::vector<PxField> fields = {
        {QStringLiteral("ID"), 3, 2}, // Short into an integer
        {QStringLiteral("KOJICODE"), 1, 8},   {QStringLiteral("KosyuName"), 1, 32},
        {QStringLiteral("STARTP"), 1, 10},    {QStringLiteral("ENDP"), 1, 10},
        {QStringLiteral("KYORI"), 1, 10},     {QStringLiteral("SOKUTEIBI"), 2, 4},
        {QStringLiteral("SOKUTEIKI"), 1, 32}, {QStringLiteral("SOKUTEISYA"), 1, 16},
        {QStringLiteral("sd"), 1, 8},         {QStringLiteral("SD2"), 1, 8},
        {QStringLiteral("DATACOUNT"), 1, 8},  {QStringLiteral("HENSA"), 1, 8},
        {QStringLiteral("HOSR"), 1, 8},       {QStringLiteral("HODATACOUNT"), 1, 8},
        {QStringLiteral("HOHENSA"), 1, 8},    {QStringLiteral("SIYOUSYO"), 1, 4},
        {QStringLiteral("GP"), 1, 2}};
    std::vector<QByteArray> kanri;
    const QDate dates[] = {QDate(1, 1, 1), QDate(1999, 12, 31), QDate(2024, 2, 29)};
    for (int i = 0; i < 30; ++i) {
        QByteArray r = (i == 5 ? PxNull(2) : PxShort(static_cast<qint16>(i - 3)));
        // 0x8160 (～), ① and 髙 in the Microsoft table; half-width katakana.
        r += PxAlpha("K" + QByteArray::number(i), 8) + PxAlpha("\x81\x60\x87\x40\xFB\xFC\xB6", 32);
        r += PxAlpha("No.1", 10) + PxAlpha(QByteArray(), 10) + PxAlpha("12345678\x83\x41", 10);
        r += i == 7 ? PxNull(4) : PxDate(dates[i % 3]);
        r += PxAlpha("m", 32) + PxAlpha("s", 16);
        for (int k = 0; k < 7; ++k)
            r += PxAlpha("-12.345", 8);
        r += PxAlpha("1234", 4) + PxAlpha("10", 2);
        kanri.push_back(r);
    }
    std::vector<QByteArray> data;
    data.reserve(500);
    const double values[] = {0.0, -0.0, 1.5, -2.25, 1e-300, -123456.789, 0.1};
    for (int i = 0; i < 500; ++i)
        data.push_back(i == 3 ? PxLong(1) + PxLong(3) + PxNull(1) + PxNull(8)
                              : DataRecord(i % 2 ? -i : i, i, i % 3 == 0, values[i % 7]));

    for (int version : {0x03, 0x04, 0x05, 0x09, 0x0A, 0x0B, 0x0C}) {
        for (int blockKb : {1, 4, 32}) {
            SCOPED_TRACE(
                QStringLiteral("version %1, %2 KB").arg(version).arg(blockKb).toStdString());
            CloseAllConnections();
            const QString src = env.Root() + QStringLiteral("/v%1-%2/").arg(version).arg(blockKb);
            const QString dest = env.Root() + QStringLiteral("/d%1-%2").arg(version).arg(blockKb);
            QDir().mkpath(src);
            PxOptions o;
            o.version = version;
            o.blockKb = blockKb;
            ASSERT_TRUE(
                WriteFile(src + QStringLiteral("RokumaKanri.db"), PxFile(fields, kanri, o)));
            o.recordsPerBlock = blockKb == 32 ? 0 : 7;
            ASSERT_TRUE(
                WriteFile(src + QStringLiteral("ROKUMADATA.DB"), PxFile(DataFields(), data, o)));
            const TParadoxImport import(src);
            ASSERT_EQ(import.Problem(), QString());
            import.ImportInto(dest);

            TQuery k(dest);
            k.AddSQL(QStringLiteral("select * from RokumaKanri"));
            k.Open();
            for (int i = 0; i < 30; ++i, k.Next()) {
                ASSERT_FALSE(k.Eof());
                EXPECT_EQ(k.Fields(0).IsNull(), i == 5);
                EXPECT_EQ(k.Fields(0).AsInteger(), i == 5 ? 0 : i - 3);
                EXPECT_EQ(k.Fields(2).AsString(), QStringLiteral("～①髙ｶ"));
                EXPECT_TRUE(k.Fields(4).IsNull()); // an empty Alpha stays null
                EXPECT_EQ(k.Fields(5).AsString(), QStringLiteral("12345678ア"));
                EXPECT_EQ(k.Fields(6).AsDate(), i == 7 ? QDate() : dates[i % 3]);
                EXPECT_EQ(k.Fields(6).IsNull(), i == 7);
                EXPECT_EQ(k.Fields(17).AsString(), QStringLiteral("10"));
            }
            EXPECT_TRUE(k.Eof());

            TQuery d(dest);
            d.AddSQL(QStringLiteral("select * from RokumaData"));
            d.Open();
            for (int i = 0; i < 500; ++i, d.Next()) {
                ASSERT_FALSE(d.Eof());
                if (i == 3) {
                    EXPECT_TRUE(d.Fields(2).IsNull());
                    EXPECT_TRUE(d.Fields(3).IsNull());
                    EXPECT_FALSE(d.Fields(2).AsBoolean());
                    EXPECT_EQ(d.Fields(3).AsFloat(), 0.0);
                    continue;
                }
                EXPECT_EQ(d.Fields(0).AsInteger(), i % 2 ? -i : i);
                EXPECT_EQ(d.Fields(1).AsInteger(), i);
                EXPECT_EQ(d.Fields(2).AsBoolean(), i % 3 == 0);
                EXPECT_EQ(d.Fields(3).AsFloat(), values[i % 7]);
            }
            EXPECT_TRUE(d.Eof());
        }
    }
}

TEST_F(ParadoxImportTest, MissingTablesAreReportedAndTheRestImported) {
    const QString src = Src();
    ASSERT_TRUE(WriteFile(src + QStringLiteral("simei.db"), SimeiFile("a", "b")));
    const TParadoxImport import(src);
    EXPECT_EQ(import.Problem(), QString());
    int missing = 0;
    for (const TImportTable& t : import.Tables())
        missing += t.Status == TImportTable::State::Missing;
    EXPECT_EQ(missing, 8);
    import.ImportInto(Dest());
    EXPECT_EQ(TablesIn(Dest()), QStringList{QStringLiteral("Simei.DB")});
    EXPECT_EQ(ReadBack(Dest(), QStringLiteral("Simei")).size(), 1u);

    // A folder without any of the tables has nothing to import.
    const TParadoxImport empty(Dest() + QStringLiteral("/.."));
    EXPECT_TRUE(empty.Problem().contains(QStringLiteral("旧データのテーブルがありません")));
    EXPECT_THROW(TParadoxImport(env.Root() + QStringLiteral("/nowhere")), EngineError);
}

TEST_F(ParadoxImportTest, DamagedFilesAreRefusedWithTheirReason) {
    PxOptions oneEach;
    oneEach.recordsPerBlock = 1;
    const std::vector<QByteArray> three = {DataRecord(1, 0, true, 1), DataRecord(1, 1, true, 2),
                                           DataRecord(1, 2, false, 3)};
    const QByteArray good = PxFile(DataFields(), three, oneEach);
    const QString data = QStringLiteral("RokumaData");
    const auto expectProblem = [&](const QString& table, const QByteArray& file,
                                   const QStringList& parts) {
        const QString problem = ProblemWith(table, file);
        for (const QString& part : parts)
            EXPECT_TRUE(problem.contains(part))
                << problem.toStdString() << " / " << part.toStdString();
    };

    expectProblem(data, good.left(good.size() - 100), {data, QStringLiteral("途中で切れています")});
    QByteArray loop = good;
    loop[PxBlockOffset(good, 3)] = 2; // block 3 leads back to block 2
    expectProblem(data, loop, {QStringLiteral("ループ")});
    QByteArray count = good;
    count[6] = 4;
    expectProblem(data, count, {QStringLiteral("レコード数が合いません")});
    count[9] = count[8] = count[7] = '\xFF'; // about 2^32 records: refused, not allocated
    expectProblem(data, count, {QStringLiteral("ファイルの大きさに合いません")});
    QByteArray outside = good;
    outside[PxBlockOffset(good, 1)] = 9;
    expectProblem(data, outside, {QStringLiteral("ブロック 9")});
    expectProblem(data, QByteArray(3000, 'x'), {data});

    // Fields by name: another type, a missing one, an extra one.
    std::vector<PxField> fields = DataFields();
    fields[3] = {QStringLiteral("data"), 1, 8};
    expectProblem(data, PxFile(fields, {QByteArray(17, 'a')}),
                  {QStringLiteral("フィールド data が Alpha 型です")});
    fields[3] = {QStringLiteral("DATA"), 0x0C, 8};
    expectProblem(data, PxFile(fields, {QByteArray(17, 'a')}), {QStringLiteral("Memo")});
    fields[3] = {QStringLiteral("DATA"), 6, 4}; // a Number of 4 bytes
    expectProblem(data, PxFile(fields, {QByteArray(13, 'a')}),
                  {QStringLiteral("Number 型のフィールド DATA の大きさが 4 バイト")});
    fields.pop_back();
    fields.push_back({QStringLiteral("EXTRA"), 4, 4});
    const QString missing =
        ProblemWith(data, PxFile(fields, {PxLong(1) + PxLong(1) + PxLogical(true) + PxLong(5)}));
    EXPECT_TRUE(missing.contains(QStringLiteral("フィールド DATA がありません")))
        << missing.toStdString();
    EXPECT_TRUE(missing.contains(QStringLiteral("余分なフィールド EXTRA")))
        << missing.toStdString();

    // Text: invalid code page 932 (a lead byte without its trail byte, an unassigned row), too
    // long for the column; the table, record and column are named.
    const QString simei = QStringLiteral("Simei");
    expectProblem(simei, SimeiFile("ok", "\x81\x20x"),
                  {QStringLiteral("テーブル Simei"), QStringLiteral("レコード 1 の列 SIMEI"),
                   QStringLiteral("Shift-JIS")});
    expectProblem(simei, SimeiFile("\x85\x40", "x"), {QStringLiteral("列 FURIGANA")});
    expectProblem(simei, SimeiFile("ok", "abcdefghijklmno\x82"), {QStringLiteral("Shift-JIS")});
    expectProblem(simei,
                  PxFile({{QStringLiteral("FURIGANA"), 1, 20}, {QStringLiteral("SIMEI"), 1, 16}},
                         {PxAlpha("12345678901234567", 20) + PxAlpha("a", 16)}),
                  {QStringLiteral("17 バイト")});

    // Encrypted tables: the key at 0x5C from version 4 on, at 0x25 in version 3.
    QByteArray encrypted = SimeiFile("a", "b");
    encrypted[0x5C] = 0x12;
    expectProblem(simei, encrypted, {QStringLiteral("暗号化")});
    PxOptions v3;
    v3.version = 0x03;
    encrypted = SimeiFile("a", "b", v3);
    encrypted[0x25] = 0x34;
    expectProblem(simei, encrypted, {QStringLiteral("暗号化")});
}

TEST_F(ParadoxImportTest, AFailedWriteLeavesTheDestinationWithoutTables) {
    const QString src = Src();
    ASSERT_TRUE(WriteFile(src + QStringLiteral("RokumaData.DB"),
                          PxFile(DataFields(), {DataRecord(1, 0, true, 1.5)})));
    ASSERT_TRUE(WriteFile(src + QStringLiteral("Simei.DB"), SimeiFile("a", "b")));
    const TParadoxImport import(src);
    ASSERT_EQ(import.Problem(), QString());

    // The destination must not hold any of the tables.
    QDir().mkpath(Dest());
    ASSERT_TRUE(WriteFile(Dest() + QStringLiteral("/KOJI1.db"), "x"));
    EXPECT_FALSE(TParadoxImport::DestinationProblem(Dest()).isEmpty());
    EXPECT_THROW(import.ImportInto(Dest()), EngineError);
    QFile::remove(Dest() + QStringLiteral("/KOJI1.db"));

    ASSERT_TRUE(WriteFile(Dest() + QStringLiteral("/notes.txt"), "mine"));

    // A killed import left its folder beside the destination: the next run clears it and
    // succeeds, into a folder holding other files.
    const QString left = env.Root() + QStringLiteral("/.new.tavelon-99999999-1.staging/");
    QDir().mkpath(left);
    ASSERT_TRUE(WriteFile(left + QStringLiteral("RokumaData.DB"), "half"));
    import.ImportInto(Dest());
    EXPECT_FALSE(QFileInfo::exists(left));
    EXPECT_EQ(TablesIn(Dest()).size(), 2);
    EXPECT_TRUE(QFileInfo::exists(Dest() + QStringLiteral("/notes.txt")));
    EXPECT_EQ(ReadBack(Dest(), QStringLiteral("RokumaData"))[0][3].toString(),
              QStringLiteral("1.5"));
}

} // namespace
} // namespace tv::test
