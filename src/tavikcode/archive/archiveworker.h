#pragma once

#include "archivereader.h"

#include <QString>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// Runs archive queries (the Reach window's, any other window's) on a thread
// of its own, with a reader (connection) of its own that it opens at the
// first job and again after a failure. The newest job wins: a job still
// waiting is dropped when another comes, and a running one is cancelled: its
// flag is set, which stops its SQL at the next step and its own loops where
// they look at it.
class ArchiveWorker
{
public:
    using OpenReader = std::function<std::unique_ptr<ArchiveReader>()>;

    struct Job
    {
        // Runs on the worker's thread with the job's cancel flag, which every
        // query of the reader already obeys; loops of the job's own look at it
        // too (CancelFlag::check). An error it throws goes to failed.
        std::function<void(ArchiveReader &, const CancelFlag &)> run;
        // Runs on the worker's thread with the error's text, unless the job
        // was cancelled (by a newer job or the worker's end).
        std::function<void(const QString &)> failed;
    };

    explicit ArchiveWorker(OpenReader openReader);
    // Drops a waiting job, cancels a running one and waits for the thread.
    ~ArchiveWorker();

    ArchiveWorker(const ArchiveWorker &) = delete;
    ArchiveWorker &operator=(const ArchiveWorker &) = delete;

    void submit(Job job);

private:
    void loop();
    void runOne(Job &job, const CancelFlag &cancel);

    OpenReader m_openReader;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Job> m_waiting;
    std::shared_ptr<CancelFlag> m_running; // the running job's flag; none while idle
    bool m_stopping = false;
    std::unique_ptr<ArchiveReader> m_reader; // touched by the thread alone
    std::thread m_thread;
};
