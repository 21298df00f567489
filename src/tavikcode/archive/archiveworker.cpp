#include "archiveworker.h"

#include <exception>

ArchiveWorker::ArchiveWorker(OpenReader openReader)
    : m_openReader(std::move(openReader)), m_thread([this] { loop(); })
{
}

ArchiveWorker::~ArchiveWorker()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_waiting.reset();
        if (m_running)
            m_running->cancel();
    }
    m_wake.notify_all();
    m_thread.join();
}

void ArchiveWorker::submit(Job job)
{
    {
        std::lock_guard lock(m_mutex);
        m_waiting = std::move(job);
        if (m_running)
            m_running->cancel();
    }
    m_wake.notify_all();
}

void ArchiveWorker::loop()
{
    for (;;) {
        Job job;
        std::shared_ptr<CancelFlag> cancel;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || m_waiting.has_value(); });
            if (m_stopping)
                break;
            job = std::move(*m_waiting);
            m_waiting.reset();
            cancel = m_running = std::make_shared<CancelFlag>();
        }
        runOne(job, *cancel);
        std::lock_guard lock(m_mutex);
        m_running.reset();
    }
    // The reader is closed on the thread that used it.
    m_reader.reset();
}

void ArchiveWorker::runOne(Job &job, const CancelFlag &cancel)
{
    QString error;
    try {
        if (!m_reader)
            m_reader = m_openReader();
        m_reader->setCancelFlag(&cancel);
        job.run(*m_reader, cancel);
        m_reader->setCancelFlag(nullptr);
        return;
    } catch (const std::exception &e) {
        error = QString::fromUtf8(e.what());
    } catch (...) {
        error = QStringLiteral("The report archive could not be read");
    }
    if (cancel.isSet()) {
        // Only the cancellation: the reader stays, for the newer job.
        if (m_reader)
            m_reader->setCancelFlag(nullptr);
        return;
    }
    // A reader that failed on its own is opened afresh for the next job: the
    // archive may have been set aside and started anew.
    m_reader.reset();
    if (job.failed)
        job.failed(error);
}
