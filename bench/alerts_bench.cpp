// The alert rules: judging one pass with what the rules learnt from a year
// of a busy station (the two-million-report archive).
#include "archive/bigarchive.h"
#include "processing/benchdata.h"

#include "alerts/alertrules.h"
#include "archive/archiverecords.h"
#include "processing/reportline.h"
#include "reach/locator.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

const std::optional<GeoPosition> kHome = locatorPosition(u"IO91wm");

// The rules' state after every report of the archive, judged in passes of
// 50,000 (the first pass learns silently, as a first run does).
const AlertState &learnt()
{
    static const AlertState state = [] {
        AlertSettings settings;
        AlertState s;
        QList<ArchivedReport> chunk;
        const auto judge = [&] {
            const qint64 now = chunk.last().flowStartSeconds + 300;
            s = judgePass(settings, std::move(s), {std::move(chunk), kHome, now, false}).state;
            chunk = {};
        };
        openArchiveReader(bigarchive::path())->forEachReport({0, bigarchive::kBigArchiveEnd + 1},
                                                              [&](const ArchivedReport &r) {
                                                                  chunk << r;
                                                                  if (chunk.size() == 50000)
                                                                      judge();
                                                              });
        if (!chunk.isEmpty())
            judge();
        return s;
    }();
    return state;
}

// The first n reports of the benchmark answer, heard in the five minutes
// after the archive's last day.
QList<ArchivedReport> pass(qsizetype n)
{
    QList<ArchivedReport> reports;
    const QString sender = search::kSenderMarker + benchdata::kOperator;
    for (const QString &line : benchdata::answerLines()) {
        if (reports.size() == n)
            break;
        if (findSearchText(line, sender) < 0)
            continue;
        if (std::optional<ArchivedReport> r = reportFromAnswerLine(line, bigarchive::kBigArchiveEnd)) {
            r->flowStartSeconds = bigarchive::kBigArchiveEnd + 60 + reports.size() % 240;
            reports << std::move(*r);
        }
    }
    return reports;
}

} // namespace

// One pass of n reports: 200, a busy five minutes; 10,000, the first answer
// after a start. The state is copied in for every pass, so the copy's cost is
// in the figure too (the program moves it).
static void BM_JudgePass(benchmark::State &state)
{
    AlertState start = learnt();
    start.lastPass = bigarchive::kBigArchiveEnd;
    const PassInput input{pass(state.range(0)), kHome, bigarchive::kBigArchiveEnd + 300, false};
    const AlertSettings settings;
    qsizetype alerts = 0;
    for (auto _ : state) {
        Judgement j = judgePass(settings, start, input);
        alerts = j.alerts.size();
        benchmark::DoNotOptimize(j);
    }
    state.counters["alerts"] = double(alerts);
    state.counters["entities"] = double(start.entities.size());
}
BENCHMARK(BM_JudgePass)->Arg(200)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
