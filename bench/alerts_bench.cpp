// The alert rules on the two-million-report archive: the migration that
// teaches them the archive (schema version 2 to 3), and a store judged as
// the archive's thread judges every pass.
#include "archive/bigarchive.h"
#include "processing/benchdata.h"

#include "alerts/alertmonitor.h"
#include "archive/alerttables.h"
#include "archive/archiveschema.h"
#include "archive/archivestore.h"
#include "archive/sqlitedb.h"
#include "processing/reportline.h"
#include "geo/locator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const std::optional<GeoPosition> kHome = locatorPosition(u"IO91wm");

void copyArchive(const QString &from, const QString &to)
{
    for (const QString &ending : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(to + ending);
    QFile::copy(from, to);
}

QString besideBigArchive(const QString &ending)
{
    const QString big = bigarchive::path();
    return big.left(big.lastIndexOf(QStringLiteral("-s"))) + ending;
}

// The big archive as schema version 2 kept it: no alert or reference tables.
QString versionTwoArchive()
{
    const QString file = besideBigArchive(QStringLiteral("-s2.sqlite"));
    if (QFile::exists(file))
        return file;
    const QString partial = file + QStringLiteral(".partial");
    copyArchive(bigarchive::path(), partial);
    {
        SqliteDb db(partial, SqliteDb::ReadWrite);
        db.exec(R"sql(
            DROP VIEW alerts;
            DROP TABLE alert; DROP TABLE alert_state; DROP TABLE alert_band; DROP TABLE alert_entity;
            DROP TABLE alert_told;
            DROP VIEW reference_reports; DROP TABLE reference_report;
            PRAGMA user_version = 2;
        )sql");
    }
    QFile::rename(partial, file);
    return file;
}

// The big archive brought up to date by the program: the rules have learnt it.
QString learntArchive()
{
    const QString file = besideBigArchive(QStringLiteral("-s4-learnt.sqlite"));
    if (QFile::exists(file))
        return file;
    const QString partial = file + QStringLiteral(".partial");
    copyArchive(versionTwoArchive(), partial);
    {
        AlertMonitor monitor;
        ArchiveStore store;
        store.open(partial, false, QDateTime::currentDateTime(), {}, monitor.judge(AlertSettings(), kHome, false).get());
    }
    QFile::rename(partial, file);
    return file;
}

// The first n reports of the benchmark answer, heard in the five minutes
// after the archive's last day (and shift seconds later).
QList<ArchivedReport> pass(qsizetype n, qint64 shift = 0)
{
    static const QList<ArchivedReport> answer = [] {
        QList<ArchivedReport> reports;
        const QString sender = search::kSenderMarker + benchdata::kOperator;
        for (const QString &line : benchdata::answerLines()) {
            if (findSearchText(line, sender) < 0)
                continue;
            if (std::optional<ArchivedReport> r = reportFromAnswer(answerReportOf(line), bigarchive::kBigArchiveEnd)) {
                r->flowStartSeconds = bigarchive::kBigArchiveEnd + 60 + reports.size() % 240;
                reports << std::move(*r);
            }
        }
        return reports;
    }();
    QList<ArchivedReport> reports = answer.mid(0, n);
    for (ArchivedReport &r : reports)
        r.flowStartSeconds += shift;
    return reports;
}

// The rules, timed.
class TimedJudge final : public AlertJudge
{
public:
    explicit TimedJudge(std::shared_ptr<AlertJudge> rules) : m_rules(std::move(rules)) {}

    QList<Alert> judge(AlertState &state, const JudgedStore &store) override
    {
        QElapsedTimer t;
        t.start();
        QList<Alert> alerts = m_rules->judge(state, store);
        nanoseconds += t.nsecsElapsed();
        told += alerts.size();
        return alerts;
    }
    void committed() override { m_rules->committed(); }
    void learn(AlertState &state, const QList<ArchivedReport> &reports) override { m_rules->learn(state, reports); }

    qint64 nanoseconds = 0;
    qsizetype told = 0;

private:
    std::shared_ptr<AlertJudge> m_rules;
};

} // namespace

// The migration of the big archive from schema version 2: the alert tables
// made (and the empty reference table of version 4), and every report taught
// to the rules (as the program's open does it, in one transaction with the
// history reconciled, here none).
static void BM_MigrateToVersion3(benchmark::State &state)
{
    const QString original = versionTwoArchive();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("TavikArchive.sqlite"));
    AlertMonitor monitor;
    for (auto _ : state) {
        state.PauseTiming();
        copyArchive(original, file);
        state.ResumeTiming();
        ArchiveStore store;
        store.open(file, false, QDateTime::currentDateTime(), {}, monitor.judge(AlertSettings(), kHome, false).get());
    }
}
BENCHMARK(BM_MigrateToVersion3)->Unit(benchmark::kMillisecond)->Iterations(3);

