#pragma once
// The printed list of all standard values: a frame of 17 cm × 26 cm per page with a heading band
// and 25 entry bands of 1 cm each.
namespace tv {

class TPageTarget;

// Page origin of the list: 2.0 cm from the left and 1.85 cm from the top edge of the sheet.
constexpr float kKikakuti4ListShiftX = -2.0f;
constexpr float kKikakuti4ListShiftY = -1.85f;

// Draws every stored entry, sorted by category, work-type name and item name, on the target's
// pages from the current page on, in 10-point type. The entries are read into an object of the
// list's own, so no window's entry changes. A new page is begun only for a further entry, so a
// register of 25 entries fills exactly one page; an empty register leaves the page empty.
void PrintKikakuti4List(TPageTarget& target);

} // namespace tv
