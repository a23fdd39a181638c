#pragma once
// The test and report sheet of the pavement test-method handbook: every reading of a measurement,
// one hundred to a sheet in ten blocks of ten, with d and d², the block sums, the sheet sums and,
// on the last sheet, the measurement's stored totals and standard deviation.
#include <QDate>
#include <QString>

namespace tv {

class TPageTarget;
class TRokumaKanri;

// Draws every sheet of the header's measurement on the target, starting on the page being
// recorded and calling NewPage before each further sheet, and returns the number of sheets. The
// readings are read from the point table by the header's ID; a measurement without readings draws
// nothing (0 sheets). Errors of the query propagate.
int PrintTestReportSheet(TPageTarget& target, TRokumaKanri& header);

// A date as the Japanese calendar writes it: era name, year of the era (the first year written
// 1), month and day without leading zeros, e.g. "平成15年6月19日". Dates before the first era
// keep the Western year ("1867年5月1日"); an invalid date gives the empty text.
QString FormatEraDate(const QDate& date);

} // namespace tv
