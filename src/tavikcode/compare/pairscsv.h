#pragma once

#include "comparedata.h"

#include <QByteArray>
#include <QIODevice>

// The pairs of a comparison as CSV, quoted as the Reach window's export is
// (csvField): UTF-8, a header row, CR LF line ends, one pair a line with the
// receiver, its locator (of the operator's report), band, mode, both
// reception times as UTC text, both signal reports, their difference
// (operator minus reference) and the distance and bearing from the
// operator's locator (empty without one, or for a value that is no locator).

QByteArray pairsCsvHeader();

// Writes the header and every pair; returns the pairs written. Throws
// TavikError when the device takes fewer bytes than given.
qint64 writePairsCsv(QIODevice &device, const CompareData &data);
