#include "archive/archiveworker.h"

#include "../../testsupport.h"
#include "../reach/fakearchive.h"
#include "../reach/reachfixture.h"

#include <condition_variable>
#include <mutex>

namespace {

// What the jobs of a test did, as they did it on the worker's thread.
struct Outcomes
{
    std::mutex mutex;
    std::condition_variable changed;
    QStringList done;   // "name:reports"
    QStringList failed; // "name:error"

    ArchiveWorker::Job job(const QString &name)
    {
        return {[this, name](ArchiveReader &reader, const CancelFlag &) {
                    const ReachSnapshot s = reader.reach({0, 1});
                    std::lock_guard lock(mutex);
                    done << name + u':' + QString::number(s.total.reports);
                    changed.notify_all();
                },
                [this, name](const QString &error) {
                    std::lock_guard lock(mutex);
                    failed << name + u':' + error;
                    changed.notify_all();
                }};
    }
    void waitFor(qsizetype outcomes)
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return done.size() + failed.size() >= outcomes; });
    }
};

std::shared_ptr<FakeArchiveData> archive()
{
    auto data = std::make_shared<FakeArchiveData>();
    data->snapshot = reachfixture::snapshot();
    return data;
}

} // namespace

TEST(ArchiveWorker, RunsAJobWithAReaderOfItsOwn)
{
    auto data = archive();
    Outcomes outcomes;
    {
        ArchiveReaders readers(fakeArchiveOpener(data));
        ArchiveWorker worker(readers);
        worker.submit(outcomes.job("a"_qs));
        outcomes.waitFor(1);
        worker.submit(outcomes.job("b"_qs));
        outcomes.waitFor(2);
    }
    EXPECT_EQ(outcomes.done, (QStringList{"a:44"_qs, "b:44"_qs}));
    EXPECT_TRUE(outcomes.failed.isEmpty());
    EXPECT_EQ(data->readersOpened, 1);
    EXPECT_EQ(data->readersClosed, 1);
}

TEST(ArchiveWorker, TheNewestJobWinsAStaleOneIsInterruptedOrNeverRuns)
{
    auto data = archive();
    data->gated = true;
    data->wakeOnCancel = false; // the first notices when let through
    Outcomes outcomes;
    ArchiveReaders readers(fakeArchiveOpener(data));
    ArchiveWorker worker(readers);
    worker.submit(outcomes.job("first"_qs));
    data->waitForWaiting(1);

    worker.submit(outcomes.job("second"_qs)); // cancels the first
    worker.submit(outcomes.job("third"_qs));  // replaces the second, which never runs
    data->release();
    outcomes.waitFor(1);

    EXPECT_EQ(outcomes.done, QStringList{"third:44"_qs});
    EXPECT_TRUE(outcomes.failed.isEmpty()); // a cancellation is no failure
    EXPECT_EQ(data->cancelled, 1);
    EXPECT_EQ(data->readersOpened, 1);
    EXPECT_EQ(data->periods.size(), 2);
}

TEST(ArchiveWorker, AJobBusyInItsOwnLoopIsCancelledWhenANewerOneComes)
{
    auto data = archive();
    Outcomes outcomes;
    std::mutex mutex;
    std::condition_variable started;
    bool running = false;
    ArchiveReaders readers(fakeArchiveOpener(data));
    ArchiveWorker worker(readers);
    worker.submit({[&](ArchiveReader &, const CancelFlag &cancel) {
                       {
                           std::lock_guard lock(mutex);
                           running = true;
                       }
                       started.notify_all();
                       for (;;)
                           cancel.check(); // as prepareReach looks at it between rows
                   },
                   [&](const QString &error) {
                       std::lock_guard lock(outcomes.mutex);
                       outcomes.failed << error;
                   }});
    {
        std::unique_lock lock(mutex);
        started.wait(lock, [&] { return running; });
    }
    worker.submit(outcomes.job("newer"_qs));
    outcomes.waitFor(1);
    EXPECT_EQ(outcomes.done, QStringList{"newer:44"_qs});
    EXPECT_TRUE(outcomes.failed.isEmpty());
}

TEST(ArchiveWorker, AFailureIsReportedAndTheNextJobOpensTheArchiveAfresh)
{
    auto data = archive();
    data->failure = "database disk image is malformed"_qs;
    Outcomes outcomes;
    ArchiveReaders readers(fakeArchiveOpener(data));
    ArchiveWorker worker(readers);
    worker.submit(outcomes.job("a"_qs));
    outcomes.waitFor(1);
    {
        std::lock_guard lock(data->mutex);
        data->failure.clear();
    }
    worker.submit(outcomes.job("b"_qs));
    outcomes.waitFor(2);

    EXPECT_EQ(outcomes.failed, QStringList{"a:database disk image is malformed"_qs});
    EXPECT_EQ(outcomes.done, QStringList{"b:44"_qs});
    EXPECT_EQ(data->readersOpened, 2);
}

TEST(ArchiveWorker, AnArchiveThatCannotBeOpenedIsTriedAgainNextTime)
{
    int opened = 0;
    Outcomes outcomes;
    auto data = archive();
    ArchiveReaders readers([&]() -> std::unique_ptr<ArchiveReader> {
        if (++opened == 1)
            throw TavikError("The report archive is not available"_qs);
        return std::make_unique<FakeArchive>(data);
    });
    ArchiveWorker worker(readers);
    worker.submit(outcomes.job("a"_qs));
    outcomes.waitFor(1);
    worker.submit(outcomes.job("b"_qs));
    outcomes.waitFor(2);
    EXPECT_EQ(outcomes.failed, QStringList{"a:The report archive is not available"_qs});
    EXPECT_EQ(outcomes.done, QStringList{"b:44"_qs});
}

TEST(ArchiveWorker, EndingInterruptsTheRunningJobAndClosesTheReader)
{
    auto data = archive();
    data->gated = true;
    Outcomes outcomes;
    {
        ArchiveReaders readers(fakeArchiveOpener(data));
        ArchiveWorker worker(readers);
        worker.submit(outcomes.job("held"_qs));
        data->waitForWaiting(1);
    }
    EXPECT_TRUE(outcomes.done.isEmpty());
    EXPECT_TRUE(outcomes.failed.isEmpty());
    EXPECT_EQ(data->readersClosed, 1);
}
