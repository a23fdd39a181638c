#include "measurement/CopyData.h"
#include "measurement/uRokuma.h"
#include "platform/GridData.h"
#include "platform/TableEngine.h"
#include "registers/uKikakuti4.h"
#include "tests/support/Measurements.h"
#include "tests/support/RunTavelon.h"
#include "tests/support/TestEnv.h"

#include <QDir>

namespace tv {
namespace {

// Every row of every table of a database, in a stable order.
QStringList Contents(const QString& db) {
    QStringList out;
    for (const char* table : {"RokumaKanri", "RokumaLine", "RokumaData", "Koji1", "Kosyu4",
                              "KIKAKUTI4", "Hacchusya", "Ukeoisya", "Simei"}) {
        if (!TableExists(db, QLatin1String(table)))
            continue;
        TQuery q(db);
        q.AddSQL(QStringLiteral("select * from %1").arg(QLatin1String(table)));
        q.Open();
        QStringList rows;
        for (; !q.Eof(); q.Next()) {
            QStringList fields;
            for (int i = 0; i < q.FieldCount(); ++i)
                fields << q.Fields(i).Name() + QLatin1Char('=') + q.Fields(i).AsString();
            rows << fields.join(QLatin1Char('|'));
        }
        rows.sort();
        out << QLatin1String(table) << rows;
    }
    return out;
}

using CopyDataTest = test::EnvTest;

TEST_F(CopyDataTest, CopiesAllTablesBothWaysAndRefusesAFilledDestination) {
    test::StoreWorkTypes({QStringLiteral("表層"), QStringLiteral("基層")});
    TKikakuti4 standard;
    standard.CheckTable();
    test::StoreStandard(standard, 0, QStringLiteral("表層"), QStringLiteral("平坦性"),
                        QStringLiteral("2.4"), QString());
    TRokumaKanri header;
    test::ChooseMeasurement(header, QStringLiteral("A001"), QStringLiteral("表層"),
                            QStringLiteral("国道の舗装"));
    header.SOKUTEISYA = QStringLiteral("山田");
    TGridData grid;
    for (int r = 1; r <= 30; ++r) {
        for (int c = 2; c <= 11; ++c)
            grid.SetCellText(c, r, QString::number((r * 7 + c) % 13 - 6));
        grid.SetCellText(16, r, QStringLiteral("1.0"));
    }
    SaveMeasurement(header, grid);
    const QString source = env.OnServer() ? env.Server() : env.DataFolder();
    const QStringList before = Contents(source);

    const QString folder = env.Root() + QStringLiteral("/copy");
    const test::TRun run = test::Tavelon({QStringLiteral("copy-data"), QStringLiteral("--from"),
                                          source, QStringLiteral("--to"), folder});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("RokumaData: 300\n"))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("Ukeoisya: "))) << run.out.toStdString();
    EXPECT_EQ(Contents(folder + QLatin1Char('/')), before);

    // A destination holding the tables is refused and stays as it was.
    const test::TRun again = test::Tavelon({QStringLiteral("copy-data"), QStringLiteral("--from"),
                                            source, QStringLiteral("--to"), folder});
    EXPECT_EQ(again.exitCode, 2);
    EXPECT_EQ(Contents(folder + QLatin1Char('/')), before);

    // A folder with other files takes the tables beside them, after clearing what a killed copy
    // left; one holding a table's journal is refused.
    env.WriteFile(QStringLiteral("d/notes.txt"), "mine");
    env.WriteFile(QStringLiteral(".d.tavelon-99999999-5.staging/Koji1.DB"), "half");
    CopyData(source, env.Root() + QStringLiteral("/d"));
    EXPECT_EQ(Contents(env.Root() + QStringLiteral("/d/")), before);
    EXPECT_TRUE(QFileInfo::exists(env.Root() + QStringLiteral("/d/notes.txt")));
    env.WriteFile(QStringLiteral("e/koji1.db-journal"), "");
    EXPECT_THROW(CopyData(source, env.Root() + QStringLiteral("/e")), EngineError);

    // Onwards into a server (or a second folder) and back to a third place.
    const QString second = env.OnServer() ? env.NewServer() : env.Root() + QStringLiteral("/b");
    CopyData(folder, second);
    EXPECT_EQ(Contents(second), before);
    EXPECT_FALSE(CopyDestinationProblem(second).isEmpty());
    EXPECT_THROW(CopyData(folder, second), EngineError);
    EXPECT_EQ(Contents(second), before);
    const QString third = env.Root() + QStringLiteral("/c");
    CopyData(second, third);
    EXPECT_EQ(Contents(third + QLatin1Char('/')), before);
    EXPECT_EQ(QDir(env.Root())
                  .entryList(QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot)
                  .filter(QStringLiteral("tavelon")),
              QStringList());
}

} // namespace
} // namespace tv
