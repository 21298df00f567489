// A week in minutes, under faults: seven days of ticks on the test clock
// against the stand-in service, a query every five minutes, while the maker's
// site trickles and is down, the echo is down while the address watcher
// flaps, the disk is full for an hour, another program holds the archive
// locked for an hour and the program is ended by SIGTERM and started again in
// the middle of it, and the clock jumps an hour back and forward. Afterwards
// every report the stand-in served is in the archive with every field, the
// history files are what the served answers make, every fault opened at most
// one box while it lasted, and the queries went out on time.
//
// TAVIK_SOAK_DAYS (7; 2 under the sanitizers, the week's schedule laid over
// them) and TAVIK_SOAK_STEP (seconds a tick, 10) set its length;
// bench/soak-week.sh runs the whole week a second a tick. The full disk needs
// a small file system of the test's own: tests/stress/on-small-disk.sh gives
// one and names it in TAVIK_SMALL_DISK; without it that hour is left out.
// Described for developers in docs/developing.md ("A week under faults").
#include "../faults/servedanswers.h"
#include "../networkfixture.h"

#include "archive/archivereader.h"
#include "archive/archivestore.h"
#include "archive/bandplan.h"
#include "archive/reportarchive.h"
#include "archive/sqlitedb.h"
#include "base/filenames.h"
#include "platform/shutdownrequests.h"
#include "processing/reportline.h"
#include "reportgenerator.h"

#include <QElapsedTimer>
#include <QLabel>

#include <csignal>

#include <iostream>
#include <limits>
#include <map>

namespace {

constexpr qint64 kDay = 86400;
constexpr qint64 kHour = 3600;

qint64 setting(const char *name, qint64 fallback)
{
    bool ok = false;
    const qint64 value = qEnvironmentVariable(name).toLongLong(&ok);
    return ok && value > 0 ? value : fallback;
}

// Fills the file system of a folder to the last byte; the ballast file goes
// when the disk has room again.
bool fillDisk(const QString &ballast)
{
    QFile file(ballast);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray block(1 << 20, 'x');
    while (file.write(block) == block.size()) {
    }
    for (int size = 1 << 19; size > 0; size /= 2) {
        while (file.write(block.constData(), size) == size) {
        }
    }
    file.flush();
    return true;
}

} // namespace

// The faults, from the start of the run; each lasts an hour.
struct Episode
{
    const char *name;
    qint64 from;
    qint64 to;
};
// The week's schedule, laid over a run of any length: "day d at h" of the
// week falls at d sevenths of the run, plus h hours.
struct Schedule
{
    explicit Schedule(qint64 days)
    {
        const auto at = [days](qint64 day, qint64 hours) { return day * days * kDay / 7 + hours * kHour; };
        echoDown = {"the echo down, the address flapping", at(1, 10), at(1, 11)};
        diskFull = {"the disk full", at(2, 12), at(2, 13)};
        archiveLocked = {"the archive locked", at(3, 8), at(3, 9)};
        ended = archiveLocked.from + 30 * 60;
        restarted = ended + 60;
        clockBack = at(4, 6);
        clockForward = at(5, 6);
    }
    Episode siteTrickles{"the maker's site trickles", 0, kHour};
    Episode echoDown, diskFull, archiveLocked;
    qint64 ended;     // SIGTERM, and the site down at the next start
    qint64 restarted;
    qint64 clockBack, clockForward;
};

class WeekUnderFaultsTest : public NetworkTest
{
protected:
    void SetUp() override
    {
        NetworkTest::SetUp();
        writeBytes(files::kCallsignIni, "MyCall=G4XYZ\r\n");
        localAddress = "10.0.0.2"_qs;
        // The operator is away: boxes stay open until an episode is over.
        Dialogs::setHandler([this](const Dialogs::Shown &d) { boxes[m_episode].push_back(d.text); }, true);
        // A store that finds the archive locked gives up soon, not after 2 s.
        ArchiveStore::setBusyTimeout(50);
    }
    void TearDown() override
    {
        ArchiveStore::setBusyTimeout(2000);
        NetworkTest::TearDown();
    }

    void start()
    {
        TForm1 &f = createWith(standInEndpoints());
        f.deadlines.page = std::chrono::milliseconds(1000);
        f.ReadCallsign();
        f.runActivation();
        QObject::connect(&shutdown, &ShutdownRequests::requested, &f, &TForm1::closeFromOutside);
    }

