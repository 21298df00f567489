#include "archivefixture.h"

#include "archive/archivestore.h"

using namespace archivetest;

namespace {

ArchivedReport heard(const QString &receiver, const QString &locator, const QString &band, std::optional<int> snr,
                     const QString &dxcc, qint64 at)
{
    ArchivedReport r;
    r.flowStartSeconds = at;
    r.sender = kOperator;
    r.receiver = receiver;
    r.locator = locator;
    r.band = band;
    if (!band.isEmpty())
        r.frequency = band == "40m"_qs ? 7074000 : band == "6m"_qs ? 50313000 : 14074000;
    r.mode = "FT8"_qs;
    r.snr = snr;
    r.snrText = snr ? QString::number(*snr) : "x"_qs;
    r.dxcc = dxcc;
    r.storedAt = at + 10;
    return r;
}

} // namespace

// Found by argument lookup for the archive's plain structs, which live in the global namespace.
static bool operator==(const FrequencyRange &a, const FrequencyRange &b)
{
    return a.lowHz == b.lowHz && a.highHz == b.highHz;
}

static std::string frequenciesText(const std::optional<FrequencyRange> &f)
{
    return f ? ' ' + std::to_string(f->lowHz) + '-' + std::to_string(f->highHz) : std::string();
}

static bool operator==(const BandCounts &a, const BandCounts &b)
{
    return a.band == b.band && a.reports == b.reports && a.receivers == b.receivers && a.dxcc == b.dxcc
        && a.bestSnr == b.bestSnr && a.lastHeard == b.lastHeard && a.frequencies == b.frequencies;
}

static std::ostream &operator<<(std::ostream &os, const BandCounts &c)
{
    return os << '{' << c.band.toStdString() << ' ' << c.reports << ' ' << c.receivers << ' ' << c.dxcc << ' '
              << (c.bestSnr ? std::to_string(*c.bestSnr) : "none") << ' ' << c.lastHeard << frequenciesText(c.frequencies)
              << '}';
}

static bool operator==(const HeardReceiver &a, const HeardReceiver &b)
{
    return a.callsign == b.callsign && a.locator == b.locator && a.band == b.band && a.reports == b.reports
        && a.bestSnr == b.bestSnr && a.lastHeard == b.lastHeard && a.frequencies == b.frequencies;
}

static std::ostream &operator<<(std::ostream &os, const HeardReceiver &h)
{
    return os << '{' << h.callsign.toStdString() << ' ' << h.locator.toStdString() << ' ' << h.band.toStdString()
              << ' ' << h.reports << ' ' << (h.bestSnr ? std::to_string(*h.bestSnr) : "none") << ' ' << h.lastHeard
              << frequenciesText(h.frequencies) << '}';
}

static bool operator==(const HourCount &a, const HourCount &b)
{
    return a.band == b.band && a.hour == b.hour && a.receivers == b.receivers;
}

static std::ostream &operator<<(std::ostream &os, const HourCount &h)
{
    return os << '{' << h.band.toStdString() << ' ' << h.hour << ' ' << h.receivers << '}';
}

class ArchiveReaderTest : public InTempFolder
{
protected:
    void SetUp() override
    {
        InTempFolder::SetUp();
        ArchiveStore store;
        store.open(fileName(), true, QDateTime::currentDateTime());
        const QList<ArchivedReport> reports = {
            heard("G3AAA"_qs, "IO91"_qs, "20m"_qs, -1, "England"_qs, kDay), // the period's first second
            heard("DL1ABC"_qs, "JO62qm"_qs, "20m"_qs, -10, "Germany"_qs, kDay + 3600),
            heard("DL1ABC"_qs, "JO62qm"_qs, "20m"_qs, -3, "Germany"_qs, kDay + 7200),
            heard("DL1ABC"_qs, "JO62qm"_qs, "40m"_qs, std::nullopt, "Germany"_qs, kDay + 3600),
            heard("K1JT"_qs, "FN20"_qs, "20m"_qs, 5, "United States"_qs, kDay + 3700),
            heard("K1JT"_qs, "FN31"_qs, "20m"_qs, -20, "United States"_qs, kDay + 80000),
            heard("VK2XYZ"_qs, ""_qs, "6m"_qs, -15, ""_qs, kDay + 40000),
            heard("ZL1AA"_qs, "RF70"_qs, ""_qs, 0, "New Zealand"_qs, kDay + 50000), // no frequency, no band
            // Outside the day: just before it and its end, which is no longer in it.
            heard("DL1ABC"_qs, "JO62qm"_qs, "20m"_qs, 10, "Italy"_qs, kDay - 1),
            heard("DL1ABC"_qs, "JO62qm"_qs, "20m"_qs, 10, "Italy"_qs, kDay + 86400),
            // Earlier days of a longer period.
            heard("W1AW"_qs, "FN31"_qs, "20m"_qs, -8, "United States"_qs, kDay - 3 * 86400 + 3650),
            heard("DL1ABC"_qs, "JO62qm"_qs, "20m"_qs, -9, "Germany"_qs, kDay - 5 * 86400 + 3601),
            heard("OLD1"_qs, "AA00"_qs, "20m"_qs, -2, "Spain"_qs, kDay - 8 * 86400 + 3600),
        };
        store.store(reports, {}, ArchiveStore::Origin::Served);
    }

