#include "processing/reportline.h"

#include "../../testsupport.h"

namespace {

const QString kRealistic = QStringLiteral(
    "<receptionReport receiverCallsign=\"DL1ABC\" receiverLocator=\"JO62qm\" senderCallsign=\"G4XYZ\" "
    "senderLocator=\"IO91\" frequency=\"14075123\" flowStartSeconds=\"1796651112\" mode=\"FT8\" "
    "isSender=\"1\" receiverDXCC=\"Fed. Rep. of Germany\" receiverDXCCCode=\"DL\" sNR=\"-12\" />");

QString attribute(const QString &name, const QString &value)
{
    return name + u"=\"" + value + u"\" ";
}

} // namespace

using ReportLineTest = InTempFolder;

TEST(ReadAttribute, ReadsValuesWhoseClosingQuoteLiesWithinFiftyCharacters)
{
    const QString search = QStringLiteral("receiverCallsign=\""); // 18 characters: values up to 31
    EXPECT_EQ(ReadAttribute("<r receiverCallsign=\""_qs + QString(31, u'A') + u"\" />", search), QString(31, u'A'));
    EXPECT_EQ(ReadAttribute("<r receiverCallsign=\""_qs + QString(32, u'A') + u"\" />", search), QString());
    EXPECT_EQ(ReadAttribute("<r receiverCallsign=\"DL1ABC"_qs, search), QString()); // unclosed
    EXPECT_EQ(ReadAttribute("<r receiverCallsign=\"\" />"_qs, search), QString());
    EXPECT_EQ(ReadAttribute("<r callsign=\"X\" />"_qs, search), QString());
    // Values are taken as they stand: nothing decoded, trimmed or changed in case.
    EXPECT_EQ(ReadAttribute("a mode=\" Ft&amp;8 \" mode=\"CW\""_qs, "mode=\""_qs), " Ft&amp;8 "_qs);
}

TEST(FindSearchText, FindsWhatIndexOfFinds)
{
    const QString line = "<a x=\"1\" mode=\"FT8\" xmode=\"\" senderCallsign=\"G4XYZ/P\" <b v=2 v=\""_qs;
    const QStringList needles = {"mode=\""_qs, "xmode=\""_qs, "senderCallsign=\"G4XYZ"_qs, "senderCallsign=\"G4XYZA"_qs,
                                 "v=\""_qs, "<b v="_qs, "<a"_qs, "=\""_qs, "\""_qs, line, line + u'x', ""_qs};
    for (const QString &needle : needles)
        EXPECT_EQ(findSearchText(line, needle), needle.isEmpty() ? -1 : line.indexOf(needle)) << needle.toStdString();
    EXPECT_EQ(findSearchText(u"", u"a="), -1);
}

TEST(ReadAttribute, FirstOccurrenceCountsAlsoAtTheTailOfALongerName)
{
    EXPECT_EQ(ReadAttribute(kRealistic, "DXCC=\""_qs), "Fed. Rep. of Germany"_qs);
    EXPECT_EQ(ReadAttribute("<r senderDXCC=\"England\" DXCC=\"Wales\" />"_qs, "DXCC=\""_qs), "England"_qs);
}

TEST_F(ReportLineTest, FlowTimeIsUtcWithTheDateAloneAtMidnight)
{
    struct Case { const char *seconds; const char *text; };
    const Case cases[] = {
        {"0", "01Jan1970"},
        {"1796651112", "07Dec2026 13:45:12"},
        {"1796601600", "07Dec2026"},
        {"1796601601", "07Dec2026 00:00:01"},
        {"-1", "31Dec1969 23:59:59"},
        {"+60", "01Jan1970 00:01:00"},
        {"-62135596800", "01Jan0001"},
        {"253402300799", "31Dec9999 23:59:59"},
        // Not a whole number, or outside the years 1 to 9999: no time at all.
        {"-62135596801", ""},
        {"253402300800", ""},
        {"99999999999999999999", ""},
        {"1796651112.5", ""},
        {"17966x", ""},
        {" 1796651112", ""},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FormatFlowTime(QString::fromUtf8(c.seconds)), QString::fromUtf8(c.text)) << c.seconds;
}

TEST_F(ReportLineTest, FlowTimeUsesTheRegionalMonthNamesAndTimeSeparator)
{
    RegionalSettings s = regionalFromLocale(QLocale::c());
    s.shortMonthNames[11] = "Dez"_qs;
    s.timeSeparator = "."_qs;
    setRegional(s);
    EXPECT_EQ(FormatFlowTime("1796651112"_qs), "07Dez2026 13.45.12"_qs);
}

