// The report archive: the store of the benchmark answer, and the Reach
// queries over a year of a busy station.
#include "archive/bigarchive.h"
#include "processing/benchdata.h"

#include "archive/archivereader.h"
#include "archive/archiveschema.h"
#include "archive/archivestore.h"
#include "archive/sqlitedb.h"
#include "archive/reportarchive.h"
#include "processing/reportline.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <limits>
#include <thread>
#include <cstring>

namespace {

// What the pass reads of the benchmark answer's reports and active
// receivers (its last line is never examined).
struct AnswerLines
{
    QList<AnswerReport> reports;
    QList<AnswerReceiver> receivers;
};

const AnswerLines &answer()
{
    static const AnswerLines lines = [] {
        AnswerLines a;
        const QStringList all = benchdata::answerLines();
        const QString sender = search::kSenderMarker + benchdata::kOperator;
        for (qsizetype i = 0; i + 1 < all.size(); ++i) {
            if (findSearchText(all.at(i), sender) >= 0)
                a.reports << answerReportOf(all.at(i));
            if (findSearchText(all.at(i), search::kActiveReceiverMarker) >= 0)
                a.receivers << answerReceiverOf(LineAttributes(all.at(i)));
        }
        return a;
    }();
    return lines;
}

// The worker's part of a store job: what the pass read made records, one transaction.
int storeJob(ArchiveStore &store, const AnswerLines &lines, qint64 shift)
{
    QList<ArchivedReport> reports;
    QList<ReceiverSighting> receivers;
    for (const AnswerReport &line : lines.reports) {
        if (std::optional<ArchivedReport> r
            = reportFromAnswer(line, 1796604800, reports.isEmpty() ? nullptr : &reports.constLast())) {
            r->flowStartSeconds += shift;
            reports.append(std::move(*r));
        }
    }
    for (const AnswerReceiver &line : lines.receivers) {
        if (std::optional<ReceiverSighting> s = receiverFromAnswer(line, 1796604800 + shift))
            receivers.append(std::move(*s));
    }
    const int added = store.store(reports, receivers, ArchiveStore::Origin::Served).reports;
    store.releaseMemory();
    return added;
}

} // namespace

// The store job of the benchmark answer (10,000 reports, 3,000 receivers).
// 0: into a new archive; 1: the same answer again, which adds nothing;
// 2: new reports into a copy of the two-million-report archive.
static void BM_ArchiveStorePass(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("TavikArchive.sqlite"));
    const QDateTime now = QDateTime::currentDateTime();
    const int variant = int(state.range(0));
    if (variant == 2)
        QFile::copy(bigarchive::path(), file);
    ArchiveStore store;
    store.open(file, false, now);
    if (variant == 1)
        storeJob(store, answer(), 0);
    qint64 shift = 0;
    int added = 0;
    for (auto _ : state) {
        if (variant == 0) {
            state.PauseTiming();
            store.close();
            QFile::remove(file);
            store.open(file, false, now);
            state.ResumeTiming();
        }
        if (variant == 2)
            shift += 7 * 86400; // another week's reports each time: all new
        added = storeJob(store, answer(), shift);
    }
    state.counters["added"] = added;
}
BENCHMARK(BM_ArchiveStorePass)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Part of the above: what the pass read made records, nothing stored.
static void BM_ArchiveParsePass(benchmark::State &state)
{
    const AnswerLines &lines = answer();
    for (auto _ : state) {
        QList<ArchivedReport> reports;
        for (const AnswerReport &line : lines.reports) {
            if (std::optional<ArchivedReport> r
                = reportFromAnswer(line, 1796604800, reports.isEmpty() ? nullptr : &reports.constLast()))
                reports.append(std::move(*r));
        }
        QList<ReceiverSighting> receivers;
        for (const AnswerReceiver &line : lines.receivers) {
            if (std::optional<ReceiverSighting> s = receiverFromAnswer(line, 1796604800))
                receivers.append(std::move(*s));
        }
        benchmark::DoNotOptimize(reports.size() + receivers.size());
    }
}
BENCHMARK(BM_ArchiveParsePass)->Unit(benchmark::kMillisecond);