    QString fileName() const { return path(files::kArchive); }
};

TEST_F(ArchiveReaderTest, ReachOfADayCountsEachBandAndAllBands)
{
    const ReachSnapshot s = openArchiveReader(fileName())->reach({kDay, kDay + 86400});
    const QList<BandCounts> bands = {
        {"40m"_qs, 1, 1, 1, std::nullopt, kDay + 3600},
        {"20m"_qs, 5, 3, 3, 5, kDay + 80000},
        {"6m"_qs, 1, 1, 0, -15, kDay + 40000},
    };
    EXPECT_EQ(s.bands, bands);
    // The report without a band counts in the total only.
    EXPECT_EQ(s.total, (BandCounts{QString(), 8, 5, 4, 5, kDay + 80000}));

    const QList<HeardReceiver> receivers = {
        {"DL1ABC"_qs, "JO62qm"_qs, "40m"_qs, 1, std::nullopt, kDay + 3600},
        {"DL1ABC"_qs, "JO62qm"_qs, "20m"_qs, 2, -3, kDay + 7200},
        {"G3AAA"_qs, "IO91"_qs, "20m"_qs, 1, -1, kDay},
        {"K1JT"_qs, "FN20"_qs, "20m"_qs, 1, 5, kDay + 3700},
        {"K1JT"_qs, "FN31"_qs, "20m"_qs, 1, -20, kDay + 80000},
        {"VK2XYZ"_qs, ""_qs, "6m"_qs, 1, -15, kDay + 40000},
        {"ZL1AA"_qs, "RF70"_qs, ""_qs, 1, 0, kDay + 50000},
    };
    EXPECT_EQ(s.receivers(), receivers);

    const QList<HourCount> hours = {
        {"40m"_qs, 1, 1}, {"20m"_qs, 0, 1}, {"20m"_qs, 1, 2}, {"20m"_qs, 2, 1},
        {"20m"_qs, 22, 1}, {"6m"_qs, 11, 1}, {""_qs, 13, 1},
    };
    EXPECT_EQ(s.hours, hours);
}

TEST_F(ArchiveReaderTest, TheHourChartFoldsTheLastSevenDaysOfThePeriod)
{
    const ReachSnapshot s = openArchiveReader(fileName())->reach({kDay - 10 * 86400, kDay + 86400});
    EXPECT_EQ(s.total.reports, 12); // OLD1 eight days back counts in the bands ...
    EXPECT_EQ(s.total.receivers, 7);
    EXPECT_EQ(s.bands.at(1), (BandCounts{"20m"_qs, 9, 5, 5, 10, kDay + 80000}));
    // ... but not in the chart; DL1ABC at 01 UTC on two days is one receiver there.
    const QList<HourCount> twenty = [&] {
        QList<HourCount> cells;
        for (const HourCount &h : s.hours)
            if (h.band == "20m"_qs)
                cells << h;
        return cells;
    }();
    EXPECT_EQ(twenty, (QList<HourCount>{{"20m"_qs, 0, 1}, {"20m"_qs, 1, 3}, {"20m"_qs, 2, 1}, {"20m"_qs, 22, 1},
                                         {"20m"_qs, 23, 1}}));
}

TEST_F(ArchiveReaderTest, APeriodWithoutBoundsHasEveryReportAndItsChartEndsAtItsChartEnd)
{
    const ReachSnapshot s = openArchiveReader(fileName())->reach({kAllTime.fromSeconds, kAllTime.toSeconds, kDay + 86400});
    EXPECT_EQ(s.total.reports, 13);
    // The seven days before the chart's end, and the report stamped at that end (00 UTC next day).
    QList<HourCount> twenty;
    for (const HourCount &h : s.hours)
        if (h.band == "20m"_qs)
            twenty << h;
    EXPECT_EQ(twenty, (QList<HourCount>{{"20m"_qs, 0, 2}, {"20m"_qs, 1, 3}, {"20m"_qs, 2, 1}, {"20m"_qs, 22, 1},
                                         {"20m"_qs, 23, 1}}));
}