// One pass of n new reports stored into (a copy of) the learnt big archive,
// judged (j = 1: the rules' state and alerts written in the same
// transaction) or not (j = 0), five minutes after the pass before. 200: a
// busy five minutes; 10,000: the first answer after a long time offline.
static void BM_StorePass(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("TavikArchive.sqlite"));
    copyArchive(learntArchive(), file);
    ArchiveStore store;
    store.open(file, false, QDateTime::currentDateTime());
    AlertMonitor monitor;
    TimedJudge judge(monitor.judge(AlertSettings(), kHome, false));
    const bool judged = state.range(1) == 1;
    qint64 shift = 0;
    qint64 passes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QCoreApplication::sendPostedEvents(); // what the judge told, dropped
        shift += 300;
        const QList<ArchivedReport> reports = pass(state.range(0), shift);
        state.ResumeTiming();
        store.store(reports, {}, ArchiveStore::Origin::Served, judged ? &judge : nullptr,
                    bigarchive::kBigArchiveEnd + 300 + shift);
        store.releaseMemory();
        ++passes;
    }
    state.counters["rules_ms"] = double(judge.nanoseconds) / 1e6 / double(passes);
    state.counters["alerts"] = double(judge.told) / double(passes);
}
BENCHMARK(BM_StorePass)->Args({200, 0})->Args({200, 1})->Args({10000, 0})->Args({10000, 1})
    ->Unit(benchmark::kMillisecond);

// The rules alone over one pass, with the state the archive keeps (read once).
static void BM_JudgePass(benchmark::State &state)
{
    AlertState learnt;
    {
        SqliteDb db(learntArchive(), SqliteDb::ReadOnly);
        learnt = AlertTables(db).load();
    }
    const PassInput input{pass(state.range(0)), kHome, bigarchive::kBigArchiveEnd + 300, false};
    const AlertSettings settings;
    qsizetype alerts = 0;
    for (auto _ : state) {
        state.PauseTiming();
        AlertState copy = learnt;
        state.ResumeTiming();
        Judgement j = judgePass(settings, std::move(copy), input);
        alerts = j.alerts.size();
        benchmark::DoNotOptimize(j);
    }
    state.counters["alerts"] = double(alerts);
    state.counters["entities"] = double(learnt.entities.size());
}
BENCHMARK(BM_JudgePass)->Arg(200)->Arg(10000)->Unit(benchmark::kMillisecond);

// The rules over the same pass with six hours of FT8 transmissions (one
// every 30 s, the limit the monitor keeps) and a reference heard by 1,000
// receivers (T = 1; T = 0 without them): what the Unheard and live Silence
// rules add. The state is taught the pass first, so only these rules find
// anything new.
static void BM_JudgePassTransmitting(benchmark::State &state)
{
    const qint64 now = bigarchive::kBigArchiveEnd + 300;
    PassInput input{pass(state.range(0)), kHome, now, false};
    const bool transmitting = state.range(1) != 0;
    for (qint64 t = now - 6 * 3600; transmitting && t < now - 30; t += 30) {
        input.transmissions << FollowedTransmission{{QDateTime::fromSecsSinceEpoch(t, Qt::UTC),
                                                     QDateTime::fromSecsSinceEpoch(t + 13, Qt::UTC), 14074000,
                                                     QStringLiteral("20m"), QStringLiteral("FT8"), 1500},
                                                    false, false};
    }
    for (int i = 0; transmitting && i < 1000; ++i)
        input.references << ReferenceHeard{QStringLiteral("N0REF"), QStringLiteral("20m"),
                                           QStringLiteral("R%1").arg(i), now - 3600 + i};
    input.linkLive = transmitting;
    const AlertSettings settings;
    AlertState learnt;
    learnt.lastJudged = 1; // no first run
    learnt = judgePass(settings, learnt, {input.reports, kHome, now - 300, false, true}).state;
    qsizetype alerts = 0;
    for (auto _ : state) {
        Judgement j = judgePass(settings, learnt, input);
        alerts = j.alerts.size();
        benchmark::DoNotOptimize(j);
    }
    state.counters["alerts"] = double(alerts);
    state.counters["transmissions"] = double(input.transmissions.size());
}
BENCHMARK(BM_JudgePassTransmitting)
    ->Args({200, 0})
    ->Args({200, 1})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
