#include "archive/archiverecords.h"

#include "processing/reportline.h"
#include "base/regional.h"

#include "../../testsupport.h"

namespace {

// 13:45:12 UTC on 7 December 2026.
constexpr qint64 kFlow = 1796651112;

QString served(const QString &attributes)
{
    return "<receptionReport "_qs + attributes + " />"_qs;
}

// What the pass reads of a line, made a record.
std::optional<ArchivedReport> fromLine(const QString &line, qint64 storedAt)
{
    return reportFromAnswer(answerReportOf(line), storedAt);
}

std::optional<ReceiverSighting> receiverOf(const QString &line, qint64 seenAt)
{
    return receiverFromAnswer(answerReceiverOf(LineAttributes(line)), seenAt);
}

} // namespace

TEST(ArchiveRecords, AServedReportKeepsEveryFieldAsServed)
{
    const QString line = served(
        "receiverCallsign=\"DL1ABC/P\" receiverLocator=\"JO62qm45ab99\" senderCallsign=\"G4XYZ/M\" "
        "senderLocator=\"IO91wm\" frequency=\"14074123\" flowStartSeconds=\"1796651112\" mode=\"FT8\" "
        "receiverDXCC=\"Fed. Rep. of Germany\" receiverDXCCCode=\"DL\" sNR=\"-12\""_qs);
    const std::optional<ArchivedReport> r = fromLine(line, 1796700000);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->flowStartSeconds, kFlow);
    EXPECT_EQ(r->sender, "G4XYZ/M"_qs);
    EXPECT_EQ(r->receiver, "DL1ABC/P"_qs);
    EXPECT_EQ(r->locator, "JO62qm45ab"_qs); // ten characters at most
    EXPECT_EQ(r->frequency, 14074123);
    EXPECT_EQ(r->band, "20m"_qs);
    EXPECT_EQ(r->mode, "FT8"_qs);
    EXPECT_EQ(r->snr, -12);
    EXPECT_EQ(r->snrText, "-12"_qs);
    EXPECT_EQ(r->dxcc, "Fed. Rep. of Germany"_qs); // the first attribute whose name ends in DXCC
    EXPECT_EQ(r->storedAt, 1796700000);
}

TEST(ArchiveRecords, NumbersThatAreNoneAreKeptAsText)
{
    struct Case { QString frequency; std::optional<qint64> hertz; QString band; QString snr; std::optional<int> value; };
    const Case cases[] = {
        {"7074000"_qs, 7074000, "40m"_qs, "+3"_qs, 3},
        {"7074000.6"_qs, 7074001, "40m"_qs, "0"_qs, 0},
        {"1.4074e7"_qs, 14074000, "20m"_qs, "-0"_qs, 0},
        {"unknown"_qs, std::nullopt, QString(), "-12.5"_qs, std::nullopt},
        {""_qs, std::nullopt, QString(), ""_qs, std::nullopt},
        {"99999999999999999999999"_qs, std::nullopt, QString(), "99999999999"_qs, std::nullopt},
        {"-5"_qs, -5, "Other"_qs, "+-3"_qs, std::nullopt},
        {"-2000000"_qs, -2000000, "Other"_qs, "7"_qs, 7},
        // Named by the band plan, not by the history's whole megahertz ("630m", "0m", "0m", "0m").
        {"136000"_qs, 136000, "2200m"_qs, "1"_qs, 1},
        {"70154000"_qs, 70154000, "4m"_qs, "1"_qs, 1},
        {"40680000"_qs, 40680000, "8m"_qs, "1"_qs, 1},
        {"222100000"_qs, 222100000, "1.25m"_qs, "1"_qs, 1},
        {"30500000"_qs, 30500000, "Other"_qs, "1"_qs, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.frequency.toStdString() + " / " + c.snr.toStdString());
        const std::optional<ArchivedReport> r = fromLine(
            served("senderCallsign=\"G4XYZ\" flowStartSeconds=\"100\" frequency=\""_qs + c.frequency + "\" sNR=\""_qs
                   + c.snr + "\""_qs),
            0);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->frequency, c.hertz);
        EXPECT_EQ(r->band, c.band);
        EXPECT_EQ(r->snr, c.value);
        EXPECT_EQ(r->snrText, c.snr);
    }
}

