#pragma once

#include "textlines.h"

#include <QDateTime>
#include <QString>

// The values every part of the program shares, touched only on the
// user-interface thread. The window owns one instance for its lifetime.
struct ProgramState
{
    QString Callsign;            // operator callsign; ends in CR while a prompt entry waits
    QString LastSeqNo;           // last sequence number from the service; empty: ask for all
    QDateTime LastGetTime;       // local start time of the last query
    bool LogEnabled = false;     // logflag.txt was present at start
    bool NotifyOff = true;       // despite its name: true lets the update notice show
    int EmptyReplies = 0;        // consecutive one-line answers
    int TickCounter = 0;         // ticks since activation, wrapping to 10 after 3600
    QString LocalIP;             // local address from the address watcher
    QString PublicIP;            // echo answer; "127.0.0.1" marks it lost
    TextLines ResponseLines{TextLines::Unsorted}; // lines of the last raw answer
    TextLines GridList{TextLines::Sorted};        // callsign,locator entries
    QString Switches;            // command-line parameters, upper-cased, each after a blank
    QString VersionText;         // e.g. 1.0.0.27
    QString BuildStamp;          // program file's date-time text
    QString WsjtxFolder;         // where WSJT-X keeps its settings
    qint64 ReportsStamp = 0;     // last handled size or age of TavikRpts.txt
    qint64 ResponseStamp = 0;    // last handled size or age of TavikRep.txt
    QDateTime ResponseArrived;   // when the query wrote TavikRep.txt (UTC); invalid: only the file knows
    int RowColour = 0;           // paint state of the table view
    QString RowDate;
    QString LastVersion;         // build-number tail recorded at the last run
};

// A public address is known when it is neither empty nor marked lost.
inline bool isPublicIpKnown(const ProgramState &s)
{
    return !s.PublicIP.isEmpty() && s.PublicIP != QStringLiteral("127.0.0.1");
}
