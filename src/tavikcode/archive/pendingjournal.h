#pragma once

#include "archiverecords.h"
#include "tavikerror.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

// The records that wait for the archive, kept on disk beside it
// (TavikArchive-pending.txt beside TavikArchive.sqlite), so that neither
// closing nor a crash loses them. The file is replaced whole (QSaveFile)
// and read back in chunks.
//
// Its format, UTF-8 with lines ended by CR LF:
//
//   TavikArchive-pending 2
//   R <TAB> flow_start <TAB> sender <TAB> receiver <TAB> locator <TAB> frequency <TAB> band <TAB> mode
//     <TAB> snr <TAB> snr_text <TAB> dxcc <TAB> stored_at
//   F <TAB> the fields of an R line
//   S <TAB> callsign <TAB> locator <TAB> seen_at
//   end <TAB> the number of R, F and S lines
//
// one R line per report of the operator, one F line per report of a
// reference station, one S line per receiver sighting; times in seconds
// since 1970 UTC, the frequency in hertz; an empty frequency or snr is none.
// In the texts a backslash, tab, CR and LF are written \\, \t, \r and \n.
// A file that does not read so (another first line, a line of another
// shape, no end line or another count) is damaged. A file of version 1
// (written before reference stations, without F lines) reads as well.

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

    const QString &fileName() const { return m_fileName; }
    bool exists() const;

    // Replaces the file with one that holds the records the present file
    // holds (when keep) and then the given ones. Throws JournalDamage when the
    // present file is damaged, TavikError when it cannot be written; the
    // present file is then left as it was.
    void write(const QList<ArchivedReport> &reports, const QList<ReceiverSighting> &receivers, bool keep) const;

    // Hands the records to take in chunks of at most chunkSize records, in
    // the order written. Throws JournalDamage at a line that does not read
    // (after the chunks before it), TavikError when the file cannot be read.
    using Take = std::function<void(const QList<ArchivedReport> &, const QList<ReceiverSighting> &)>;
    void read(qsizetype chunkSize, const Take &take) const;

    // Deletes the file; throws TavikError when it cannot.
    void remove() const;

    // Renames the file aside, e.g. TavikArchive-pending-damaged-20261209-143000.txt
    // (a number added when taken); returns the new name. Throws TavikError.
    QString setAside(const QDateTime &now) const;

private:
    QString m_fileName;
};