TEST(ArchiveRecords, AReportWithoutAWholeNumberOfSecondsIsNotArchived)
{
    for (const QString &seconds : {""_qs, "12.5"_qs, "soon"_qs, "99999999999999999999"_qs})
        EXPECT_FALSE(fromLine(served("senderCallsign=\"G4XYZ\" flowStartSeconds=\""_qs + seconds + "\""_qs), 0))
            << seconds.toStdString();
    EXPECT_EQ(fromLine(served("flowStartSeconds=\"-86400\""_qs), 0)->flowStartSeconds, -86400);
}

TEST(ArchiveRecords, AnActiveReceiverIsItsCallsignAndLocatorAsServed)
{
    const auto s = receiverOf(
        "<activeReceiver callsign=\"K1JT\" locator=\"FN20qi12AB34\" frequency=\"7074000\" />"_qs, 42);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->callsign, "K1JT"_qs);
    EXPECT_EQ(s->locator, "FN20qi12AB"_qs);
    EXPECT_EQ(s->seenAt, 42);
    EXPECT_EQ(receiverOf("<activeReceiver callsign=\"K1JT\" />"_qs, 0)->locator, QString());
    EXPECT_FALSE(receiverOf("<activeReceiver callsign=\"\" locator=\"FN20\" />"_qs, 0));
}

class HistoryLines : public InTempFolder
{
};

// The history lines of this program read back, in the regional settings
// that wrote them; the line is what FormatReport made of a served report.
TEST_F(HistoryLines, AreReadBackWithTheMonthNamesThatWroteThem)
{
    const QString line = served(
        "receiverCallsign=\"DL1ABC\" receiverLocator=\"JO62qm\" senderCallsign=\"G4XYZ\" frequency=\"14074000\" "
        "flowStartSeconds=\"%1\" mode=\"FT8\" receiverDXCC=\"Korea, Republic of\" sNR=\"%2\""_qs);
    struct Case { const char *locale; qint64 seconds; QString snr; QString snrText; std::optional<int> snrValue; };
    const Case cases[] = {
        {"C", kFlow, "-12"_qs, "-12"_qs, -12},
        {"C", 1796601600 /* midnight: the date alone */, "3"_qs, "3"_qs, 3},
        {"en_GB", 1788270312 /* 1 September 2026 */, "+3"_qs, "+3"_qs, 3},
        {"en_GB", kFlow, ""_qs, ""_qs, std::nullopt},
        {"de_DE", 1773000000 /* March: "März" */, "0"_qs, "0"_qs, 0},
    };
    for (const Case &c : cases) {
        setRegional(regionalFromLocale(QLocale(QString::fromLatin1(c.locale))));
        const QString history = FormatReport(line.arg(c.seconds).arg(c.snr));
        SCOPED_TRACE(history.toStdString());
        const std::optional<ArchivedReport> r = reportFromHistoryLine(history, "G4XYZ"_qs, 99);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->flowStartSeconds, c.seconds);
        EXPECT_EQ(r->sender, "G4XYZ"_qs);
        EXPECT_EQ(r->receiver, "DL1ABC"_qs);
        EXPECT_EQ(r->snrText, c.snrText); // the "+" the history put in front taken off once
        EXPECT_EQ(r->snr, c.snrValue);
        EXPECT_EQ(r->band, "20m"_qs);
        EXPECT_EQ(r->mode, "FT8"_qs);
        EXPECT_EQ(r->locator, "JO62"_qs);
        EXPECT_EQ(r->frequency, std::nullopt);
        EXPECT_EQ(r->dxcc, "Korea, Republic of"_qs);
        EXPECT_EQ(r->storedAt, 99);
    }
    // Written under other month names, the line reads as no date.
    setRegional(regionalFromLocale(QLocale(QStringLiteral("de_DE"))));
    EXPECT_FALSE(reportFromHistoryLine("07Dec2026 13:45:12,  DL1ABC,    \t-12,\t20m, FT8, JO62, Germany, "_qs,
                                       "G4XYZ"_qs, 0));
}

