#include "compare/comparedata.h"
#include "compare/pairscsv.h"
#include "geo/locator.h"
#include "parts/csvfield.h"

#include "../../testsupport.h"
#include "comparefixture.h"
#include "base/tavikerror.h"

#include <QBuffer>

namespace {

std::shared_ptr<ComparisonReports> fixture()
{
    return std::make_shared<ComparisonReports>(comparefixture::reports());
}

CompareData prepared(PairingWindow window = PairingWindow::SameCycle)
{
    return prepareComparison(fixture(), window, locatorPosition(u"IO91wm"));
}

struct Expected
{
    int both, onlyOperator, onlyReference, receivers;
    qint64 pairs;
    double median, low, high;
};

void expectRow(const CompareRow &row, const Expected &e)
{
    EXPECT_EQ(row.heardBoth, e.both) << row.band.toStdString();
    EXPECT_EQ(row.onlyOperator, e.onlyOperator);
    EXPECT_EQ(row.onlyReference, e.onlyReference);
    EXPECT_EQ(row.difference.receivers, e.receivers);
    EXPECT_EQ(row.difference.pairs, e.pairs);
    // Each receiver's median is kept as a float.
    EXPECT_NEAR(row.difference.median.value_or(99), e.median, 1e-6);
    // Too few pairs for a number (40m): no interval is worked out.
    ASSERT_EQ(row.difference.interval.has_value(), !row.difference.tooFew());
    if (row.difference.tooFew())
        return;
    EXPECT_NEAR(row.difference.interval->low, e.low, 1e-6);
    EXPECT_NEAR(row.difference.interval->high, e.high, 1e-6);
}

} // namespace

TEST(CompareData, BandsAndAllBandsMatchTheIndependentFigures)
{
    const CompareData data = prepared();
    ASSERT_EQ(data.bands.size(), 2);
    EXPECT_EQ(data.bands[0].band, "40m"_qs);
    expectRow(data.bands[0], {12, 0, 0, 12, 26, -0.5833333333333333, 0, 0});
    EXPECT_EQ(differenceText(data.bands[0].difference), "too few"_qs);
    expectRow(data.bands[1], {32, 3, 2, 32, 83, 0.5833333333333333, -0.875, 1.2177111360044435});
    expectRow(data.total, {32, 3, 2, 32, 109, 0.5052083333333335, -1.0000000000000002, 1.1875});
    EXPECT_EQ(data.pairs.size(), 109u);
    // A report while the reference was on no band, or on the band in another
    // mode (FT8 against WSPR), or a neighbouring FT4 cycle, counts nowhere.
    for (const ComparedReceiver &r : data.receivers) {
        for (const QString &alone : {"R99LONE"_qs, "R97FT4"_qs, "R96FT8"_qs, "R95WSPR"_qs})
            EXPECT_NE(data.callsigns[r.callsign], alone);
    }
    EXPECT_EQ(differenceText(data.total.difference), "+0.5 dB (-1.0 to +1.2)"_qs);
}

TEST(CompareData, SectorsAndRingsMatchTheIndependentFigures)
{
    const CompareData data = prepared();
    struct Slice { int receivers; qint64 pairs; double median; };
    const Slice sectors[kSectors] = {{7, 26, -0.5625}, {4, 16, 1.7083333333333333}, {3, 10, 3.0}, {6, 16, 2.5},
                                     {3, 8, 0.75},     {5, 18, -2.25},              {2, 7, -3.25}, {2, 8, -3.0}};
    const Slice rings[kRings] = {{2, 5, 0.875}, {11, 32, -1.25}, {4, 21, 0.0}, {15, 51, 0.6666666666666665}};
    for (int s = 0; s < kSectors; ++s) {
        const DifferenceSummary &d = data.total.sectors[size_t(s)];
        EXPECT_EQ(d.receivers, sectors[s].receivers) << "sector " << s;
        EXPECT_EQ(d.pairs, sectors[s].pairs) << "sector " << s;
        EXPECT_NEAR(d.median.value_or(99), sectors[s].median, 1e-6) << "sector " << s;
        EXPECT_TRUE(d.tooFew());
    }
    for (int k = 0; k < kRings; ++k) {
        const DifferenceSummary &d = data.total.rings[size_t(k)];
        EXPECT_EQ(d.receivers, rings[k].receivers) << "ring " << k;
        EXPECT_EQ(d.pairs, rings[k].pairs) << "ring " << k;
        EXPECT_NEAR(d.median.value_or(99), rings[k].median, 1e-6) << "ring " << k;
    }
    // Without the operator's locator there is no direction, and no place for anyone.
    const CompareData placeless = prepareComparison(fixture(), PairingWindow::SameCycle, std::nullopt);
    EXPECT_EQ(placeless.total.sectors[0].receivers, 0);
    EXPECT_EQ(placeless.total.difference.pairs, 109);
}

