#pragma once

#include "archivereader.h"

#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QWaitCondition>

#include <functional>

class ArchiveWriter;

// What the window hands over when it opens the archive at activation.
struct ArchiveOpening
{
    QString fileName;                  // absolute
    QList<ArchivedReport> oldHistory;  // TavikRpts.txt read back, for a new archive only
    QDateTime now;                     // names a damaged archive set aside
};

// What the window hands over after each response pass.
struct ArchivePass
{
    QStringList reportLines;    // answer lines the pass took for the operator's reports
    QStringList receiverLines;  // answer lines naming an active receiver
    qint64 answerArrived = 0;   // TavikRep.txt's last-write time, seconds since 1970 UTC
    QDateTime now;              // when the pass ran: the reports' time of first storing
};

// The one owner of the archive's write side. Its connection lives on a
// worker thread of its own; the window hands it jobs and hears back through
// the signals, which arrive queued on the thread that created the owner.
//
// A pass handed over before open() is not kept. A store that fails keeps its
// records (the newest 200,000) and tries them again with the next job and
// every minute, so a briefly locked archive catches up on its own. Every
// fault is told once through failed(), until a store succeeds again.
class ReportArchive : public QObject
{
    Q_OBJECT

public:
    explicit ReportArchive(QObject *parent = nullptr);
    // Finishes the jobs handed over, then stops the worker.
    ~ReportArchive() override;

    void open(ArchiveOpening opening);
    void store(ArchivePass pass);
    // What the worker's timer does: stores what a failed job left, opening
    // the archive again when needed.
    void retry();

    // Blocks until every job handed over is done (tests; the end of the program).
    void waitForIdle();

    static constexpr qsizetype kPendingLimit = 200000;
    static constexpr int kRetryIntervalMs = 60000;

signals:
    // After every committed store, with the reports it added.
    void stored(int reportsAdded);
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
