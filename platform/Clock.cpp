#include "platform/Clock.h"

namespace tv {
namespace {
std::function<QDateTime()>& ClockFunction() {
    static std::function<QDateTime()> clock;
    return clock;
}
} // namespace

QDateTime Now() {
    auto& clock = ClockFunction();
    return clock ? clock() : QDateTime::currentDateTime();
}

QDate Today() {
    return Now().date();
}

void SetClock(std::function<QDateTime()> clock) {
    ClockFunction() = std::move(clock);
}

} // namespace tv