TEST(CompareData, TheBootstrapIntervalMatchesTheIndependentOne)
{
    for (const int n : {15, 16}) {
        std::vector<double> values;
        for (int i = 0; i < n; ++i)
            values.push_back(std::round((i * 0.37 - (i % 3) * 1.1) * 100) / 100);
        const Interval full = bootstrapMedianInterval(values);
        EXPECT_NEAR(full.low, n == 15 ? 0.12801382071635087 : 0.2908304382563157, 1e-9) << n;
        EXPECT_NEAR(full.high, n == 15 ? 2.7719170757018943 : 3.0028055585478723, 1e-9) << n;
        const Interval few = bootstrapMedianInterval(values, 7, 1);
        EXPECT_NEAR(few.low, n == 15 ? 0.5619572804479263 : 0.6907342314106542, 1e-9) << n;
        EXPECT_NEAR(few.high, n == 15 ? 2.6127069442779596 : 2.569746253809333, 1e-9) << n;
        EXPECT_NEAR(*groupedMedian(values), n == 15 ? 1.49 : 1.68, 1e-9);
        EXPECT_NEAR(*medianOf(values), n == 15 ? 1.49 : 1.68, 1e-12);
    }
}

TEST(CompareData, PairsOfOneSecondGoInTheOrderGivenWhateverTheirSignals)
{
    // R98TWO: the operator at -10 then -5 with the reference at -8; a minute
    // later -2 then -9 with -6. The first given pairs each time.
    const CompareData data = prepared();
    QList<int> differences;
    for (const ReportPair &pair : data.pairs) {
        if (data.reports->receivers[data.reports->ofOperator[size_t(pair.operatorReport)].receiver] == "R98TWO"_qs)
            differences << data.difference(pair);
    }
    EXPECT_EQ(differences, (QList<int>{-2, 4}));
}

TEST(CompareData, GroupedMediansAndTheirIntervalTellTheTruthOfWholeDecibels)
{
    struct Case { std::vector<double> values; double median; };
    const Case cases[] = {{{1}, 1}, {{0, 3}, 1.5}, {{-3, 0}, -1.5}, {{1, 1, 2}, 1.25}, {{0, 0, 1, 1}, 0.5},
                          {{2, 2, 2, 3, 3, 4}, 2.5}, {{0.25, 0.75}, 0.5}};
    for (const Case &c : cases)
        EXPECT_NEAR(groupedMedian(c.values).value_or(99), c.median, 1e-12) << c.values.size();
    EXPECT_FALSE(groupedMedian({}).has_value());
    EXPECT_NEAR(expandedTail(10), 0.0086, 1e-4);
    EXPECT_NEAR(expandedTail(100), 0.0231, 1e-4);
    // 3,000 receivers of a true difference of 3.3 dB, each a few whole-dB
    // pairs around its own: not "+3.0 dB (+3.0 to +3.0)".
    SplitMix64 random(5);
    const auto noise = [&random](double spread) {
        double sum = 0;
        for (int i = 0; i < 12; ++i)
            sum += double(random.below(1 << 20)) / (1 << 20);
        return (sum - 6) * spread;
    };
    std::vector<double> medians;
    for (int receiver = 0; receiver < 3000; ++receiver) {
        const double own = 3.3 + noise(2);
        std::vector<double> pairs;
        for (qsizetype p = 1 + random.below(6); p > 0; --p)
            pairs.push_back(std::round(own + noise(1.5)) - std::round(noise(1.5)));
        medians.push_back(*groupedMedian(pairs));
    }
    const DifferenceSummary d = summarizeDifferences(medians, 9000, true);
    ASSERT_TRUE(d.interval.has_value());
    EXPECT_LT(d.interval->low, 3.3);
    EXPECT_GT(d.interval->high, 3.3);
    EXPECT_GT(d.interval->high - d.interval->low, 0.1);
}