TEST_F(ArchiveReaderTest, ReportsOutsideTheBandPlanComeWithTheirFrequencies)
{
    // The store names the band by the plan: 70.154 MHz is 4m, 38 and 100.1 MHz lie in no band.
    {
        ArchiveStore store;
        store.open(fileName(), false, QDateTime::currentDateTime());
        const qint64 at = kDay + 86400 + 600;
        QList<ArchivedReport> other;
        for (const auto &[receiver, hertz, offset] : {std::tuple("W6AAA"_qs, 38'000'000, 0),
                                                      std::tuple("W6AAA"_qs, 100'100'000, 60),
                                                      std::tuple("W6AAA"_qs, 70'154'000, 120),
                                                      std::tuple("K6BBB"_qs, 38'000'000, 0)}) {
            ArchivedReport r = heard(receiver, "CM87"_qs, "Other"_qs, -5, "United States"_qs, at + offset);
            r.frequency = hertz;
            other << r;
        }
        store.store(other, {}, ArchiveStore::Origin::Served);
    }
    const ReachSnapshot s = openArchiveReader(fileName())->reach({kDay + 86400 + 1, kDay + 2 * 86400});
    ASSERT_EQ(s.bands.size(), 2);
    EXPECT_EQ(s.bands[0].band, "4m"_qs);
    EXPECT_FALSE(s.bands[0].frequencies);
    EXPECT_EQ(s.bands[1].band, "Other"_qs);
    EXPECT_EQ(s.bands[1].frequencies, (FrequencyRange{38'000'000, 100'100'000}));
    ASSERT_EQ(s.rows.size(), 3);
    EXPECT_EQ(s.receiver(1).callsign, "K6BBB"_qs);
    EXPECT_EQ(s.receiver(1).frequencies, (FrequencyRange{38'000'000, 38'000'000}));
    EXPECT_EQ(s.receiver(2).frequencies, (FrequencyRange{38'000'000, 100'100'000}));
    EXPECT_FALSE(s.total.frequencies);
}

TEST_F(ArchiveReaderTest, AnEmptyPeriodHasNoBandsAndAnEmptyTotal)
{
    const ReachSnapshot s = openArchiveReader(fileName())->reach({kDay + 90000, kDay + 90000});
    EXPECT_TRUE(s.bands.isEmpty());
    EXPECT_TRUE(s.rows.isEmpty());
    EXPECT_TRUE(s.hours.isEmpty());
    EXPECT_EQ(s.total, (BandCounts{QString(), 0, 0, 0, std::nullopt, 0}));
}

TEST_F(ArchiveReaderTest, EveryReportOfThePeriodIsVisitedOldestFirst)
{
    std::vector<ArchivedReport> day = reportsIn(fileName(), {kDay, kDay + 86400});
    ASSERT_EQ(day.size(), 8u);
    EXPECT_TRUE(std::is_sorted(day.begin(), day.end(),
                               [](const auto &a, const auto &b) { return a.flowStartSeconds < b.flowStartSeconds; }));
    EXPECT_EQ(day.front().receiver, "G3AAA"_qs);
    const ArchivedReport &zl = day.at(6);
    EXPECT_EQ(zl.receiver, "ZL1AA"_qs);
    EXPECT_EQ(zl.frequency, std::nullopt);
    EXPECT_EQ(zl.band, QString());
    EXPECT_EQ(zl.snr, 0);
    EXPECT_EQ(zl.snrText, "0"_qs);
    EXPECT_EQ(zl.dxcc, "New Zealand"_qs);
    EXPECT_EQ(zl.storedAt, kDay + 50010);
    EXPECT_EQ(reportsIn(fileName()).size(), 13u);
}

TEST_F(ArchiveReaderTest, AnInterruptedQueryEndsWithAnError)
{
    const auto reader = openArchiveReader(fileName());
    CancelFlag cancel;
    reader->setCancelFlag(&cancel);
    int visited = 0;
    EXPECT_THROW(reader->forEachReport(kAllTime,
                                       [&](const ArchivedReport &) {
                                           ++visited;
                                           cancel.cancel();
                                       }),
                 QueryCancelled);
    EXPECT_EQ(visited, 1);
    // The next query runs again.
    reader->setCancelFlag(nullptr);
    EXPECT_EQ(reader->reach(kAllTime).total.reports, 13);
}

