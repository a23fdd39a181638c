#pragma once
// Stored works and measurements for tests and benchmarks.
#include <QString>

#include <QStringList>

namespace tv {
class TKikakuti4;
class TRokumaKanri;
} // namespace tv

namespace tv::test {

// Registers the work `code` named `name` under the print form `yoshiki` (0 開発局, 1 土木現業所,
// 2 支庁), making its table first when it is missing.
void StoreWork(const QString& code, const QString& name, int yoshiki = 0);

// Registers the work types `names` under the IDs 1, 2, ... in that order.
void StoreWorkTypes(const QStringList& names);

// Fills `entry` with a standard value of the category `kubun` for the work type `kosyumei` and the
// item `item` (limits `upper` and `lower`; the own limits are the same with a "0" appended) and
// saves it as a new entry or over the one of the same key.
void StoreStandard(TKikakuti4& entry, int kubun, const QString& kosyumei, const QString& item,
                   const QString& upper, const QString& lower, bool hantei = false,
                   const QString& joken = QString());

// Makes sure of the tables the main window makes sure of when it starts (the measurements with
// their lines and points, the works, the work types), then chooses the work `code` and the work
// type `kosyu` as the window does: `header` holds the stored measurement of that pair, or a new
// one. A `workName` given registers the work under that name first.
void ChooseMeasurement(TRokumaKanri& header, const QString& code, const QString& kosyu,
                       const QString& workName = QString());

} // namespace tv::test
