#pragma once

#include <QDateTime>
#include <functional>

// The program's one source of the current time, so tests can fix it.
QDateTime currentDateTime();

// Replaces the clock; an empty function restores the system clock.
void setClockForTests(std::function<QDateTime()> clock);
