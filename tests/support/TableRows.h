#pragma once
// Reading tables back in tests.
#include <QString>
#include <QStringList>

namespace tv::test {

// Every row of a query on "kestran", each as its columns' texts in order joined by "|".
QStringList Rows(const QString& sql);

} // namespace tv::test
