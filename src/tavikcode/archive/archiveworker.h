#pragma once

#include "archivereader.h"

#include <QString>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

// The program's one reader of the archive: one thread with one connection,
// opened at the first job and again after a failure. Every window's
// ArchiveWorker runs its jobs there, one after another. The reader outlives
// the windows that use it; it stops once its owner and every worker are gone.
class ArchiveReaders
{
public:
    using OpenReader = std::function<std::unique_ptr<ArchiveReader>()>;

    explicit ArchiveReaders(OpenReader openReader);
    ~ArchiveReaders();

    ArchiveReaders(const ArchiveReaders &) = delete;
    ArchiveReaders &operator=(const ArchiveReaders &) = delete;

    struct Thread;

private:
    friend class ArchiveWorker;
    std::shared_ptr<Thread> m_thread;
};

// One window's line of jobs on the shared reader. The newest job wins: a
// job still waiting is dropped when another comes, and a running one is
// cancelled: its flag is set, which stops its SQL at the next step and its
// own loops where they look at it.
class ArchiveWorker
{
public:
    using OpenReader = ArchiveReaders::OpenReader;

    struct Job
    {
        // Runs on the reader's thread with the job's cancel flag, which every
        // query of the reader already obeys; loops of the job's own look at it
        // too (CancelFlag::check). An error it throws goes to failed.
        std::function<void(ArchiveReader &, const CancelFlag &)> run;
        // Runs on the reader's thread with the error's text, unless the job
        // was cancelled (by a newer job or the worker's end).
        std::function<void(const QString &)> failed;
    };

    explicit ArchiveWorker(ArchiveReaders &readers);
    // Drops a waiting job, cancels a running one and waits for its end.
    ~ArchiveWorker();

    ArchiveWorker(const ArchiveWorker &) = delete;
    ArchiveWorker &operator=(const ArchiveWorker &) = delete;

    void submit(Job job);

    struct Line
    {
        std::mutex mutex;
        std::condition_variable idle;
        std::shared_ptr<CancelFlag> newest; // the last job's flag
        bool running = false;
        bool gone = false;
    };

private:
    std::shared_ptr<ArchiveReaders::Thread> m_thread;
    std::shared_ptr<Line> m_line;
};
