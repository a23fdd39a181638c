#pragma once
// Reading tables back in tests.
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace tv::test {

// Every row of a query on "kestran", each as its columns' texts in order joined by "|".
QStringList Rows(const QString& sql);

// The work-type register as stored: (ID, name) in order of ID.
std::vector<std::pair<int, QString>> StoredWorkTypes();

} // namespace tv::test