TEST(FrequencyToBand, FollowsTheBandTableByWholeMegahertz)
{
    struct Case { const char *hertz; const char *band; };
    const Case cases[] = {
        {"136000", "630m"},     {"475000", "630m"},     {"1999999", "160m"},    {"2000000", "0m"},
        {"3573000", "80m"},     {"5357000", "60m"},     {"7074000", "40m"},     {"10136000", "30m"},
        {"14074000", "20m"},    {"18100000", "17m"},    {"21074000", "15m"},    {"24915000", "12m"},
        {"28000000", "10m"},    {"30999999", "10m"},    {"31000000", "0m"},     {"48999999", "0m"},
        {"49000000", "6m"},     {"60999999", "6m"},     {"70000000", "0m"},     {"144174000", "2m"},
        {"150999999", "2m"},    {"432065000", "70cm"},  {"1296000000", "23cm"}, {"2320000000", "13cm"},
        {"3400000000", "9cm"},  {"5760000000", "6cm"},  {"10368000000", "3cm"}, {"10500999999", "3cm"},
        {"10501000000", "0m"},  {"1e30", "0m"},         {"14074000.7", "20m"},  {"1.4074e7", "20m"},
        // A negative frequency is in no band, not even the one below 1 MHz.
        {"-1", "630m"},         {"-999999", "630m"},    {"-1000000", "0m"},     {"-14074000", "0m"},
        // Not a number: the empty field.
        {"", ""},               {"fourteen", ""},       {"14 074 000", ""},     {"14,074,000", ""},
        {"nan", ""},            {"inf", ""},            {"1e400", ""},          {"+-5", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FrequencyToBand(QString::fromUtf8(c.hertz)), QString::fromUtf8(c.band)) << c.hertz;
}

TEST(BandRank, FollowsTheBandTableWithUnknownBandsLast)
{
    EXPECT_EQ(bandRank(u"630m"), 0);
    EXPECT_LT(bandRank(u"160m"), bandRank(u"20m"));
    EXPECT_LT(bandRank(u"10m"), bandRank(u"6m"));
    EXPECT_LT(bandRank(u"6cm"), bandRank(u"3cm"));
    EXPECT_LT(bandRank(u"3cm"), bandRank(u"0m"));
    EXPECT_EQ(bandRank(u"0m"), bandRank(u"nonsense"));
}

TEST_F(ReportLineTest, RealisticReportGivesTheExactLine)
{
    EXPECT_EQ(FormatReport(kRealistic),
              "07Dec2026 13:45:12,  DL1ABC,    \t-12,\t20m, FT8, JO62, Fed. Rep. of Germany, "_qs);
}

TEST_F(ReportLineTest, EveryEmptyValueGivesACommaAndABlank)
{
    EXPECT_EQ(FormatReport("<receptionReport />"_qs), ", , , , , , , "_qs);
    EXPECT_EQ(FormatReport(QString()), ", , , , , , , "_qs);
}

TEST_F(ReportLineTest, SignalReportGetsAPlusUnlessItHoldsAMinus)
{
    struct Case { const char *snr; const char *field; };
    const Case cases[] = {{"0", "+0,\t"}, {"+5", "++5,\t"}, {"-7", "-7,\t"}, {"3-", "3-,\t"}, {"", ", "}};
    for (const Case &c : cases) {
        const QString line = attribute("sNR"_qs, QString::fromUtf8(c.snr));
        EXPECT_EQ(FormatReport(line), ", , "_qs + QString::fromUtf8(c.field) + ", , , , "_qs) << c.snr;
    }
}

TEST_F(ReportLineTest, FieldsEndAsTheViewsCutThem)
{
    const QString line = attribute("flowStartSeconds"_qs, "0"_qs) + attribute("receiverLocator"_qs, "JO"_qs)
        + attribute("mode"_qs, "WSPR"_qs) + attribute("frequency"_qs, "474200"_qs);
    EXPECT_EQ(FormatReport(line), "01Jan1970,  , , 630m, WSPR, JO, , "_qs);
}

TEST_F(ReportLineTest, TimeOrFrequencyThatIsNoNumberGivesTheEmptyField)
{
    const QString line = attribute("receiverCallsign"_qs, "K1JT"_qs) + attribute("flowStartSeconds"_qs, "soon"_qs)
        + attribute("frequency"_qs, "14.074 MHz"_qs) + attribute("sNR"_qs, "3"_qs)
        + attribute("mode"_qs, "FT4"_qs) + attribute("DXCC"_qs, "United States"_qs);
    EXPECT_EQ(FormatReport(line), ", K1JT,    \t+3,\t, FT4, , United States, "_qs);
}