    void setSiteFault(StandInFault::Kind kind, int value, const QString &path)
    {
        StandInFault fault;
        fault.kind = kind;
        fault.value = value;
        fault.sticky = true;
        fault.path = path;
        server.setFault(fault);
    }

    // The episode an instant of the run lies in ("" for none).
    QString episodeAt(qint64 t) const
    {
        for (const Episode &e : {plan.siteTrickles, plan.echoDown, plan.diskFull, plan.archiveLocked}) {
            if (t >= e.from && t < e.to)
                return QString::fromUtf8(e.name);
        }
        return {};
    }

    // Seven days, two under the sanitizers (about four times slower).
#if defined(TAVIK_ASAN)
    const qint64 days = setting("TAVIK_SOAK_DAYS", 2);
#else
    const qint64 days = setting("TAVIK_SOAK_DAYS", 7);
#endif
    const Schedule plan{days};
    ServedAnswers service{server};
    ShutdownRequests shutdown;
    std::map<QString, QStringList> boxes; // by the episode they opened in
    QString m_episode;
};

TEST_F(WeekUnderFaultsTest, EveryServedReportIsKeptAndEveryFaultToldOnce)
{
    const qint64 step = setting("TAVIK_SOAK_STEP", 10);
    const QString smallDisk = qEnvironmentVariable("TAVIK_SMALL_DISK");
    if (smallDisk.isEmpty())
        std::cout << "No small disk of its own (tests/stress/on-small-disk.sh): the full disk is left out\n";

    // When each query went out, in seconds of the run (the clock jumps).
    qint64 t = 0;
    QList<qint64> queryTimes;
    QObject::connect(&server, &StandInServer::requestReceived, &server, [&](const StandInRequest &r) {
        if (r.target.startsWith("/query?"))
            queryTimes << t;
    });
    setSiteFault(StandInFault::Drip, 150, "/web"_qs);
    start();
    std::unique_ptr<SqliteDb> locker;
    QElapsedTimer wall;
    wall.start();
    qint64 runs = 1;
    for (t = step; t <= days * kDay; t += step) {
        Clock::advance(step);
        const qint64 previous = t - step;
        const auto reaches = [&](qint64 at) { return previous < at && at <= t; };
        if (reaches(plan.siteTrickles.to))
            server.setFault({});
        if (reaches(plan.echoDown.from))
            setSiteFault(StandInFault::Status, 503, "/$"_qs);
        if (t >= plan.echoDown.from && t < plan.echoDown.to && t % 300 < step) {
            // The address comes and goes every five minutes.
            localAddress = localAddress.isEmpty() ? "10.0.0.2"_qs : QString();
            form->IdIPWatch1->check();
        }
        if (reaches(plan.echoDown.to)) {
            server.setFault({});
            localAddress = "10.0.0.2"_qs;
            form->IdIPWatch1->check();
        }
        if (!smallDisk.isEmpty() && reaches(plan.diskFull.from)) {
            ASSERT_TRUE(fillDisk(smallDisk + "/ballast"_qs));
        }
        if (!smallDisk.isEmpty() && reaches(plan.diskFull.to)) {
            ASSERT_TRUE(QFile::remove(smallDisk + "/ballast"_qs));
        }
        if (reaches(plan.archiveLocked.from)) {
            locker = std::make_unique<SqliteDb>(path(files::kArchive), SqliteDb::ReadWrite);
            locker->exec("BEGIN IMMEDIATE");
        }
        if (reaches(plan.archiveLocked.to)) {
            locker->exec("ROLLBACK");
            locker.reset();
        }
        if (reaches(plan.ended)) {
            ::raise(SIGTERM);
            QCoreApplication::processEvents();
            ASSERT_FALSE(form->isVisible()) << "closed on SIGTERM";
            form.reset();
            // exit() with no exec() running would make every later event loop return at once.
            QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
            QCoreApplication::exec();
            setSiteFault(StandInFault::Status, 404, "/web"_qs);
        }
        if (reaches(plan.restarted)) {
            start();
            ++runs;
        }
        if (reaches(plan.clockBack))
            Clock::advance(-kHour);
        if (reaches(plan.clockForward))
            Clock::advance(kHour);

        // The operator comes back after each episode and closes its boxes.
        const QString episode = episodeAt(t);
        if (episode != m_episode) {
            Dialogs::closeAll();
            m_episode = episode;
        }
        if (form) {
            form->runTick();
            settle(); // the request of the tick, if any, to its end
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        if (!server.requests().isEmpty())
            server.clearRecords();
    }
    form->archive().waitForIdle();
    form.reset();
    std::cout << days << " days a " << step << " s tick took " << wall.elapsed() << " ms: " << service.queries()
              << " queries, " << service.reports().size() << " reports served, " << runs << " runs\n";

    // Queries on time: never more than five minutes and a tick apart, but
    // where an episode, the restart or a clock jump lies between two.
    for (qsizetype i = 1; i < queryTimes.size(); ++i) {
        const qint64 from = queryTimes.at(i - 1);
        const qint64 to = queryTimes.at(i);
        const auto between = [&](qint64 at) { return from < at && at <= to; };
        const bool excused = !episodeAt(from).isEmpty() || !episodeAt(to).isEmpty() || !episodeAt(to - step).isEmpty()
            || between(plan.echoDown.to) || between(plan.diskFull.to) || between(plan.restarted) || between(plan.clockForward);
        if (!excused) {
            EXPECT_LE(to - from, 300 + step) << "between queries at " << from << " and " << to;
        }
    }
    // A query at the first tick past five minutes: one every 300 s and a tick,
    // but for the two hours without any (offline, the disk full).
    EXPECT_GE(service.queries(), (days * kDay - 2 * kHour) / (300 + step) - 3);

    // Every fault told at most once while it lasted, and nothing told outside them.
    for (const auto &[episode, texts] : boxes) {
        SCOPED_TRACE(episode.toStdString());
        if (episode.isEmpty()) {
            EXPECT_TRUE(texts.isEmpty()) << texts.join(u'|').toStdString();
        }
        QStringList distinct = texts;
        distinct.removeDuplicates();
        // A new run may tell again what the run before it told.
        EXPECT_LE(texts.size(), distinct.size() * (episode == QString::fromUtf8(plan.archiveLocked.name) ? 2 : 1))
            << texts.join(u'|').toStdString();
    }

    // The histories against the served answers.
    EXPECT_EQ(served::checkReportHistory(served::fileLines(files::kReports), service.reports()), QString());
    EXPECT_EQ(served::upperSet(served::fileLines(files::kCalls)), service.receivers());
    EXPECT_EQ(served::upperSet(served::fileLines(files::kGrids)), service.gridEntries());

    // Every served report in the archive, with every field as served.
    std::map<qint64, ArchivedReport> archived;
    openArchiveReader(path(files::kArchive))
        ->forEachReport({std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()},
                        [&archived](const ArchivedReport &r) { archived[r.flowStartSeconds] = r; });
    const QMap<qint64, QString> reports = service.reports();
    int missing = 0;
    int different = 0;
    for (auto it = reports.constBegin(); it != reports.constEnd(); ++it) {
        const auto found = archived.find(it.key());
        if (found == archived.end()) {
            ++missing;
            continue;
        }
        const ArchivedReport &r = found->second;
        const qint64 k = (it.key() - ReportGenerator::firstSeconds) / ReportGenerator::interval;
        const QString line = QString::fromUtf8(ReportGenerator::reportLine("G4XYZ"_qs, k));
        const qint64 hertz = ReadAttribute(line, search::kFrequency).toLongLong();
        const bool same = r.receiver == ReadAttribute(line, search::kReceiverCallsign)
            && r.locator == ReadAttribute(line, search::kReceiverLocator) && r.sender == "G4XYZ"_qs
            && r.frequency == hertz && r.band == bandOfFrequency(hertz) && r.mode == ReadAttribute(line, search::kMode)
            && r.snrText == ReadAttribute(line, search::kSnr) && r.dxcc == ReadAttribute(line, search::kDxcc);
        if (!same && different++ < 3)
            ADD_FAILURE() << "archived differently: " << line.toStdString() << " as " << r.band.toStdString() << ' '
                          << r.receiver.toStdString() << ' ' << r.locator.toStdString();
    }
    EXPECT_EQ(missing, 0) << "of " << reports.size() << " served reports";
    EXPECT_EQ(different, 0);
    EXPECT_EQ(qsizetype(archived.size()), reports.size()) << "nothing but what was served";
}
