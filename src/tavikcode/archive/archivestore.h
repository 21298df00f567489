#pragma once

#include "archiverecords.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>

class SqliteDb;
class Statement;

// The archive's write side: one connection, used on one thread. Every call
// either does all it says or, throwing, leaves the archive as it was.
class ArchiveStore
{
public:
    ArchiveStore();
    ~ArchiveStore();
    ArchiveStore(const ArchiveStore &) = delete;
    ArchiveStore &operator=(const ArchiveStore &) = delete;

    struct Opened
    {
        bool created = false;   // a new, empty archive: the place for an import
        QString setAsideAs;     // the name the damaged archive was given, when it was
        QString damage;         // what was wrong with it
    };

    // Opens the archive, creating it when missing, in WAL mode with the
    // schema brought up to date. With check, a file that is no database or
    // fails PRAGMA quick_check is renamed aside, with its -wal and -shm files
    // (a name with the date and time of now, local), and a new archive is
    // started. Throws SqliteError or TavikError; the store is then closed.
    Opened open(const QString &fileName, bool check, const QDateTime &now);
    bool isOpen() const { return m_db != nullptr; }
    void close();

    enum class Origin { Served, Imported };
    // Stores the records in one transaction; returns the reports added. A
    // served report of the same reception as an imported row (receiver,
    // flow_start, mode and band) takes that row's place. Throws SqliteError;
    // nothing is stored then.
    int store(const QList<ArchivedReport> &reports, const QList<ReceiverSighting> &receivers, Origin origin);

    // Gives back the page cache; the writer is idle most of the time.
    void releaseMemory();

    // The name a damaged archive gets: TavikArchive-damaged-20261209-143000.sqlite
    // beside it, with a number added when that name is taken.
    static QString setAsideName(const QString &fileName, const QDateTime &now);

private:
    void connect(const QString &fileName, bool check);
    void configure();
    void prepare();

    std::unique_ptr<SqliteDb> m_db;
    std::unique_ptr<Statement> m_insert;
    std::unique_ptr<Statement> m_replaceImported;
    std::unique_ptr<Statement> m_importedRange;
    std::unique_ptr<Statement> m_sighting;
};
