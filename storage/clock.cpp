#include "storage/clock.h"

namespace {
std::function<QDateTime()> &clockOverride() {
    static std::function<QDateTime()> clock;
    return clock;
}
} // namespace

QDateTime currentDateTime() {
    const auto &clock = clockOverride();
    return clock ? clock() : QDateTime::currentDateTime();
}

void setClockForTests(std::function<QDateTime()> clock) {
    clockOverride() = std::move(clock);
}