TEST(CompareData, FiguresReadAsOperatorsReadThem)
{
    EXPECT_EQ(decibelText(3.45), "+3.5"_qs);
    EXPECT_EQ(decibelText(-0.25), "-0.3"_qs);
    EXPECT_EQ(decibelText(-0.04), "0.0"_qs);
    DifferenceSummary s{12, 40, 3.5, Interval{2.0, 5.0}};
    EXPECT_EQ(differenceText(s), "+3.5 dB (+2.0 to +5.0)"_qs);
    s.receivers = 9;
    EXPECT_EQ(differenceText(s), "too few"_qs);
    s.receivers = 10;
    s.pairs = 29;
    EXPECT_EQ(differenceText(s), "too few"_qs);
    EXPECT_EQ(differenceText(DifferenceSummary{}), QString());
    EXPECT_EQ(sectorOf(337.5), 0);
    EXPECT_EQ(sectorOf(22.49), 0);
    EXPECT_EQ(sectorOf(22.5), 1);
    EXPECT_EQ(sectorOf(270), 6);
    EXPECT_EQ(sectorName(6), "W"_qs);
    EXPECT_EQ(ringOf(999.9), 0);
    EXPECT_EQ(ringOf(1000), 1);
    EXPECT_EQ(ringOf(8000), 3);
}

TEST(CompareData, WiderWindowsPairMoreAndANewerQuestionStopsTheWork)
{
    // The fixture's reports are one cycle apart receiver after receiver, so a
    // window of minutes pairs across cycles too, and never a report twice.
    const CompareData minutes = prepared(PairingWindow::ThirtyMinutes);
    EXPECT_GE(minutes.total.difference.pairs, 107);
    EXPECT_EQ(qint64(minutes.pairs.size()), minutes.total.difference.pairs);
    // An export keeps the pairs and works out no interval.
    const CompareData exported = prepareComparison(fixture(), PairingWindow::SameCycle, std::nullopt, KeepPairs::ForExport);
    EXPECT_EQ(exported.pairs.size(), 109u);
    EXPECT_FALSE(exported.total.difference.interval.has_value());
    CancelFlag newer;
    newer.cancel();
    EXPECT_THROW(prepareComparison(fixture(), PairingWindow::SameCycle, std::nullopt, KeepPairs::No, &newer),
                 QueryCancelled);
}

TEST(CompareData, PairsExportWithTheReachQuoting)
{
    auto reports = std::make_shared<ComparisonReports>();
    reports->receivers = {"=HYPERLINK(\"x\")"_qs};
    reports->locators = {"FN31pr"_qs};
    reports->bands = {"20m"_qs};
    reports->modes = {"FT8"_qs};
    reports->ofOperator.push_back({1796637615, 0, 0, 0, 0, -3});
    reports->ofReference.push_back({1796637616, 0, 0, 0, 0, -7});
    const CompareData data = prepareComparison(reports, PairingWindow::SameCycle, locatorPosition(u"IO91wm"));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_EQ(writePairsCsv(buffer, data), 1);
    const QList<QByteArray> lines = buffer.data().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0] + '\n', pairsCsvHeader());
    EXPECT_TRUE(lines[1].endsWith("20m,FT8,2026-12-07T10:00:15Z,2026-12-07T10:00:16Z,-3,-7,4,5429.6,288.6\r"))
        << lines[1].constData();
    EXPECT_TRUE(lines[1].startsWith(QByteArray(csvField("=HYPERLINK(\"x\")"_qs).toUtf8()).append(",FN31pr,")));
}
