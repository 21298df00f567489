#include "reportarchive.h"

#include "alerttables.h"
#include "archivestore.h"
#include "pendingjournal.h"
#include "platform/freememory.h"
#include "sqlitedb.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QTimer>

#include <algorithm>

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
        if (opening.fileName != m_fileName) {
            m_journal = PendingJournal(PendingJournal::besideArchive(opening.fileName));
            m_journalHolds = false;
            m_journalLooked = false;
        }
        m_fileName = opening.fileName;
        m_name = QFileInfo(m_fileName).fileName();
        m_oldHistory = std::move(opening.oldHistory);
        if (opening.judge)
            m_judge = std::move(opening.judge);
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
        if (!pass.referenceCallsign.isEmpty()) {
            storeReference(pass, storedAt);
            return;
        }
        for (const AnswerReport &served : pass.reports) {
            const ArchivedReport *previous = m_reports.isEmpty() ? nullptr : &m_reports.constLast();
            if (std::optional<ArchivedReport> r = reportFromAnswer(served, storedAt, previous))
                m_reports.append(std::move(*r));
        }
        for (const AnswerReceiver &served : pass.receivers) {
            if (std::optional<ReceiverSighting> s = receiverFromAnswer(served, pass.answerArrived))
                m_receivers.append(std::move(*s));
        }
        m_now = pass.now;
        if (pass.judge)
            m_judge = pass.judge;
        m_passWaiting = true;
        attempt();
    }

    void storeTransmission(const Transmission &transmission)
    {
        if (m_fileName.isEmpty() || !transmission.end.isValid())
            return;
        m_transmissions.append(transmission);
        attempt();
    }

    void clearAlerts()
    {
        if (!m_store.isOpen())
            attempt();
        if (!m_store.isOpen())
            return; // told by the attempt
        try {
            m_store.clearAlerts();
            emit m_owner.alertsCleared();
        } catch (const TavikError &e) {
            tell(QStringLiteral("The alert list of the report archive %1 cannot be cleared: %2.")
                     .arg(m_name, e.message()));
        }
    }

    // Opens when needed (reconciling the history), stores the journal, then
    // what waits in memory; on failure journals what waits for the next try.
    void attempt()
    {
        if (m_fileName.isEmpty())
            return;
        if (!m_journalLooked)
            lookAtJournal();
        // Replaying the journal is one catch-up for the rules, told once.
        const std::shared_ptr<AlertJudge> replaying = m_journalHolds ? m_judge : nullptr;
        if (replaying)
            replaying->beginCatchUp();
        ArchiveStore::Added added;
        bool committed = false;
        const bool large = m_reports.size() + m_receivers.size() > kLargeJob || m_journalHolds;
        try {
            if (!m_store.isOpen()) {
                const ArchiveStore::Opened opened =
                    m_store.open(m_fileName, m_check, m_now, m_oldHistory, m_judge.get());
                m_check = false;
                if (!opened.setAsideAs.isEmpty()) {
                    emit m_owner.failed(QStringLiteral("The report archive %1 was damaged (%2). It was renamed %3 "
                                                       "and a new archive was started.")
                                            .arg(m_name, opened.damage, QFileInfo(opened.setAsideAs).fileName()));
                }
                if (!m_oldHistory.isEmpty()) {
                    added.reports += opened.imported;
                    committed = true;
                }
                m_oldHistory.clear();
            }
            if (m_journalHolds) {
                committed = storeJournal(added) || committed;
                m_store.storeTransmissions(m_journal.transmissions());
            }
            if (m_passWaiting || !m_reports.isEmpty() || !m_receivers.isEmpty()) {
                added += m_store.store(m_reports, m_receivers, ArchiveStore::Origin::Served, m_judge.get(),
                                       m_now.toSecsSinceEpoch());
                committed = true;
                m_passWaiting = false;
                m_reports = {};
                m_receivers = {};
            }
            if (!m_transmissions.isEmpty()) {
                m_store.storeTransmissions(m_transmissions);
                m_transmissions = {};
            }
            if (m_journalHolds) {
                m_journalHolds = false;
                removeJournal();
            }
            m_lastFailure.clear();
            m_droppedTold = false;
            m_retry->stop();
        } catch (const TavikError &e) {
            const auto *sqlite = dynamic_cast<const SqliteError *>(&e);
            // A damaged archive is looked at, and set aside, when opened again.
            if (sqlite && sqlite->isDamage())
                m_check = true;
            m_store.close();
            keepWaiting();
            fail(e.message());
        }
        if (replaying)
            replaying->endCatchUp();
        m_store.releaseMemory();
        // The records of a large answer are freed by now; give their pages back.
        if (large)
            returnFreedMemory();
        if (committed)
            emit m_owner.stored(added.reports);
        if (added.references > 0)
            emit m_owner.referencesStored(added.references);
    }

    // The closing path: what still waits in memory is stored, or journalled.
    void finish()
    {
        if (!m_reports.isEmpty() || !m_receivers.isEmpty() || !m_transmissions.isEmpty())
            attempt();
    }

