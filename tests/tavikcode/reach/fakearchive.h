#pragma once

#include "archive/alertstate.h"
#include "archive/archivereader.h"
#include "base/tavikerror.h"

#include <QList>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

// What a fake archive answers, shared by every reader opened on it. A test
// may hold its queries at a gate and let them go one by one.
struct FakeArchiveData
{
    std::mutex mutex;
    std::condition_variable changed;
    ReachSnapshot snapshot;
    QList<ArchivedReport> reports;
    QList<ArchivePeriod> periods; // of every reach() asked
    ComparisonReports comparison; // what comparison() answers, through reach()'s gate
    QStringList compared;         // "operator reference" of every comparison() asked
    QString failure;              // reach() and forEachReport() throw it when set
    QString alertArchive;         // alerts() reads the list from this real archive
    bool gated = false;           // reach() waits at the gate while this holds
    bool wakeOnCancel = true;     // false: a cancelled query notices only when let through
    int waiting = 0;              // queries waiting at the gate
    int passes = 0;               // queries the gate may let through
    int cancelled = 0;            // queries that ended cancelled
    int readersOpened = 0;
    int readersClosed = 0;

    // Lets one held query through.
    void release()
    {
        std::lock_guard lock(mutex);
        ++passes;
        changed.notify_all();
    }
    // Waits until n queries wait at the gate.
    void waitForWaiting(int n)
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return waiting >= n; });
    }
};

class FakeArchive final : public ArchiveReader
{
public:
    explicit FakeArchive(std::shared_ptr<FakeArchiveData> data) : m_data(std::move(data))
    {
        std::lock_guard lock(m_data->mutex);
        ++m_data->readersOpened;
    }
    ~FakeArchive() override
    {
        std::lock_guard lock(m_data->mutex);
        ++m_data->readersClosed;
        m_data->changed.notify_all();
    }

    ReachSnapshot reach(const ArchivePeriod &period) override
    {
        std::unique_lock lock(m_data->mutex);
        m_data->periods.append(period);
        if (m_data->gated) {
            ++m_data->waiting;
            m_data->changed.notify_all();
            // The flag is set without a word to this lock: looked at every few milliseconds.
            while (!((isCancelled() && m_data->wakeOnCancel) || m_data->passes > 0))
                m_data->changed.wait_for(lock, std::chrono::milliseconds(2));
            --m_data->waiting;
            // As SQLite's progress handler: a set flag stops the query at its next step.
            if (isCancelled()) {
                ++m_data->cancelled;
                throw QueryCancelled();
            }
            --m_data->passes;
        }
        if (!m_data->failure.isEmpty())
            throw TavikError(m_data->failure);
        return m_data->snapshot;
    }

    ComparisonReports comparison(const ArchivePeriod &period, const QString &operatorCallsign,
                                 const QString &referenceCallsign, qint64) override
    {
        {
            std::lock_guard lock(m_data->mutex);
            m_data->compared.append(operatorCallsign + u' ' + referenceCallsign);
        }
        reach(period); // the gate, a cancellation and the failure as for reach()
        std::lock_guard lock(m_data->mutex);
        return m_data->comparison;
    }

    void forEachReport(const ArchivePeriod &period, const std::function<void(const ArchivedReport &)> &visit) override
    {
        QList<ArchivedReport> reports;
        {
            std::lock_guard lock(m_data->mutex);
            if (!m_data->failure.isEmpty())
                throw TavikError(m_data->failure);
            reports = m_data->reports;
        }
        for (const ArchivedReport &r : reports) {
            if (r.flowStartSeconds >= period.fromSeconds && r.flowStartSeconds < period.toSeconds)
                visit(r);
        }
    }

    void setCancelFlag(const CancelFlag *flag) override { m_cancel = flag; }

    QList<Alert> alerts(qsizetype limit) override
    {
        QString file;
        {
            std::lock_guard lock(m_data->mutex);
            file = m_data->alertArchive;
        }
        if (file.isEmpty())
            return ArchiveReader::alerts(limit);
        return openArchiveReader(file)->alerts(limit);
    }

private:
    bool isCancelled() const { return m_cancel && m_cancel->isSet(); }

    std::shared_ptr<FakeArchiveData> m_data;
    const CancelFlag *m_cancel = nullptr;
};

inline std::function<std::unique_ptr<ArchiveReader>()> fakeArchiveOpener(std::shared_ptr<FakeArchiveData> data)
{
    return [data] { return std::make_unique<FakeArchive>(data); };
}
