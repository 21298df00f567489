#pragma once

#include "archive/transmission.h"
#include "wsjtxinstances.h"

#include <QString>

// What the tray and the Reach window say of the link to the digital-mode
// program. The mode and the program's name come from the network: only
// letters, digits and a few signs of them are shown, so that no line can
// read as markup.

// The band the followed copy is on ("20m"); empty when none is followed or
// it does not know its frequency yet.
QString liveBand(const WsjtxInstances &instances);

// The followed copy's DE grid when it is a locator; empty otherwise.
QString liveGrid(const WsjtxInstances &instances);

// "WSJT-X: 20m FT8, transmitting", "JTDX: 40m FT8", "WSJT-X: no frequency
// yet", or "no digital-mode program heard"; the copies heard besides the
// followed one are named after it ("; also heard: JTDX").
QString linkStateText(const WsjtxInstances &instances, bool transmitting);

// "Last TX 14:03:15 20m FT8: heard by 23, farthest 8,912 km"; "heard by
// nobody yet" while no report belongs to it.
QString lastTransmissionLine(const TransmissionSummary &summary);

// When the followed copy sends as another callsign than the one asked for:
// "WSJT-X sends as DL1ABC; this program asks for DL1XYZ." Empty otherwise.
QString callsignNote(const WsjtxInstances &instances, const QString &callsign);