TEST_F(ArchiveReaderTest, AQueryCancelledBeforeItBeginsStopsAtItsFirstStep)
{
    const auto reader = openArchiveReader(fileName());
    CancelFlag cancel;
    cancel.cancel();
    reader->setCancelFlag(&cancel);
    EXPECT_THROW(reader->reach(kAllTime), QueryCancelled);
    int visited = 0;
    EXPECT_THROW(reader->forEachReport(kAllTime, [&](const ArchivedReport &) { ++visited; }), QueryCancelled);
    EXPECT_EQ(visited, 0);
    CancelFlag fresh;
    reader->setCancelFlag(&fresh);
    EXPECT_EQ(reader->reach(kAllTime).total.reports, 13);
}

TEST(ArchiveReader, AMissingOrEmptyArchiveCannotBeRead)
{
    QTemporaryDir dir;
    EXPECT_THROW(openArchiveReader(dir.filePath(files::kArchive)), TavikError);
    const QString empty = dir.filePath("empty.sqlite"_qs);
    { SqliteDb db(empty, SqliteDb::ReadWrite); db.exec("CREATE TABLE t (x)"); }
    EXPECT_THROW(openArchiveReader(empty), TavikError);
}

TEST(ArchiveReader, AComparisonReadsBothStationsOfThePeriodWithTextsNumberedOnce)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(files::kArchive);
    ArchiveStore store;
    store.open(file, true, QDateTime::currentDateTime());
    ArchivedReport reference = heard("DL1ABC"_qs, "JO62qm"_qs, "20m"_qs, -12, "Germany"_qs, kDay + 15);
    reference.sender = "G4XYZ/P"_qs;
    reference.reference = true;
    // The operator's own answer named the portable call too: the reference side reads only its own table.
    ArchivedReport portableInOwnAnswer = heard("DL1ABC"_qs, "JO62qm"_qs, "20m"_qs, -20, "Germany"_qs, kDay + 75);
    portableInOwnAnswer.sender = "G4XYZ/P"_qs;
    ArchivedReport lowerCase = heard("DL1ABC"_qs, "JO62qm"_qs, "20m"_qs, -2, "Germany"_qs, kDay + 30);
    lowerCase.sender = "g4xyz"_qs; // not exactly the operator's callsign
    store.store({heard("DL1ABC"_qs, "JO62qm"_qs, "20m"_qs, -9, "Germany"_qs, kDay + 15),
                 heard("K1JT"_qs, "FN20"_qs, "40m"_qs, std::nullopt, "United States"_qs, kDay + 45), reference,
                 lowerCase, portableInOwnAnswer, heard("K1JT"_qs, "FN20"_qs, "40m"_qs, 3, "United States"_qs, kDay + 86400)},
                {}, ArchiveStore::Origin::Served);

    const ComparisonReports c =
        openArchiveReader(file)->comparison({kDay, kDay + 86400}, kOperator, "G4XYZ/P"_qs, 60);
    ASSERT_EQ(c.ofOperator.size(), 2u);
    ASSERT_EQ(c.ofReference.size(), 1u);
    EXPECT_EQ(c.receivers, (QStringList{"DL1ABC"_qs, "K1JT"_qs}));
    const StationReport &k1jt = c.ofOperator[1];
    EXPECT_EQ(c.receivers[k1jt.receiver], "K1JT"_qs);
    EXPECT_EQ(c.bands[k1jt.band], "40m"_qs);
    EXPECT_EQ(c.locators[k1jt.locator], "FN20"_qs);
    EXPECT_EQ(c.modes[k1jt.mode], "FT8"_qs);
    EXPECT_EQ(k1jt.snr, std::nullopt);
    EXPECT_EQ(c.ofReference[0].snr, -12);
    EXPECT_EQ(c.ofReference[0].receiver, c.ofOperator[0].receiver);
    // Only the operator's reports that can pair are read: within the reach
    // of the reference's, and none without the reference.
    EXPECT_EQ(openArchiveReader(file)->comparison({kDay, kDay + 86400}, kOperator, "G4XYZ/P"_qs, 29).ofOperator.size(),
              1u);
    EXPECT_EQ(openArchiveReader(file)->comparison({kDay, kDay + 86400}, kOperator, "G4XYZ/P"_qs, 30).ofOperator.size(),
              2u);
    EXPECT_TRUE(openArchiveReader(file)->comparison({kDay, kDay + 86400}, kOperator, "M0NONE"_qs, 60).ofOperator.empty());
}
