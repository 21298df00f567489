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

} // namespace Clock
