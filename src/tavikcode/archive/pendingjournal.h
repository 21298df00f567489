#pragma once

#include "archiverecords.h"
#include "transmission.h"
#include "base/tavikerror.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The records that wait for the archive, kept on disk beside it so that
// neither closing nor a crash loses them. Every failed store writes only its
// own records, as a segment file of its own: TavikArchive-pending.txt first,
// then TavikArchive-pending-2.txt, -3 and so on, each written whole under a
// temporary name and renamed into place (QSaveFile), never touched again; a
// segment is read back in chunks, and all are deleted once stored.
//
// The format of each segment, UTF-8 with lines ended by CR LF:
//
//   TavikArchive-pending 3
//   R <TAB> flow_start <TAB> sender <TAB> receiver <TAB> locator <TAB> frequency <TAB> band <TAB> mode
//     <TAB> snr <TAB> snr_text <TAB> dxcc <TAB> stored_at
//   F <TAB> the fields of an R line
//   S <TAB> callsign <TAB> locator <TAB> seen_at
//   T <TAB> start_ms <TAB> end_ms <TAB> dial_hz <TAB> band <TAB> mode <TAB> tx_df
//   end <TAB> the number of R, F, S and T lines
//
// one R line per report of the operator, one F line per report of a
// reference station, one S line per receiver sighting, one T line per
// transmission of the operator's; times in seconds (a transmission's in
// milliseconds) since 1970 UTC, the frequency in hertz; an empty frequency or snr is none.
// In the texts a backslash, tab, CR and LF are written \\, \t, \r and \n.
// A segment that does not read so (another first line, a line of another
// shape, no end line or another count) is damaged. Files of version 1
// (without F lines) and 2 (without T lines) read as well.

class JournalDamage : public TavikError
{
public:
    using TavikError::TavikError;
};

class PendingJournal
{
public:
    explicit PendingJournal(QString fileName = {}) : m_fileName(std::move(fileName)) {}

    // The journal of an archive: its name with "-pending.txt" for its ending.
    static QString besideArchive(const QString &archiveFileName);

    // The first segment's name.
    const QString &fileName() const { return m_fileName; }
    bool exists() const { return !segments().isEmpty(); }
    // The segment files there, in the order written.
    QStringList segments() const;

    // Writes the records as a new segment after those there; returns its
    // name. Throws TavikError when it cannot be written: nothing of it is
    // left then, and the segments there are as they were.
    QString append(const QList<ArchivedReport> &reports, const QList<ReceiverSighting> &receivers,
                   const QList<Transmission> &transmissions = {}) const;
    // The transmissions of every segment that reads whole, in the order written.
    QList<Transmission> transmissions() const;

    // Hands the records of every segment to take in chunks of at most
    // chunkSize records, in the order written. A segment that cannot be read,
    // or does not read whole, goes to damaged (its name and why) after the
    // records before the fault, and the next segment is read; without
    // damaged, that throws (JournalDamage, or TavikError when unreadable).
    // take may throw, which ends the reading.
    using Take = std::function<void(const QList<ArchivedReport> &, const QList<ReceiverSighting> &)>;
    using Damaged = std::function<void(const QString &segment, const QString &reason)>;
    void read(qsizetype chunkSize, const Take &take, const Damaged &damaged = {}) const;
    // One segment's records, as read() hands them; throws at a fault.
    static void readSegment(const QString &segment, qsizetype chunkSize, const Take &take);

    // Deletes every segment; throws TavikError when one cannot be.
    void remove() const;

    // Renames a segment aside, e.g. TavikArchive-pending-damaged-20261209-143000.txt
    // (a number added when taken); returns the new name. Throws TavikError.
    static QString setAside(const QString &segment, const QDateTime &now);

private:
    QString m_fileName;
};