// What the pass on the user-interface thread adds: handing its 13,000 lines
// over to the worker (the worker's part is waited for outside the timing).
static void BM_ArchiveHandOver(benchmark::State &state)
{
    ReportArchive archive; // not opened: the worker drops the pass
    const AnswerLines &lines = answer();
    for (auto _ : state) {
        archive.store({lines.reports, lines.receivers, 1796604800, QDateTime::currentDateTimeUtc()});
        state.PauseTiming();
        archive.waitForIdle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ArchiveHandOver)->Unit(benchmark::kMicrosecond);

// reach() over the last N hours of the two-million-report archive, with a
// reader opened once (as the Reach window keeps one).
static void BM_Reach(benchmark::State &state)
{
    const QString file = bigarchive::path();
    const auto reader = openArchiveReader(file);
    const ArchivePeriod period{bigarchive::kBigArchiveEnd - state.range(0) * 3600, bigarchive::kBigArchiveEnd};
    ReachSnapshot snapshot;
    for (auto _ : state)
        snapshot = reader->reach(period);
    state.counters["reports"] = double(snapshot.total.reports);
    state.counters["receivers"] = double(snapshot.total.receivers);
    state.counters["rows"] = double(snapshot.rows.size());
    state.counters["texts"] = double(snapshot.texts.size());
    state.counters["MB"] = double(QFileInfo(file).size()) / 1e6;
}
BENCHMARK(BM_Reach)->Arg(24)->Arg(24 * 7)->Arg(24 * 30)->Arg(24 * 365)->Unit(benchmark::kMillisecond);

// forEachReport over 30 days, as the export reads them.
static void BM_ForEachReport30Days(benchmark::State &state)
{
    const auto reader = openArchiveReader(bigarchive::path());
    const ArchivePeriod period{bigarchive::kBigArchiveEnd - 30 * 86400, bigarchive::kBigArchiveEnd};
    qint64 count = 0;
    for (auto _ : state) {
        count = 0;
        reader->forEachReport(period, [&](const ArchivedReport &) { ++count; });
    }
    state.counters["reports"] = double(count);
}
BENCHMARK(BM_ForEachReport30Days)->Unit(benchmark::kMillisecond);

// How long a reach() of the whole year runs on once its cancel flag is set
// (a newer refresh came) N ms after it began: what a new refresh waits for.
static void BM_CancelledReach(benchmark::State &state)
{
    const auto reader = openArchiveReader(bigarchive::path());
    const ArchivePeriod all{std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()};
    int cancelled = 0;
    for (auto _ : state) {
        CancelFlag flag;
        reader->setCancelFlag(&flag);
        std::chrono::steady_clock::time_point ended;
        std::thread query([&] {
            try {
                reader->reach(all);
            } catch (const QueryCancelled &) {
                ++cancelled;
            }
            ended = std::chrono::steady_clock::now();
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(state.range(0)));
        const auto set = std::chrono::steady_clock::now();
        flag.cancel();
        query.join();
        state.SetIterationTime(std::chrono::duration<double>(ended - set).count());
        reader->setCancelFlag(nullptr);
    }
    state.counters["cancelled"] = cancelled;
}
BENCHMARK(BM_CancelledReach)->Arg(0)->Arg(300)->Arg(1500)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The open at activation, with PRAGMA quick_check, of the two-million-report archive.
static void BM_OpenWithQuickCheck(benchmark::State &state)
{
    const QString file = bigarchive::path();
    for (auto _ : state) {
        ArchiveStore store;
        store.open(file, true, QDateTime::currentDateTime());
    }
}
BENCHMARK(BM_OpenWithQuickCheck)->Unit(benchmark::kMillisecond)->Iterations(3);

// The two-million-report archive as schema version 1 kept it, made once
// from the big archive and kept beside it.
static QString versionOneArchive()
{
    const QString big = bigarchive::path();
    const QString file = big.left(big.lastIndexOf(QStringLiteral("-s"))) + QStringLiteral("-s1.sqlite");
    if (QFile::exists(file))
        return file;
    const QString partial = file + QStringLiteral(".partial");
    QFile::remove(partial);
    {
        SqliteDb db(partial, SqliteDb::ReadWrite);
        db.exec("PRAGMA journal_mode = WAL");
        Transaction transaction(db);
        migrateArchive(db, 1);
        Statement attach(db, "ATTACH DATABASE ?1 AS big");
        attach.bind(1, big);
        attach.run();
        // The bands of the big archive are named alike by both tables.
        db.exec(R"sql(
            INSERT INTO report (flow_start, receiver, sender, mode, frequency, locator, band, snr, snr_text, dxcc,
                                stored_at, imported)
                SELECT flow_start, receiver, sender, mode, frequency, locator, band, snr, snr_text, dxcc,
                       stored_at, imported FROM big.report ORDER BY flow_start, receiver, sender, mode, frequency;
            INSERT INTO receiver SELECT * FROM big.receiver;
        )sql");
        transaction.commit();
        db.exec("DETACH DATABASE big; PRAGMA wal_checkpoint(TRUNCATE)");
    }
    QFile::rename(partial, file);
    return file;
}

// The migration of the two-million-report archive from schema version 1, as
// the worker's open runs it (one transaction: the table copied with its
// bands named anew, then the history reconciled, here none).
static void BM_MigrateToVersion2(benchmark::State &state)
{
    const QString original = versionOneArchive();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("TavikArchive.sqlite"));
    for (auto _ : state) {
        state.PauseTiming();
        for (const QString &ending : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(file + ending);
        QFile::copy(original, file);
        state.ResumeTiming();
        ArchiveStore store;
        store.open(file, false, QDateTime::currentDateTime());
    }
    state.counters["MB"] = double(QFileInfo(file).size()) / 1e6;
}
BENCHMARK(BM_MigrateToVersion2)->Unit(benchmark::kMillisecond)->Iterations(3);

// tavik_archive_bench [benchmark flags]
// tavik_archive_bench --big-archive   makes (or finds) the cached archive and prints its name and size
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "--big-archive") == 0) {
        const QString file = bigarchive::path();
        std::printf("%s %lld bytes\n", qPrintable(file), static_cast<long long>(QFileInfo(file).size()));
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
