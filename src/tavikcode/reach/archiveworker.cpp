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
        if (m_running && m_reader)
            m_reader->interrupt();
    }
    m_wake.notify_all();
    m_thread.join();
}

void ArchiveWorker::submit(Job job)
{
    {
        std::lock_guard lock(m_mutex);
        m_waiting = std::move(job);
        ++m_submitted;
        if (m_running && m_reader)
            m_reader->interrupt();
    }
    m_wake.notify_all();
}

void ArchiveWorker::loop()
{
    for (;;) {
        Job job;
        quint64 number = 0;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || m_waiting.has_value(); });
            if (m_stopping)
                break;
            job = std::move(*m_waiting);
            m_waiting.reset();
            number = m_running = m_submitted;
        }
        runOne(job, number);
        std::lock_guard lock(m_mutex);
        m_running = 0;
    }
    // The reader is closed on the thread that used it.
    std::unique_ptr<ArchiveReader> reader;
    {
        std::lock_guard lock(m_mutex);
        reader = std::move(m_reader);
    }
}

void ArchiveWorker::runOne(Job &job, quint64 number)
{
    QString error;
    try {
        if (!m_reader) {
            auto reader = m_openReader();
            std::lock_guard lock(m_mutex);
            m_reader = std::move(reader);
        }
        job.run(*m_reader);
        return;
    } catch (const std::exception &e) {
        error = QString::fromUtf8(e.what());
    } catch (...) {
        error = QStringLiteral("The report archive could not be read");
    }
    bool superseded = false;
    std::unique_ptr<ArchiveReader> failedReader;
    {
        std::lock_guard lock(m_mutex);
        superseded = m_stopping || number != m_submitted;
        // A reader that failed on its own is opened afresh for the next job:
        // the archive may have been set aside and started anew.
        if (!superseded)
            failedReader = std::move(m_reader);
    }
    failedReader.reset();
    if (!superseded && job.failed)
        job.failed(error);
}