TEST_F(HistoryLines, EmptyFieldsStayEmptyAndStumpsAreRefused)
{
    const auto r = reportFromHistoryLine("07Dec2026 13:45:12,  , , , , , , "_qs, "G4XYZ"_qs, 0);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->flowStartSeconds, kFlow);
    for (const QString &field : {r->receiver, r->snrText, r->band, r->mode, r->locator, r->dxcc})
        EXPECT_EQ(field, QString());
    for (const QString &stump : {", , , , , , , "_qs, "07Dec2026 13:45:12,  DL1ABC, -12"_qs, ""_qs})
        EXPECT_FALSE(reportFromHistoryLine(stump, "G4XYZ"_qs, 0)) << stump.toStdString();
}

// The record finds each attribute as ReadAttribute does: the first
// occurrence of the search text (also as the tail of a longer name); it
// reads the value whole, up to its closing quote.
TEST(ArchiveRecords, AttributesAreFoundAsReadAttributeFindsThem)
{
    const QString lines[] = {
        served("flowStartSeconds=\"100\" myDXCC=\"first\" DXCC=\"second\" xmode=\"FT4\" mode=\"FT8\""_qs),
        served("flowStartSeconds=\"100\" note=\"see mode=\" mode=\"FT8\" receiverCallsign=\"K1JT\""_qs),
        "flowStartSeconds=\"100\"senderCallsign=\"G4XYZ\"frequency=\"7074000\"sNR=\"\"mode=FT8"_qs,
        served("flowStartSeconds=\"100\" flowStartSeconds=\"200\" senderCallsign=\"G4XYZ\" senderCallsign=\"M0X\""_qs),
    };
    for (const QString &line : lines) {
        SCOPED_TRACE(line.toStdString());
        const std::optional<ArchivedReport> r = fromLine(line, 0);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->flowStartSeconds, ReadAttribute(line, search::kFlowStartSeconds).toLongLong());
        EXPECT_EQ(r->sender, ReadAttribute(line, search::kSenderMarker));
        EXPECT_EQ(r->receiver, ReadAttribute(line, search::kReceiverCallsign));
        EXPECT_EQ(r->mode, ReadAttribute(line, search::kMode));
        EXPECT_EQ(r->snrText, ReadAttribute(line, search::kSnr));
        EXPECT_EQ(r->dxcc, ReadAttribute(line, search::kDxcc));
    }
}

// The history's 50-character window does not apply to the archive: a
// 32-character receiver was stored as no callsign and merged with others.
TEST(ArchiveRecords, EveryValueIsReadWhole)
{
    const QString receiver = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"_qs;
    const QString mode = QString(60, u'M');
    const QString line = served("flowStartSeconds=\"100\" receiverCallsign=\""_qs + receiver
                                + "\" senderCallsign=\"G4XYZ/"_qs + QString(50, u'P') + "\" receiverLocator=\""_qs
                                + QString(40, u'J') + "\" mode=\""_qs + mode + "\" DXCC=\""_qs + QString(300, u'D')
                                + "\" sNR=\"-3"_qs);
    ASSERT_EQ(ReadAttribute(line, search::kReceiverCallsign), QString()); // as the history reads it
    const std::optional<ArchivedReport> r = fromLine(line, 0);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->receiver, receiver);
    EXPECT_EQ(r->sender, "G4XYZ/"_qs + QString(50, u'P'));
    EXPECT_EQ(r->locator, QString(10, u'J'));
    EXPECT_EQ(r->mode, mode);
    EXPECT_EQ(r->dxcc, QString(256, u'D')); // a bound on what one value may store
    EXPECT_EQ(r->snrText, QString());       // no closing quote: no value
    const auto s = receiverOf(
        "<activeReceiver callsign=\""_qs + receiver + "\" locator=\"FN20qi\" />"_qs, 0);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->callsign, receiver);
    EXPECT_EQ(s->locator, "FN20qi"_qs);
}
