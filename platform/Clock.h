#pragma once
// The program's notion of "now". Tests replace it so that "today" is fixed.
#include <QDateTime>
#include <functional>

namespace tv {

QDateTime Now();
QDate Today();
// Replaces the clock; an empty function restores the system clock.
void SetClock(std::function<QDateTime()> clock);

} // namespace tv
