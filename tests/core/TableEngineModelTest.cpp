// A seeded run of random writes, reads and transactions against a plain model of one table: the
// engine keeps what the model keeps and refuses what does not fit, on the folder and (run again
// with TV_TEST_SERVER) on the server alike.
#include "platform/Cp932.h"
#include "platform/TableEngine.h"
#include "tests/support/TableRows.h"
#include "tests/support/TestEnv.h"

#include <QRandomGenerator>
#include <map>

namespace tv {
namespace {

const QString kDb = QStringLiteral("kestran");

struct Row {
    QString name;
    qint64 count = 0;
    bool flag = false;
    double value = 0;
};

QString RandomName(QRandomGenerator& random) {
    static const QString pieces[] = {
        QStringLiteral("A"),  QStringLiteral("z"), QStringLiteral("表"), QStringLiteral("ｱ"),
        QStringLiteral("〜"), QStringLiteral("'"), QStringLiteral("é"),  QStringLiteral(" ")};
    QString name;
    const int length = random.bounded(7);
    for (int i = 0; i < length; ++i)
        name += pieces[random.bounded(8)];
    return name;
}

QStringList ModelRows(const std::map<int, Row>& model) {
    QStringList rows;
    for (const auto& [id, row] : model)
        rows << QStringLiteral("%1|%2|%3|%4|%5")
                    .arg(QString::number(id), row.name, QString::number(row.count),
                         row.flag ? QStringLiteral("1") : QStringLiteral("0"),
                         QString::number(row.value, 'g', 15));
    return rows;
}

using TableEngineModelTest = test::EnvTest;

TEST_F(TableEngineModelTest, RandomWritesKeepWhatTheModelKeeps) {
    CreateTable(kDb, QStringLiteral("Model"),
                {{QStringLiteral("ID"), FieldType::Integer},
                 {QStringLiteral("Name"), FieldType::String, 6},
                 {QStringLiteral("Cnt"), FieldType::Integer},
                 {QStringLiteral("Flag"), FieldType::Boolean},
                 {QStringLiteral("Val"), FieldType::Double}},
                {{QStringLiteral("ID")}});
    QRandomGenerator random(20261209);
    std::map<int, Row> model;
    std::unique_ptr<TTransaction> tx;
    std::map<int, Row> committed;
    for (int step = 0; step < 400; ++step) {
        const int id = random.bounded(12);
        Row row{RandomName(random), random.bounded(-1000, 1000), random.bounded(2) == 1,
                random.bounded(1000) / 8.0 - 50};
        const std::optional<int> bytes = Cp932Length(row.name);
        const bool fits = bytes && *bytes <= 6;
        const int op = random.bounded(10);
        TQuery q(QStringLiteral("KESTRAN"));
        if (op < 4 && !model.count(id)) {
            q.AddSQL(QStringLiteral("insert into MODEL (id,NAME,cnt,flag,val) "
                                    "values (:I,:N,:C,:F,:V)"));
        } else if (op < 7) {
            q.AddSQL(QStringLiteral("update model set Name=:N, Cnt=:C, Flag=:F, Val=:V "
                                    "where ID=:I"));
        } else if (op < 8) {
            q.AddSQL(QStringLiteral("delete from Model where ID=:I"));
        } else if (!tx) {
            tx = std::make_unique<TTransaction>(kDb);
            committed = model;
            continue;
        } else {
            if (random.bounded(2) == 0) {
                tx->Commit();
            } else {
                tx->Rollback();
                model = committed;
            }
            tx.reset();
            continue;
        }
        q.ParamByName(QStringLiteral("I")).SetAsInteger(id);
        if (q.ParamCount() > 1) {
            q.ParamByName(QStringLiteral("N")).SetAsString(row.name);
            q.ParamByName(QStringLiteral("C")).SetAsInteger(static_cast<int>(row.count));
            q.ParamByName(QStringLiteral("F")).SetAsBoolean(row.flag);
            q.ParamByName(QStringLiteral("V")).SetAsFloat(row.value);
        }
        // An update of no row checks no text on the folder, while the server refuses the
        // statement before it runs: not compared.
        if (q.ParamCount() > 1 && !fits && op >= 4 && !model.count(id))
            continue;
        if (q.ParamCount() > 1 && !fits) {
            EXPECT_THROW(q.ExecSQL(), EngineError) << step;
        } else {
            q.ExecSQL();
            if (op >= 7)
                model.erase(id);
            else if (op < 4 || model.count(id))
                model[id] = row;
        }
        if (!tx) {
            ASSERT_EQ(test::Rows(QStringLiteral("select ID,Name,CNT,flag,Val from model "
                                                "order by id")),
                      ModelRows(model))
                << "step " << step;
        }
    }
    if (tx)
        tx->Commit();
    EXPECT_EQ(test::Rows(QStringLiteral("select * from Model order by Name, ID")).size(),
              model.size());
}

TEST_F(TableEngineModelTest, AConnectionLostInASaveRollsBackAndTheNextOperationConnectsAgain) {
    if (!env.OnServer())
        GTEST_SKIP() << "a server connection";
    CreateTable(kDb, QStringLiteral("T"), {{QStringLiteral("ID"), FieldType::Integer}});
    auto insert = [](int id) {
        TQuery q(kDb);
        q.AddSQL(QStringLiteral("insert into T (ID) values (:A)"));
        q.Params(0).SetAsInteger(id);
        q.ExecSQL();
    };
    auto ids = [] { return test::Rows(QStringLiteral("select ID from T order by ID")); };
    insert(1);
    {
        TTransaction tx(kDb);
        insert(2);
        // The session of the transaction, and no other test's running beside this one.
        TQuery session(kDb);
        session.AddSQL(QStringLiteral("select pg_backend_pid()"));
        session.Open();
        const int pid = session.Fields(0).AsInteger();
        session.Close();
        // The server ends this program's session, as a restart or a broken network would.
        // (A second connection: its own address.)
        TQuery kill(env.Server() + QStringLiteral(" connect_timeout=10"));
        kill.AddSQL(QStringLiteral("select pg_terminate_backend(:A)"));
        kill.Params(0).SetAsInteger(pid);
        kill.Open();
        EXPECT_THROW(insert(3), EngineError);
        try {
            tx.Commit();
            ADD_FAILURE() << "committed";
        } catch (const EngineError& e) {
            EXPECT_TRUE(e.Message().contains(QStringLiteral("接続が切れた"))) << e.what();
        }
    }
    EXPECT_EQ(ids(), QStringList{QStringLiteral("1")});
    insert(4);
    EXPECT_EQ(ids(), (QStringList{QStringLiteral("1"), QStringLiteral("4")}));
}

} // namespace
} // namespace tv
