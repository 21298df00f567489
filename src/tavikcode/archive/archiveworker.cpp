#include "archiveworker.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <exception>

struct ArchiveReaders::Thread
{
    explicit Thread(OpenReader open) : openReader(std::move(open))
    {
        context.moveToThread(&thread);
        // The reader is closed on the thread that used it.
        QObject::connect(&thread, &QThread::finished, &context, [this] { reader.reset(); }, Qt::DirectConnection);
        thread.start();
    }
    ~Thread()
    {
        thread.quit();
        thread.wait();
    }

    void run(ArchiveWorker::Job &job, const CancelFlag &cancel);

    OpenReader openReader;
    std::unique_ptr<ArchiveReader> reader; // touched by the thread alone
    QObject context;                       // lives on the thread: jobs are posted to it
    QThread thread;
};

void ArchiveReaders::Thread::run(ArchiveWorker::Job &job, const CancelFlag &cancel)
{
    QString error;
    try {
        if (!reader)
            reader = openReader();
        reader->setCancelFlag(&cancel);
        job.run(*reader, cancel);
        reader->setCancelFlag(nullptr);
        return;
    } catch (const std::exception &e) {
        error = QString::fromUtf8(e.what());
    } catch (...) {
        error = QStringLiteral("The report archive could not be read");
    }
    if (cancel.isSet()) {
        // Only the cancellation: the reader stays, for the newer job.
        if (reader)
            reader->setCancelFlag(nullptr);
        return;
    }
    // A reader that failed on its own is opened afresh for the next job: the
    // archive may have been set aside and started anew.
    reader.reset();
    if (job.failed)
        job.failed(error);
}

ArchiveReaders::ArchiveReaders(OpenReader openReader) : m_thread(std::make_shared<Thread>(std::move(openReader)))
{
}

ArchiveReaders::~ArchiveReaders() = default;

ArchiveWorker::ArchiveWorker(ArchiveReaders &readers)
    : m_thread(readers.m_thread), m_line(std::make_shared<Line>())
{
}

ArchiveWorker::~ArchiveWorker()
{
    std::unique_lock lock(m_line->mutex);
    m_line->gone = true;
    if (m_line->newest)
        m_line->newest->cancel();
    m_line->idle.wait(lock, [this] { return !m_line->running; });
}

void ArchiveWorker::submit(Job job)
{
    auto cancel = std::make_shared<CancelFlag>();
    {
        std::lock_guard lock(m_line->mutex);
        if (m_line->newest)
            m_line->newest->cancel();
        m_line->newest = cancel;
    }
    // The thread outlives every posted job: it ends only once this worker is gone.
    ArchiveReaders::Thread *thread = m_thread.get();
    QMetaObject::invokeMethod(
        &thread->context,
        [thread, line = m_line, cancel, job = std::move(job)]() mutable {
            {
                std::lock_guard lock(line->mutex);
                if (line->gone || cancel->isSet())
                    return;
                line->running = true;
            }
            thread->run(job, *cancel);
            {
                std::lock_guard lock(line->mutex);
                line->running = false;
            }
            line->idle.notify_all();
        },
        Qt::QueuedConnection);
}
