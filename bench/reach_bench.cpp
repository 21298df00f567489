// The Reach window's refresh, headless: from the archive's snapshot to the
// painted window, for a busy station's last 24 hours and last 30 days, and
// the land projection the map builds once per centre.
//
// tavik_reach_bench [benchmark flags]
// tavik_reach_bench --screenshot FILE.png [24h|30d] [LOCATOR]
//     paints the window with the generated snapshot into FILE.png.
// tavik_reach_bench --memory
//     prints the resident memory the window takes for an empty period and
//     for 30 days of a busy station.
#include "archive/archivereader.h"
#include "archive/bigarchive.h"
#include "base/clock.h"
#include "platform/freememory.h"
#include "processing/reportline.h"
#include "reach/bandhourview.h"
#include "geo/landoutlines.h"
#include "geo/locator.h"
#include "reach/reachdata.h"
#include "reach/reachmap.h"
#include "reach/reachwindow.h"
#include "platform/settingsstore.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numbers>

namespace {

constexpr qint64 kNow = 1796637600; // 2026-12-07 10:00 UTC

// Where receivers cluster: Europe, North America, Japan, Australia, South
// America, southern Africa, with a wide scatter.
struct Region { double lat, lon, spread, weight; };
const Region kRegions[] = {{50, 10, 8, 0.45}, {40, -90, 12, 0.25}, {36, 138, 4, 0.08}, {-33, 145, 6, 0.07},
                           {-20, -55, 10, 0.07}, {-28, 25, 6, 0.04}, {10, 0, 60, 0.04}};

QString locatorOf(double lat, double lon)
{
    lat = std::clamp(lat, -89.99, 89.99);
    lon = std::fmod(lon + 540.0, 360.0) - 180.0;
    const double x = lon + 180, y = lat + 90;
    QString l;
    l += QChar(u'A' + int(x / 20));
    l += QChar(u'A' + int(y / 10));
    l += QChar(u'0' + int(std::fmod(x, 20) / 2));
    l += QChar(u'0' + int(std::fmod(y, 10)));
    l += QChar(u'a' + int(std::fmod(x, 2) * 12));
    l += QChar(u'a' + int(std::fmod(y, 1) * 24));
    return l;
}

QString callsignOf(int i)
{
    static const char16_t letters[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    QString call = QChar(letters[i % 26]) + QString::number((i / 26) % 10);
    for (int rest = i / 260, k = 0; k < 3 || rest > 0; ++k, rest /= 26)
        call += QChar(letters[rest % 26]);
    return call;
}

// A busy station's snapshot: receivers on about a dozen bands, most on 20 m
// and 40 m, a few without a locator.
ReachSnapshot makeSnapshot(int receivers, qint64 reports, qint64 seconds)
{
    QRandomGenerator random(20261207);
    const struct { const char16_t *band; double weight; } bands[] = {
        {u"160m", 0.02}, {u"80m", 0.07}, {u"40m", 0.25}, {u"30m", 0.08}, {u"20m", 0.33}, {u"17m", 0.07},
        {u"15m", 0.07}, {u"12m", 0.03}, {u"10m", 0.06}, {u"6m", 0.02}};
    ReachSnapshot s;
    QList<HeardReceiver> heard;
    QHash<QString, BandCounts> counts;
    for (int i = 0; i < receivers; ++i) {
        double pick = random.generateDouble(), acc = 0;
        const Region *region = &kRegions[0];
        for (const Region &r : kRegions) {
            acc += r.weight;
            region = &r;
            if (pick < acc)
                break;
        }
        const double lat = region->lat + (random.generateDouble() - 0.5) * 2 * region->spread;
        const double lon = region->lon + (random.generateDouble() - 0.5) * 3 * region->spread;
        pick = random.generateDouble();
        acc = 0;
        QString band;
        for (const auto &b : bands) {
            acc += b.weight;
            band = QString::fromUtf16(b.band);
            if (pick < acc)
                break;
        }
        HeardReceiver h;
        h.callsign = callsignOf(i);
        h.locator = i % 97 == 0 ? QString() : locatorOf(lat, lon);
        h.band = band;
        h.reports = std::max<qint64>(1, reports / receivers + int(random.bounded(3)) - 1);
        h.bestSnr = -24 + int(random.bounded(30));
        h.lastHeard = kNow - qint64(random.bounded(quint32(seconds)));
        heard.append(h);
        BandCounts &c = counts[band];
        c.band = band;
        c.reports += h.reports;
        c.receivers += 1;
        c.dxcc = std::min<qint64>(c.receivers, 150);
        c.bestSnr = std::max(c.bestSnr.value_or(-99), *h.bestSnr);
        c.lastHeard = std::max(c.lastHeard, h.lastHeard);
    }
    for (const auto &b : bands) {
        const QString band = QString::fromUtf16(b.band);
        if (!counts.contains(band))
            continue;
        s.bands.append(counts[band]);
        s.total.reports += counts[band].reports;
        s.total.lastHeard = std::max(s.total.lastHeard, counts[band].lastHeard);
        for (int hour = 0; hour < 24; ++hour) {
            // Higher bands open in daylight.
            const double day = 0.5 + 0.5 * std::cos((hour - 13) * std::numbers::pi / 12);
            const double open = bandRank(band) >= bandRank(u"15m") ? day * day : 0.3 + 0.7 * day;
            const qint64 n = qint64(counts[band].receivers * open / 6);
            if (n > 0)
                s.hours.append({band, hour, n});
        }
    }
    s.setReceivers(heard);
    s.total.receivers = receivers;
    s.total.dxcc = std::min(receivers, 180);
    s.total.bestSnr = 6;
    return s;
}

// A line of /proc/self/status in kB ("VmRSS:" now, "VmHWM:" the peak); -1
// where there is none.
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

qint64 residentKilobytes()
{
    return statusKilobytes("VmRSS:");
}

class SnapshotReader final : public ArchiveReader
{
public:
    explicit SnapshotReader(std::shared_ptr<const ReachSnapshot> snapshot) : m_snapshot(std::move(snapshot)) {}
    ReachSnapshot reach(const ArchivePeriod &) override { return *m_snapshot; }
    void forEachReport(const ArchivePeriod &, const std::function<void(const ArchivedReport &)> &) override {}
    void setCancelFlag(const CancelFlag *) override {}

private:
    std::shared_ptr<const ReachSnapshot> m_snapshot;
};

// A Reach window as the program opens it, on an archive that answers with
// the snapshot, shown on the offscreen platform.
class Bench
{
public:
    Bench(std::shared_ptr<const ReachSnapshot> snapshot, const QString &home)
        : Bench([snapshot] { return std::make_unique<SnapshotReader>(snapshot); }, home, QStringLiteral("24h"))
    {
    }
    Bench(std::function<std::unique_ptr<ArchiveReader>()> openReader, const QString &home, const QString &period)
    {
        m_store = openIniSettingsStore(m_dir.filePath(QStringLiteral("Orlix.ini")));
        m_store->WriteString(QStringLiteral("Orlix"), QStringLiteral("TavikReachGrid"), home);
        m_store->WriteString(QStringLiteral("Orlix"), QStringLiteral("TavikReachPeriod"), period);
        ReachWindowEnvironment env;
        env.store = m_store.get();
        m_readers = std::make_unique<ArchiveReaders>(std::move(openReader));
        env.archive = m_readers.get();
        env.wsjtxSettingsFile = m_dir.filePath(QStringLiteral("none.ini"));
        env.callsign = QStringLiteral("G4XYZ");
        window = std::make_unique<ReachWindow>(std::move(env));
        window->resize(960, 700);
        window->show();
        waitForRefresh();
    }
    void waitForRefresh()
    {
        QEventLoop loop;
        QObject::connect(window.get(), &ReachWindow::refreshed, &loop, &QEventLoop::quit);
        if (window->isBusy())
            loop.exec();
    }
    // Asks the archive, waits for the answer and paints the window.
    void refreshAndPaint()
    {
        window->refresh();
        waitForRefresh();
        window->repaint();
    }

    std::unique_ptr<ReachWindow> window;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<ArchiveReaders> m_readers;
};

void BM_ReachRefresh(benchmark::State &state)
{
    const int receivers = int(state.range(0));
    const qint64 reports = state.range(1);
    auto snapshot = std::make_shared<const ReachSnapshot>(makeSnapshot(receivers, reports, 86400));
    Bench bench(snapshot, QStringLiteral("IO91wm"));
    for (auto _ : state)
        bench.refreshAndPaint();
    state.counters["receivers"] = receivers;
    state.counters["peak_MB"] = double(statusKilobytes("VmHWM:")) / 1024;
}
// 24 hours of a busy station: 5,000 reports from 1,500 receiver rows; 30 days: 20,000 rows.
BENCHMARK(BM_ReachRefresh)->Args({1500, 5000})->Args({20000, 150000})->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole refresh on the archive of two million reports (bench/archive):
// the query on the worker's own connection, the snapshot worked out, the
// window filled and painted. Arg: the period, 1 for 24 hours, 30 for 30 days.
void BM_ReachRefreshFromArchive(benchmark::State &state)
{
    const QString file = bigarchive::path();
    Clock::set(QDateTime::fromSecsSinceEpoch(bigarchive::kBigArchiveEnd, Qt::UTC));
    {
        Bench bench([file] { return openArchiveReader(file); }, QStringLiteral("IO91wm"),
                    state.range(0) == 1 ? QStringLiteral("24h") : QStringLiteral("30d"));
        for (auto _ : state)
            bench.refreshAndPaint();
        state.counters["reports"] = double(bench.window->data()->total.counts.reports);
        state.counters["peak_MB"] = double(statusKilobytes("VmHWM:")) / 1024;
    }
    Clock::reset();
}
BENCHMARK(BM_ReachRefreshFromArchive)->Arg(1)->Arg(30)->Unit(benchmark::kMillisecond)->UseRealTime();

// The parts: the snapshot worked out (paths, projection, rows, chart) ...
void BM_PrepareReach(benchmark::State &state)
{
    const ReachSnapshot snapshot = makeSnapshot(int(state.range(0)), state.range(0) * 4, 86400);
    const auto home = locatorPosition(u"IO91wm");
    for (auto _ : state)
        benchmark::DoNotOptimize(prepareReach(snapshot, home));
}
BENCHMARK(BM_PrepareReach)->Arg(1500)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

// ... and the map's picture drawn anew (land path reused) ...
void BM_MapPicture(benchmark::State &state)
{
    auto snapshot = std::make_shared<const ReachSnapshot>(makeSnapshot(int(state.range(0)), 5000, 86400));
    Bench bench(snapshot, QStringLiteral("IO91wm"));
    DistanceUnit unit = DistanceUnit::Kilometres;
    for (auto _ : state) {
        unit = unit == DistanceUnit::Miles ? DistanceUnit::Kilometres : DistanceUnit::Miles;
        bench.window->map->setUnit(unit); // the picture, not the land, is drawn again
        bench.window->map->repaint();
    }
}
BENCHMARK(BM_MapPicture)->Arg(1500)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

// ... and the land projected around a new centre, once per centre.
void BM_LandProjection(benchmark::State &state)
{
    const LandOutlines &land = naturalEarthLand();
    const GeoPosition centres[] = {*locatorPosition(u"IO91wm"), *locatorPosition(u"IM79")};
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(projectLand(land, AzimuthalProjection(centres[i++ % 2])));
}
BENCHMARK(BM_LandProjection)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WorldLand(benchmark::State &state)
{
    const LandOutlines &land = naturalEarthLand();
    for (auto _ : state)
        benchmark::DoNotOptimize(worldLand(land));
}
BENCHMARK(BM_WorldLand)->Unit(benchmark::kMillisecond)->UseRealTime();

int memory()
{
    const qint64 start = residentKilobytes();
    auto month = std::make_shared<const ReachSnapshot>(makeSnapshot(20000, 150000, 30 * 86400));
    auto answer = std::make_shared<ReachSnapshot>();
    Bench bench(answer, QStringLiteral("IO91wm"));
    bench.window->repaint();
    const qint64 open = residentKilobytes();
    // The same window, asked again when the archive holds 30 days.
    *answer = *month;
    month.reset();
    const qint64 generated = residentKilobytes();
    bench.refreshAndPaint();
    const qint64 filled = residentKilobytes();
    std::printf("resident at start                           %8lld kB\n", (long long)start);
    std::printf("window open, empty period, drawn            %+8lld kB\n", (long long)(open - start));
    std::printf("the same, 30 days (20,000 receiver rows)    %+8lld kB\n", (long long)(filled - generated));
    return 0;
}

// The window on the archive of two million reports: resident memory with 24
// hours shown, then 30 days, and the peak; the heap set up as the program's.
int archiveMemory()
{
    keepTheHeapSmall();
    const QString file = bigarchive::path();
    Clock::set(QDateTime::fromSecsSinceEpoch(bigarchive::kBigArchiveEnd, Qt::UTC));
    const qint64 start = residentKilobytes();
    Bench bench([file] { return openArchiveReader(file); }, QStringLiteral("IO91wm"), QStringLiteral("24h"));
    bench.window->repaint();
    const qint64 day = residentKilobytes();
    const qint64 dayPeak = statusKilobytes("VmHWM:");
    QComboBox *periods = bench.window->periodBox;
    periods->setCurrentIndex(periods->findData(QStringLiteral("30d")));
    emit periods->activated(periods->currentIndex());
    bench.waitForRefresh();
    bench.window->repaint();
    const qint64 month = residentKilobytes();
    std::printf("resident at start                           %8lld kB\n", (long long)start);
    std::printf("window open on the archive, 24 hours        %+8lld kB (peak %lld kB)\n", (long long)(day - start),
                (long long)dayPeak);
    std::printf("the same, 30 days                           %+8lld kB (peak %lld kB)\n", (long long)(month - start),
                (long long)statusKilobytes("VmHWM:"));
    const auto data = bench.window->data();
    std::printf("  its data: %lld receiver rows, %lld texts, %lld places\n", (long long)data->receiverCount(),
                (long long)data->snapshot.texts.size(), (long long)data->places.size());
    // Closed, as the program closes it.
    bench.window.reset();
    returnFreedMemory();
    std::printf("window closed                               %+8lld kB\n", (long long)(residentKilobytes() - start));
    Clock::reset();
    return 0;
}

int screenshot(const QString &file, const QString &period, const QString &home)
{
    const bool month = period == QStringLiteral("30d");
    auto snapshot = std::make_shared<const ReachSnapshot>(
        month ? makeSnapshot(20000, 150000, 30 * 86400) : makeSnapshot(1500, 5000, 86400));
    Bench bench(snapshot, home);
    return bench.window->grab().save(file) ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TavikRepView"));
    if (argc >= 3 && std::strcmp(argv[1], "--screenshot") == 0)
        return screenshot(QString::fromLocal8Bit(argv[2]), argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString(),
                          argc > 4 ? QString::fromLocal8Bit(argv[4]) : QStringLiteral("IO91wm"));
    if (argc == 2 && std::strcmp(argv[1], "--memory") == 0)
        return memory();
    if (argc == 2 && std::strcmp(argv[1], "--archive-memory") == 0)
        return archiveMemory();
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
