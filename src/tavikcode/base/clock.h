#pragma once

#include <QDateTime>

// The one source of "now". Tests set it and move it on; the program reads the
// system clock.
namespace Clock {

QDateTime nowLocal();
QDateTime nowUtc();

// Fixes the clock at the given instant until reset() (tests only).
void set(const QDateTime &instant);
void advance(qint64 seconds);
void reset();

// Whether the clock is fixed by set(). While it is, the files the program
// writes carry its time as their last-write time, so that the file ages the
// tick watches move with the clock (tests only).
bool isFixed();

} // namespace Clock
