#pragma once

#include "transmission.h"

#include "alertstate.h"
#include "archiverecords.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class AlertTables;
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
        bool created = false;   // a new archive
        int imported = 0;       // history lines added
        QString setAsideAs;     // the name the damaged archive was given, when it was
        QString damage;         // what was wrong with it
    };

    // Opens the archive, creating it when missing, in WAL mode. In one
    // transaction it brings the schema up to date (a new archive gets it
    // whole, an older one is migrated) and adds every report of the history
    // that the archive does not hold (see reconcileHistory), so that no
    // archive stands without the history's reports, whatever ended an
    // earlier start. With check, a file that is no
    // database or fails PRAGMA quick_check is renamed aside, with its -wal and
    // -shm files (a name with the date and time of now, local), and a new
    // archive is started. A -wal without its archive is refused: a new
    // archive never opens beside an old log. An archive brought up to schema
    // version 3 teaches the learner (when there is one) the reports it holds,
    // and the history's reports added teach it too, silently.
    // Throws SqliteError or TavikError; the store is then closed.
    Opened open(const QString &fileName, bool check, const QDateTime &now,
                const QList<ArchivedReport> &history = {}, AlertJudge *learner = nullptr);
    bool isOpen() const { return m_db != nullptr; }
    void close();

    enum class Origin { Served, Imported };
    // What a store added: reports of the operator (report) and of the
    // reference stations (reference_report).
    struct Added
    {
        int reports = 0;
        int references = 0;

        Added &operator+=(const Added &other)
        {
            reports += other.reports;
            references += other.references;
            return *this;
        }
    };
    // Stores the records in one transaction; returns what was added. A
    // served report's band is named here from its frequency by the band plan;
    // an imported one keeps its band text and has no frequency. A served
    // report of the same reception as an imported row (receiver, flow_start,
    // mode, and the band the history gives its frequency) takes that row's
    // place, keeping the time it was first stored. A reference station's
    // report (ArchivedReport::reference) goes to reference_report, served.
    // With a judge, the operator's reports it added (those it held already
    // are not new; a reference station's never) are judged in the same
    // transaction (now: when the pass ran, seconds since 1970 UTC), the
    // rules' state and their alerts kept with them, and the judge told once
    // it is committed; a store of reference reports alone is not judged.
    // Throws SqliteError; nothing is stored then, and the rules' state is as
    // it was.
    Added store(const QList<ArchivedReport> &reports, const QList<ReceiverSighting> &receivers,
                Origin origin = Origin::Served, AlertJudge *judge = nullptr, qint64 now = 0);

    // Empties the alert list. Throws SqliteError.
    void clearAlerts();
    // Adds the transmissions the archive does not hold yet (by start), in
    // one transaction. Throws SqliteError.
    void storeTransmissions(const QList<Transmission> &transmissions);

    // Gives back the page cache; the writer is idle most of the time.
    void releaseMemory();

    // The name a damaged archive gets: TavikArchive-damaged-20261209-143000.sqlite
    // beside it, with a number added when that name (or its -wal or -shm) is taken.
    static QString setAsideName(const QString &fileName, const QDateTime &now);

    // Renames the archive to aside, then its -wal and -shm files (when there)
    // to aside with the same endings. When one rename fails, what was moved
    // is moved back. Returns what went wrong, empty when all was moved.
    using Rename = std::function<bool(const QString &from, const QString &to)>;
    static QString setAside(const QString &fileName, const QString &aside, const Rename &rename = {});

    // How long a store waits for another program's write lock before it
    // fails and is tried again later (2 s; tests that hold the lock shorten it).
    static void setBusyTimeout(int milliseconds);

private:
    void connect(const QString &fileName, bool check);
    void configure();
    void prepare();
    void giveBackFreePages();
    // Adds, as imported rows, the history's reports that the archive does not
    // hold: no row of the same time, receiver, mode and band, a served row's
    // band being the one the history gives its frequency. In the caller's
    // transaction; the reports added are appended to added.
    int reconcileHistory(const QList<ArchivedReport> &history, QList<ArchivedReport> &added);
    // The rows of store(), in the caller's transaction; the operator's
    // reports added are appended to added when given.
    Added writeRows(const QList<ArchivedReport> &reports, const QList<ReceiverSighting> &receivers, Origin origin,
                    QList<ArchivedReport> *added = nullptr);

    std::unique_ptr<SqliteDb> m_db;
    std::unique_ptr<Statement> m_insert;
    std::unique_ptr<Statement> m_insertReference;
    std::unique_ptr<Statement> m_replaceImported;
    std::unique_ptr<Statement> m_importedRange;
    std::unique_ptr<Statement> m_sighting;
    std::unique_ptr<Statement> m_sameReception;
    std::unique_ptr<AlertTables> m_alertTables;
    AlertState m_alertState; // as committed
};
