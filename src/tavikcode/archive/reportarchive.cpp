#include "reportarchive.h"

#include "archivestore.h"
#include "sqlitedb.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QTimer>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

// Lives on the worker thread; every member is touched there only.
class ArchiveWriter : public QObject
{
public:
    explicit ArchiveWriter(ReportArchive &owner) : m_owner(owner), m_retry(new QTimer(this))
    {
        m_retry->setInterval(ReportArchive::kRetryIntervalMs);
        connect(m_retry, &QTimer::timeout, this, [this] { attempt(); });
    }

    void open(ArchiveOpening opening)
    {
        m_fileName = opening.fileName;
        m_name = QFileInfo(m_fileName).fileName();
        m_oldHistory = std::move(opening.oldHistory);
        m_now = opening.now;
        m_check = true;
        m_store.close();
        attempt();
    }

    void store(const ArchivePass &pass)
    {
        if (m_fileName.isEmpty())
            return; // the window opens the archive before its first pass
        const qint64 storedAt = pass.now.toSecsSinceEpoch();
        for (const QString &line : pass.reportLines) {
            const ArchivedReport *previous = m_reports.isEmpty() ? nullptr : &m_reports.constLast();
            if (std::optional<ArchivedReport> r = reportFromAnswerLine(line, storedAt, previous))
                m_reports.append(std::move(*r));
        }
        for (const QString &line : pass.receiverLines) {
            if (std::optional<ReceiverSighting> s = receiverFromAnswerLine(line, pass.answerArrived))
                m_receivers.append(std::move(*s));
        }
        // A long fault keeps the newest records.
        if (m_reports.size() > ReportArchive::kPendingLimit)
            m_reports.remove(0, m_reports.size() - ReportArchive::kPendingLimit);
        if (m_receivers.size() > ReportArchive::kPendingLimit)
            m_receivers.remove(0, m_receivers.size() - ReportArchive::kPendingLimit);
        m_now = pass.now;
        m_passWaiting = true;
        attempt();
    }

    // Opens when needed, imports the old history into a new archive, stores
    // what waits; on failure keeps it all for the next try.
    void attempt()
    {
        if (m_fileName.isEmpty())
            return;
        int added = 0;
        bool committed = false;
        const bool large = m_reports.size() + m_receivers.size() > kLargeJob;
        try {
            if (!m_store.isOpen()) {
                const ArchiveStore::Opened opened = m_store.open(m_fileName, m_check, m_now);
                m_check = false;
                if (!opened.setAsideAs.isEmpty()) {
                    emit m_owner.failed(QStringLiteral("The report archive %1 was damaged (%2). It was renamed %3 "
                                                       "and a new archive was started.")
                                            .arg(m_name, opened.damage, QFileInfo(opened.setAsideAs).fileName()));
                }
                if (opened.created && !m_oldHistory.isEmpty()) {
                    added += m_store.store(m_oldHistory, {}, ArchiveStore::Origin::Imported);
                    committed = true;
                }
                m_oldHistory.clear();
            }
            if (m_passWaiting || !m_reports.isEmpty() || !m_receivers.isEmpty()) {
                added += m_store.store(m_reports, m_receivers, ArchiveStore::Origin::Served);
                committed = true;
                m_passWaiting = false;
                m_reports = {};
                m_receivers = {};
            }
            m_lastFailure.clear();
            m_retry->stop();
        } catch (const TavikError &e) {
            const auto *sqlite = dynamic_cast<const SqliteError *>(&e);
            // A damaged archive is looked at, and set aside, when opened again.
            if (sqlite && sqlite->isDamage())
                m_check = true;
            m_store.close();
            fail(e.message());
        }
        m_store.releaseMemory();
        if (large)
            trimHeap();
        if (committed)
            emit m_owner.stored(added);
    }

private:
    static constexpr qsizetype kLargeJob = 2000;

    void fail(const QString &reason)
    {
        const QString message = QStringLiteral("The report archive %1 cannot be written: %2. The reports are kept "
                                               "and stored as soon as it can be.")
                                    .arg(m_name, reason);
        if (message != m_lastFailure) {
            m_lastFailure = message;
            emit m_owner.failed(message);
        }
        m_retry->start();
    }

    // The records of a large answer are freed by now; give their pages back.
    static void trimHeap()
    {
#if defined(__GLIBC__)
        malloc_trim(0);
#endif
    }

    ReportArchive &m_owner;
    QTimer *m_retry;
    ArchiveStore m_store;
    QString m_fileName;
    QString m_name;
    QList<ArchivedReport> m_oldHistory;
    QList<ArchivedReport> m_reports;
    QList<ReceiverSighting> m_receivers;
    QDateTime m_now;
    QString m_lastFailure;
    bool m_check = true;
    bool m_passWaiting = false;
};

ReportArchive::ReportArchive(QObject *parent) : QObject(parent), m_writer(new ArchiveWriter(*this))
{
    m_thread.setObjectName(QStringLiteral("TavikArchive"));
    m_writer->moveToThread(&m_thread);
    // The writer closes its connection on its own thread, as the thread ends.
    connect(&m_thread, &QThread::finished, m_writer, &QObject::deleteLater);
    m_thread.start();
}

ReportArchive::~ReportArchive()
{
    waitForIdle();
    m_thread.quit();
    m_thread.wait();
}

void ReportArchive::post(std::function<void(ArchiveWriter &)> job)
{
    {
        QMutexLocker lock(&m_mutex);
        ++m_queued;
    }
    QMetaObject::invokeMethod(
        m_writer,
        [this, job = std::move(job)] {
            job(*m_writer);
            QMutexLocker lock(&m_mutex);
            --m_queued;
            m_idle.wakeAll();
        },
        Qt::QueuedConnection);
}

void ReportArchive::open(ArchiveOpening opening)
{
    post([opening = std::move(opening)](ArchiveWriter &w) mutable { w.open(std::move(opening)); });
}

void ReportArchive::store(ArchivePass pass)
{
    post([pass = std::move(pass)](ArchiveWriter &w) { w.store(pass); });
}

void ReportArchive::retry()
{
    post([](ArchiveWriter &w) { w.attempt(); });
}

void ReportArchive::waitForIdle()
{
    QMutexLocker lock(&m_mutex);
    while (m_queued > 0)
        m_idle.wait(&m_mutex);
}
