#pragma once

#include "archive/transmission.h"
#include "geo/distancetext.h"

#include <QList>

class QTableWidget;
class QWidget;

// The Reach window's "Transmissions" tab: each transmission of the operator's
// with who heard it, newest first.

// At most this many are read and shown.
inline constexpr qsizetype kTransmissionsShown = 200;

QTableWidget *createTransmissionTable(QWidget *parent);

// Time (UTC), Band, Mode, Heard by, Farthest, Median SNR; texts from the
// network stay plain text.
void fillTransmissionTable(QTableWidget *table, const QList<TransmissionSummary> &summaries, DistanceUnit unit);
