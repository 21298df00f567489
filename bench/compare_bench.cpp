// The Compare window on the archive of two million reports (bench/archive),
// with a reference station added for its last 30 days: from the question to
// the painted window, and its parts.
//
// tavik_compare_bench [benchmark flags]
// tavik_compare_bench --memory
//     prints the resident memory of the window with 30 days shown.
#include "archive/archivereader.h"
#include "archive/archivestore.h"
#include "archive/bigarchive.h"
#include "base/clock.h"
#include "compare/comparedata.h"
#include "compare/comparesettings.h"
#include "compare/comparewindow.h"
#include "compare/comparestats.h"
#include "platform/freememory.h"
#include "geo/locator.h"
#include "platform/settingsstore.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

const QString kOperator = QStringLiteral("G4XYZ");
const QString kReference = QStringLiteral("G4ABC");
constexpr qint64 kMonth = 30 * 86400;

qint64 statusKilobytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(std::strlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// The big archive with a reference station beside the operator for its last
// 30 days: in the same cycle at most receivers that heard the operator, a few
// decibels apart by direction; made once and kept under /tmp.
QString comparisonArchive()
{
    const QString file = QDir::temp().filePath(QStringLiteral("tavik-bench-compare-g2-%1")
                                                   .arg(QFileInfo(bigarchive::path()).fileName()));
    if (QFile::exists(file))
        return file;
    const QString partial = file + QStringLiteral(".partial");
    QFile::remove(partial);
    QFile::copy(bigarchive::path(), partial);
    const auto home = locatorPosition(u"IO91wm");
    QList<ArchivedReport> reference;
    SplitMix64 random(7);
    openArchiveReader(partial)->forEachReport(
        {bigarchive::kBigArchiveEnd - kMonth, bigarchive::kBigArchiveEnd + 1}, [&](const ArchivedReport &r) {
            if (r.sender != kOperator || random.below(100) < 7)
                return;
            ArchivedReport a = r;
            a.sender = kReference;
            a.reference = true;
            double east = 0;
            if (const auto there = locatorPosition(r.locator))
                east = std::sin(geodesicPath(*home, *there).bearingDegrees * 3.14159265 / 180);
            a.snr = *r.snr - int(std::lround(3 * east)) + int(random.below(5)) - 2;
            a.snrText = QString::number(*a.snr);
            a.flowStartSeconds += qint64(random.below(2));
            reference.append(a);
        });
    ArchiveStore store;
    store.open(partial, false, QDateTime::currentDateTime());
    for (qsizetype from = 0; from < reference.size(); from += 10000)
        store.store(reference.mid(from, 10000), {}, ArchiveStore::Origin::Served);
    store.close();
    std::fprintf(stderr, "compare archive: %lld reference reports added\n", static_cast<long long>(reference.size()));
    QFile::rename(partial, file);
    return file;
}

// A Compare window of the operator against the reference, last 30 days,
// shown on the offscreen platform.
class Bench
{
public:
    explicit Bench(const QString &file, const QString &reference = kReference)
    {
        using namespace comparesettings;
        m_store = openIniSettingsStore(m_dir.filePath(QStringLiteral("Orlix.ini")));
        m_store->WriteString(kSection, QStringLiteral("TavikReachGrid"), QStringLiteral("IO91wm"));
        m_store->WriteString(kSection, kCalls, reference);
        m_store->WriteString(kSection, kPeriod, QStringLiteral("30d"));
        CompareWindowEnvironment env;
        env.store = m_store.get();
        m_readers = std::make_unique<ArchiveReaders>([file] { return openArchiveReader(file); });
        env.archive = m_readers.get();
        env.wsjtxSettingsFile = m_dir.filePath(QStringLiteral("none.ini"));
        env.callsign = kOperator;
        window = std::make_unique<CompareWindow>(std::move(env));
        window->resize(1100, 800);
        window->show();
        waitForRefresh();
        // The first showing's work (the land projected around the locator,
        // the first layout and paint) is the opening's, not a refresh's.
        QCoreApplication::processEvents();
        window->repaint();
    }
    void waitForRefresh()
    {
        QEventLoop loop;
        QObject::connect(window.get(), &CompareWindow::refreshed, &loop, &QEventLoop::quit);
        if (window->isBusy())
            loop.exec();
    }
    void refreshAndPaint()
    {
        window->refresh();
        waitForRefresh();
        window->repaint();
    }

    std::unique_ptr<CompareWindow> window;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<ArchiveReaders> m_readers;
};

// From the question to the painted window: the query on the worker's own
// connection, the pairs and figures worked out, the table filled, the map and
// the chart drawn. CPU time is the user-interface thread's.
void BM_CompareFromArchive(benchmark::State &state)
{
    const QString file = comparisonArchive();
    Clock::set(QDateTime::fromSecsSinceEpoch(bigarchive::kBigArchiveEnd, Qt::UTC));
    {
        Bench bench(file);
        for (auto _ : state)
            bench.refreshAndPaint();
        const auto data = bench.window->data();
        state.counters["pairs"] = double(data->total.difference.pairs);
        state.counters["receivers"] = double(data->total.difference.receivers);
        state.counters["shown"] = double(data->receivers.size());
        state.counters["peak_MB"] = double(statusKilobytes("VmHWM:")) / 1024;
    }
    Clock::reset();
}
BENCHMARK(BM_CompareFromArchive)->Unit(benchmark::kMillisecond)->UseRealTime();

// The parts: the archive's query ...
void BM_ComparisonQuery(benchmark::State &state)
{
    const auto reader = openArchiveReader(comparisonArchive());
    ComparisonReports reports;
    for (auto _ : state)
        reports = reader->comparison({bigarchive::kBigArchiveEnd - kMonth, bigarchive::kBigArchiveEnd + 1}, kOperator,
                                     kReference, pairingReachSeconds(PairingWindow::SameCycle));
    state.counters["operator"] = double(reports.ofOperator.size());
    state.counters["reference"] = double(reports.ofReference.size());
}
BENCHMARK(BM_ComparisonQuery)->Unit(benchmark::kMillisecond)->UseRealTime();

// ... and the pairs and figures worked out, by pairing window.
void BM_PrepareComparison(benchmark::State &state)
{
    const auto reports = std::make_shared<const ComparisonReports>(openArchiveReader(comparisonArchive())->comparison(
        {bigarchive::kBigArchiveEnd - kMonth, bigarchive::kBigArchiveEnd + 1}, kOperator, kReference,
        pairingReachSeconds(PairingWindow::ThirtyMinutes)));
    const auto home = locatorPosition(u"IO91wm");
    for (auto _ : state)
        benchmark::DoNotOptimize(prepareComparison(reports, PairingWindow(state.range(0)), home));
}
BENCHMARK(BM_PrepareComparison)->Arg(0)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The window on the archive: resident memory open on a reference that was
// never heard, then with 30 days of the reference shown, then closed.
int memory()
{
    keepTheHeapSmall();
    const QString file = comparisonArchive();
    Clock::set(QDateTime::fromSecsSinceEpoch(bigarchive::kBigArchiveEnd, Qt::UTC));
    const qint64 start = statusKilobytes("VmRSS:");
    const auto print = [start](const char *what) {
        std::printf("%-36s %+8lld kB (peak %lld kB)\n", what, static_cast<long long>(statusKilobytes("VmRSS:") - start),
                    static_cast<long long>(statusKilobytes("VmHWM:")));
    };
    std::printf("resident at start                    %8lld kB\n", static_cast<long long>(start));
    auto bench = std::make_unique<Bench>(file, QString());
    bench->window->repaint();
    print("window open, no reference");
    bench->window->referencesEdit->setText(QStringLiteral("N0BODY"));
    emit bench->window->referencesEdit->editingFinished();
    bench->waitForRefresh();
    bench->window->repaint();
    print("the same, a reference never heard");
    bench->window->referencesEdit->setText(kReference);
    emit bench->window->referencesEdit->editingFinished();
    bench->waitForRefresh();
    bench->window->repaint();
    print("the same, 30 days of the reference");
    bench.reset();
    returnFreedMemory();
    print("window closed");
    Clock::reset();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TavikRepView"));
    if (argc == 2 && std::strcmp(argv[1], "--memory") == 0)
        return memory();
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
