#include "processing/benchdata.h"
#include "processing/reportline.h"
#include "processing/reportorder.h"
#include "processing/responsepass.h"

#include "base/filenames.h"
#include "base/regional.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A temporary working folder holding the histories and the answer, with the
// C regional settings (argument 0) or English (United Kingdom) ones, whose
// collation is the ICU one of a user's machine (argument 1).
//
// A child process writes the data: generating 100,000 entries here would
// leave this process's heap in a state no run of the program has, and every
// later allocation would pay for it.
class Folder
{
public:
    explicit Folder(benchmark::State &state)
    {
        const QString locale = state.range(0) == 0 ? QStringLiteral("C") : QStringLiteral("en_GB");
        state.SetLabel(locale.toStdString());
        setRegional(regionalFromLocale(QLocale(locale)));
        const int exit = QProcess::execute(QCoreApplication::applicationFilePath(),
                                           {QStringLiteral("--write-data"), m_dir.filePath(QStringLiteral("saved")), locale});
        if (exit != 0)
            state.SkipWithError("writing the data failed");
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        restore();
    }
    ~Folder()
    {
        QDir::setCurrent(m_previous);
        setRegional(regionalFromLocale(QLocale::c()));
    }

    // Puts the histories back as they were before a pass.
    void restore()
    {
        for (const QString &name : {files::kReports, files::kCalls, files::kGrids, files::kResponse}) {
            QFile::remove(name);
            QFile::copy(QStringLiteral("saved/") + name, name);
        }
    }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

} // namespace

// The whole pass over a 10,000-report answer with 3,000 active receivers
// (loaded from TavikRep.txt beforehand, as the tick does). Second argument 0:
// the first pass after activation, the grid list empty; 1: a later pass, the
// grid list holding what the pass before wrote to Tavikgrids.txt.
static void BM_ProcessResponse(benchmark::State &state)
{
    Folder folder(state);
    TextLines answer;
    answer.loadFromFile(files::kResponse);
    for (auto _ : state) {
        state.PauseTiming();
        folder.restore();
        TextLines grids(TextLines::Sorted);
        if (state.range(1) == 1)
            grids.loadFromFile(files::kGrids);
        state.ResumeTiming();
        benchmark::DoNotOptimize(runResponsePass(answer, benchdata::kOperator, grids));
        state.PauseTiming();
        grids.clear(); // its 100,000 entries are freed outside the measured time
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ProcessResponse)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

// The grids history alone: load 100,000 entries, merge 3,000, save.
static void BM_GridsLoadMergeSave(benchmark::State &state)
{
    Folder folder(state);
    TextLines answer;
    answer.loadFromFile(files::kResponse);
    for (auto _ : state) {
        TextLines grids(TextLines::Sorted);
        grids.loadFromFile(files::kGrids);
        for (qsizetype i = 2; i < 2 + benchdata::kActiveReceivers; ++i)
            AddGridEntry(answer.at(i), grids);
        grids.saveToFile(files::kGrids);
        state.PauseTiming();
        folder.restore();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_GridsLoadMergeSave)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Ordering 10,300 report lines newest first.
static void BM_SortReportsDescending(benchmark::State &state)
{
    Folder folder(state);
    TextLines history;
    history.loadFromFile(files::kReports);
    TextLines answer;
    answer.loadFromFile(files::kResponse);
    QStringList lines = history.lines();
    for (const QString &line : answer.lines()) {
        if (findSearchText(line, search::kSenderMarker) >= 0)
            lines << FormatReport(line);
    }
    for (auto _ : state) {
        TextLines list;
        list.setLines(lines);
        sortReportsDescending(list);
        benchmark::DoNotOptimize(list.count());
    }
}
BENCHMARK(BM_SortReportsDescending)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
