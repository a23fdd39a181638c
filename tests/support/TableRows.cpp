#include "tests/support/TableRows.h"

#include "platform/TableEngine.h"

namespace tv::test {

QStringList Rows(const QString& sql) {
    TQuery query(QStringLiteral("kestran"));
    query.AddSQL(sql);
    query.Open();
    QStringList rows;
    while (!query.Eof()) {
        QStringList fields;
        for (int i = 0; i < query.FieldCount(); ++i)
            fields << query.Fields(i).AsString();
        rows << fields.join(QLatin1Char('|'));
        query.Next();
    }
    return rows;
}

std::vector<std::pair<int, QString>> StoredWorkTypes() {
    TQuery query(QStringLiteral("kestran"));
    query.AddSQL(QStringLiteral("select ID,KOSYUMEI from Kosyu4 order by ID"));
    query.Open();
    std::vector<std::pair<int, QString>> rows;
    while (!query.Eof()) {
        rows.emplace_back(query.Fields(0).AsInteger(), query.Fields(1).AsString());
        query.Next();
    }
    return rows;
}

} // namespace tv::test