private:
    static constexpr qsizetype kLargeJob = 2000;

    static bool isOwn(const ArchivedReport &r) { return !r.reference; }

    // A reference station's answer: its own reports only, by their whole
    // sender (the service may name K1ABC/P in an answer for K1ABC), waiting
    // and retried as the operator's do.
    void storeReference(const ArchivePass &pass, qint64 storedAt)
    {
        for (const AnswerReport &served : pass.reports) {
            const ArchivedReport *previous = m_reports.isEmpty() ? nullptr : &m_reports.constLast();
            std::optional<ArchivedReport> r = reportFromAnswer(served, storedAt, previous);
            if (!r || r->sender.compare(pass.referenceCallsign, Qt::CaseInsensitive) != 0)
                continue;
            r->sender = pass.referenceCallsign;
            r->reference = true;
            m_reports.append(std::move(*r));
        }
        // No pass of the operator's: the alert rules and the tray never hear of it.
        m_now = pass.now;
        attempt();
    }

    // A journal found at the first open: read through once, so that a
    // damaged segment is set aside before anything is stored or journalled.
    void lookAtJournal()
    {
        m_journalLooked = true;
        qint64 reports = 0;
        for (const QString &segment : m_journal.segments()) {
            qint64 held = 0;
            try {
                PendingJournal::readSegment(segment, ReportArchive::kJournalChunk,
                                            [&held](const QList<ArchivedReport> &chunk, const auto &) {
                                                held += std::count_if(chunk.cbegin(), chunk.cend(), isOwn);
                                            });
                reports += held;
            } catch (const TavikError &e) {
                journalUnreadable(segment, e.message());
            }
        }
        m_journalHolds = m_journal.exists();
        setJournalled(m_journalHolds ? reports : 0);
    }

    // Stores the journal's records, a chunk to a transaction; true when one
    // was committed. Storing a chunk again after a failure adds nothing.
    bool storeJournal(ArchiveStore::Added &added)
    {
        bool committed = false;
        m_journal.read(
            ReportArchive::kJournalChunk,
            [&](const auto &reports, const auto &receivers) {
                added += m_store.store(reports, receivers, ArchiveStore::Origin::Served, m_judge.get(),
                                       m_now.toSecsSinceEpoch());
                committed = true;
            },
            [this](const QString &segment, const QString &reason) { journalUnreadable(segment, reason); });
        return committed;
    }

    void removeJournal()
    {
        try {
            m_journal.remove();
        } catch (const TavikError &e) {
            // Stored again at the next start, it adds nothing.
            tell(QStringLiteral("The reports that waited for the report archive %1 are stored, but %2.")
                     .arg(m_name, e.message()));
        }
        setJournalled(0);
    }

    // Never dropped unseen: renamed aside and told.
    void journalUnreadable(const QString &segment, const QString &reason)
    {
        const QString name = QFileInfo(segment).fileName();
        try {
            const QString aside = QFileInfo(PendingJournal::setAside(segment, m_now)).fileName();
            tell(QStringLiteral("The file %1 of reports waiting for the report archive cannot be read "
                                "(%2). It was renamed %3; the reports in it are not in the archive.")
                     .arg(name, reason, aside));
        } catch (const TavikError &e) {
            tell(QStringLiteral("The file %1 of reports waiting for the report archive cannot be read "
                                "(%2), nor set aside: %3. The reports in it are not in the archive.")
                     .arg(name, reason, e.message()));
        }
    }

    // The operator's reports that wait in the journal, told when it changes.
    void setJournalled(qint64 reports)
    {
        if (reports == m_journalled)
            return;
        m_journalled = reports;
        emit m_owner.waiting(reports);
    }

    // After a failed store: what waits in memory goes to the journal as a
    // segment of its own (what the journal holds stays as written), so that
    // a crash or closing keeps it. Only when the journal cannot be written
    // does it stay in memory, up to the limit.
    void keepWaiting()
    {
        if (m_reports.isEmpty() && m_receivers.isEmpty() && m_transmissions.isEmpty())
            return;
        try {
            m_journal.append(m_reports, m_receivers, m_transmissions);
            m_journalHolds = true;
            setJournalled(m_journalled + std::count_if(m_reports.cbegin(), m_reports.cend(), isOwn));
            m_reports = {};
            m_receivers = {};
            m_transmissions = {};
            m_journalFailure.clear();
        } catch (const TavikError &e) {
            m_journalFailure = e.message();
            dropBeyondLimit();
        }
    }

    // A long fault of both the archive and its journal keeps the newest records.
    void dropBeyondLimit()
    {
        const qsizetype reports = std::max<qsizetype>(0, m_reports.size() - ReportArchive::kPendingLimit);
        const qsizetype receivers = std::max<qsizetype>(0, m_receivers.size() - ReportArchive::kPendingLimit);
        if (reports == 0 && receivers == 0)
            return;
        m_reports.remove(0, reports);
        m_receivers.remove(0, receivers);
        if (!m_droppedTold) {
            m_droppedTold = true;
            emit m_owner.failed(QStringLiteral("Reports are being lost: neither the report archive %1 nor %2 "
                                               "can be written, and of the reports waiting only the newest %3 "
                                               "are kept.")
                                    .arg(m_name, QFileInfo(m_journal.fileName()).fileName())
                                    .arg(ReportArchive::kPendingLimit));
        }
    }

    void fail(const QString &reason)
    {
        QString message = QStringLiteral("The report archive %1 cannot be written: %2. ").arg(m_name, reason);
        if (m_journalFailure.isEmpty())
            message += QStringLiteral("The reports are kept and stored as soon as it can be.");
        else
            message += QStringLiteral("The reports are kept in memory and stored as soon as it can be; %1, so "
                                      "closing the program now would lose them.")
                           .arg(m_journalFailure);
        tell(message);
        m_retry->start();
    }

    void tell(const QString &message)
    {
        if (message != m_lastFailure) {
            m_lastFailure = message;
            emit m_owner.failed(message);
        }
    }

    ReportArchive &m_owner;
    QTimer *m_retry;
    ArchiveStore m_store;
    PendingJournal m_journal;
    QString m_fileName;
    QString m_name;
    QList<ArchivedReport> m_oldHistory;
    std::shared_ptr<AlertJudge> m_judge; // the rules of the last pass (or of the opening)
    QList<ArchivedReport> m_reports;     // waiting, not in the journal
    QList<ReceiverSighting> m_receivers; // waiting, not in the journal
    QList<Transmission> m_transmissions; // waiting, not in the journal
    QDateTime m_now;
    QString m_lastFailure;
    QString m_journalFailure;
    bool m_check = true;
    bool m_passWaiting = false;
    bool m_journalLooked = false;
    bool m_journalHolds = false; // the journal holds records not yet committed
    bool m_droppedTold = false;
    qint64 m_journalled = 0; // the operator's reports in the journal
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
    finish();
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

void ReportArchive::storeTransmission(const Transmission &transmission)
{
    post([transmission](ArchiveWriter &w) { w.storeTransmission(transmission); });
}

void ReportArchive::clearAlerts()
{
    post([](ArchiveWriter &w) { w.clearAlerts(); });
}

void ReportArchive::retry()
{
    post([](ArchiveWriter &w) { w.attempt(); });
}

void ReportArchive::finish()
{
    post([](ArchiveWriter &w) { w.finish(); });
    waitForIdle();
}

void ReportArchive::waitForIdle()
{
    QMutexLocker lock(&m_mutex);
    while (m_queued > 0)
        m_idle.wait(&m_mutex);
}
