#pragma once
// The list of as-built flatness results of the pavement surface: every group of a measurement
// (one line of ten readings) with its number, measuring position and range, sixty groups to a
// page, and the group-range evaluation at the foot of every page.
#include "printing/PageTarget.h"

#include <QString>

namespace tv {

class TRokumaKanri;

// The 仕様書の範囲 (the range the contract documents allow) as printed: "_2.4" reads "2.4以下", any
// other text stays as it is.
QString SiyousyoRangeText(const QString& text);

// The range factor C of the group size g as printed ("2.53" for 6 .. "3.08" for 10); empty for
// any other size.
QString RangeFactorText(int g);

// Draws the whole list for the stored lines of the header's measurement onto the target, which
// has begun its document; NewPage before every page after the first. Returns the number of pages
// drawn; a measurement without lines draws nothing (0). Errors of the query propagate.
int PrintResultsTable(TPageTarget& target, TRokumaKanri& header);

} // namespace tv
