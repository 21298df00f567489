#include "geo/locator.h"
#include "reach/reportcsv.h"

#include "../../testsupport.h"
#include "base/tavikerror.h"

#include <QBuffer>

namespace {

ArchivedReport report()
{
    ArchivedReport r;
    r.flowStartSeconds = 1796637600; // 2026-12-07 10:00 UTC
    r.sender = "G4XYZ"_qs;
    r.receiver = "W1JKL"_qs;
    r.locator = "FN31pr"_qs;
    r.frequency = 14074512;
    r.band = "20m"_qs;
    r.mode = "FT8"_qs;
    r.snr = -12;
    r.snrText = "-12"_qs;
    r.dxcc = "United States"_qs;
    r.storedAt = 1796637660;
    return r;
}

} // namespace

TEST(ReportCsv, QuotesOnlyWhatNeedsIt)
{
    struct Case { const char *text, *field; };
    const Case cases[] = {
        {"Trinidad & Tobago, \"T&amp;T\"", "\"Trinidad & Tobago, \"\"T&amp;T\"\"\""},
        {"Bosnia &amp; Herzegovina", "Bosnia &amp; Herzegovina"},
        {"a\r\nb", "\"a\r\nb\""},
        {"\"", "\"\"\"\""},
        {" spaced ", " spaced "},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(csvField(QString::fromUtf8(c.text)), QString::fromUtf8(c.field)) << c.text;
}

TEST(ReportCsv, ARowHoldsEveryFieldAsStoredThenDistanceAndBearing)
{
    ArchivedReport r = report();
    r.dxcc = "Trinidad & Tobago, \"T&amp;T\""_qs;
    EXPECT_EQ(reportCsvHeader(), QByteArray("flow_start_seconds,flow_start_utc,sender,receiver,locator,frequency_hz,"
                                            "band,mode,snr,snr_text,dxcc,stored_at_seconds,distance_km,bearing_deg\r\n"));
    EXPECT_EQ(reportCsvRow(r, GeoPath{5429.609736, 288.61090579}),
              QByteArray("1796637600,2026-12-07T10:00:00Z,G4XYZ,W1JKL,FN31pr,14074512,20m,FT8,-12,-12,"
                         "\"Trinidad & Tobago, \"\"T&amp;T\"\"\",1796637660,5429.6,288.6\r\n"));

    // No number as frequency, a signal report that is no whole number, no locator.
    r = report();
    r.frequency.reset();
    r.snr.reset();
    r.snrText = "-1.5"_qs;
    r.locator.clear();
    r.dxcc = "Cura\u00E7ao"_qs;
    EXPECT_EQ(reportCsvRow(r, std::nullopt),
              QByteArray("1796637600,2026-12-07T10:00:00Z,G4XYZ,W1JKL,,,20m,FT8,,-1.5,Cura\xC3\xA7" "ao,1796637660,,\r\n"));
}

TEST(ReportCsv, AReceiverCalledLikeAFormulaIsWrittenAsText)
{
    ArchivedReport r = report();
    r.receiver = "=HYPERLINK(\"http://x\",\"y\")"_qs;
    r.mode = "@FT8"_qs;
    EXPECT_EQ(reportCsvRow(r, std::nullopt),
              QByteArray("1796637600,2026-12-07T10:00:00Z,G4XYZ,\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\",FN31pr,"
                         "14074512,20m,'@FT8,-12,-12,United States,1796637660,,\r\n"));
}

TEST(ReportCsv, TheWriterWorksOutThePathOfEachLocator)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    ReportCsvWriter writer(buffer, locatorPosition(u"IO91wm"));
    writer.write(report());
    ArchivedReport unplaced = report();
    unplaced.locator = "XX99"_qs;
    writer.write(unplaced);
    writer.write(report());
    EXPECT_EQ(writer.rows(), 3);

    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 5); // header, three rows, nothing after the last CR LF
    // GeodSolve -i: 51.520833333333336 -0.125 41.72916666666667 -72.70833333333333 -> -71.389 ... 5429609.736
    EXPECT_TRUE(lines[1].endsWith(",5429.6,288.6\r")) << lines[1].constData();
    EXPECT_TRUE(lines[2].endsWith(",1796637660,,\r")) << lines[2].constData();
    EXPECT_EQ(lines[3], lines[1]);
    EXPECT_TRUE(lines[4].isEmpty());
}

TEST(ReportCsv, ADeviceThatTakesNothingIsAnError)
{
    QBuffer closed;
    EXPECT_THROW(ReportCsvWriter(closed, std::nullopt), TavikError);
}
