#pragma once

#include "alertstate.h"
#include "archivereader.h"
#include "processing/reportline.h"

#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QWaitCondition>

#include <functional>
#include <memory>

class ArchiveWriter;

// What the window hands over when it opens the archive at activation.
struct ArchiveOpening
{
    QString fileName;                  // absolute
    QList<ArchivedReport> oldHistory;  // TavikRpts.txt read back: what the archive lacks of it is added
    QDateTime now;                     // names a damaged archive set aside
    // Learns from the reports of an archive brought up to schema version 3,
    // and judges the stores before the first pass (the journal's).
    std::shared_ptr<AlertJudge> judge = {};
};

// What the window hands over after each response pass, or after the answer
// to a reference station's query (referenceCallsign set): of that, only the
// report lines whose sender is exactly the reference are kept, in
// reference_report, and nothing else (no receiver, nothing for the alert
// rules).
struct ArchivePass
{
    QList<AnswerReport> reports;     // what the pass read of the operator's reports
    QList<AnswerReceiver> receivers; // what it read of the active receivers
    qint64 answerArrived = 0;        // when the answer came in, seconds since 1970 UTC
    QDateTime now;              // when the pass ran: the reports' time of first storing
    // Judges the reports the pass adds, in its store's transaction, and
    // every later store until another pass brings another judge; none: the
    // judge before. A reference station's answer is never judged.
    std::shared_ptr<AlertJudge> judge = {};
    QString referenceCallsign = {}; // empty: the operator's own pass
};

// The one owner of the archive's write side. Its connection lives on a
// worker thread of its own; the window hands it jobs and hears back through
// the signals, which arrive queued on the thread that created the owner.
// Opening migrates an archive of an older schema there too (seconds for a
// big one); the passes handed over meanwhile wait in the queue.
//
// A pass handed over before open() is not kept. A store that fails writes
// its own records to the journal beside the archive (a new segment of
// TavikArchive-pending.txt, see pendingjournal.h) and tries again with the next job and every minute,
// so a briefly locked archive catches up on its own, and a closed or crashed
// program stores the journal first at its next open; the journal is deleted
// once its records are committed. A journal that cannot be read is renamed
// aside and told. Every fault is told once through failed(), until a store
// succeeds again.
//
// Every store of a pass, and every store of waiting reports, runs the alert
// rules (the pass's AlertJudge) over the reports it added, in its own
// transaction: the rules' state and the alert list stay with the reports
// that made them. The alert list is cleared here too.
class ReportArchive : public QObject
{
    Q_OBJECT

public:
    explicit ReportArchive(QObject *parent = nullptr);
    // finish(), then stops the worker.
    ~ReportArchive() override;

    void open(ArchiveOpening opening);
    void store(ArchivePass pass);
    // What the worker's timer does: stores what a failed job left, opening
    // the archive again when needed.
    void retry();

    // Empties the alert list (the shared reader reads it: ArchiveReader::alerts).
    void clearAlerts();
    // Keeps an ended transmission of the operator's, as a pass's reports
    // are kept: in the journal while the archive cannot be written.
    void storeTransmission(const Transmission &transmission);

    // Blocks until every job handed over is done (tests; the end of the program).
    void waitForIdle();

    // For the program's closing path, on the owner's thread: blocks until
    // every job handed over is done (each store tries once more; a migration
    // runs to its end), then stores what still waits in memory or, when the
    // archive cannot take it, writes it to the journal: after it nothing that
    // waits is in memory only, unless the journal cannot be written either
    // (told through failed()). Jobs handed over after it are still done;
    // calling it again does no harm.
    void finish();

    // Records wait in memory only while the journal cannot be written either
    // (a full disk): beyond this many the oldest are dropped, and the
    // operator is told.
    static constexpr qsizetype kPendingLimit = 200000;
    static constexpr int kRetryIntervalMs = 60000;
    // The journal is stored this many records to a transaction.
    static constexpr qsizetype kJournalChunk = 10000;

signals:
    // After every committed store, with the operator's reports it added.
    void stored(int reportsAdded);
    // After a committed store that added reports of reference stations.
    void referencesStored(int reportsAdded);
    // After the alert list was emptied.
    void alertsCleared();
    // The operator's reports that wait in the journal, whenever that changes
    // (0: none wait there any more).
    void waiting(qint64 reports);
    // A fault the operator should hear of, in a sentence: the archive cannot
    // be opened or written, or a damaged archive was set aside.
    void failed(const QString &message);

private:
    void post(std::function<void(ArchiveWriter &)> job);

    QThread m_thread;
    ArchiveWriter *m_writer;
    QMutex m_mutex;
    QWaitCondition m_idle;
    int m_queued = 0;
};
