#include "processing/benchdata.h"
#include "processing/reportline.h"
#include "base/regional.h"

#include <benchmark/benchmark.h>

// One report line of a realistic answer line.
static void BM_FormatReport(benchmark::State &state)
{
    setRegional(regionalFromLocale(QLocale::c()));
    QStringList reports = benchdata::answerLines();
    reports = reports.mid(reports.size() - 1001, 1000);
    qsizetype i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatReport(reports.at(i)));
        i = (i + 1) % reports.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatReport);
