#pragma once

#include "archive/archivereader.h"

#include <QString>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// Runs the Reach window's archive queries on a thread of its own, with a
// reader (connection) of its own that it opens at the first job and again
// after a failure. The newest job wins: a job still waiting is dropped when
// another comes, and a running one is interrupted.
class ArchiveWorker
{
public:
    using OpenReader = std::function<std::unique_ptr<ArchiveReader>()>;

    struct Job
    {
        // Runs on the worker's thread; an error it throws goes to failed.
        std::function<void(ArchiveReader &)> run;
        // Runs on the worker's thread with the error's text, unless a newer
        // job came meanwhile (then the error is only the interruption).
        std::function<void(const QString &)> failed;
    };

    explicit ArchiveWorker(OpenReader openReader);
    // Drops a waiting job, interrupts a running one and waits for the thread.
    ~ArchiveWorker();

    ArchiveWorker(const ArchiveWorker &) = delete;
    ArchiveWorker &operator=(const ArchiveWorker &) = delete;

    void submit(Job job);

private:
    void loop();
    void runOne(Job &job, quint64 number);

    OpenReader m_openReader;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Job> m_waiting;
    quint64 m_submitted = 0;  // number of the newest job
    quint64 m_running = 0;    // number of the job running, 0 for none
    bool m_stopping = false;
    std::unique_ptr<ArchiveReader> m_reader; // touched by the thread; interrupted under the mutex
    std::thread m_thread;
};
