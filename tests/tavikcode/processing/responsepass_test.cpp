#include "processing/responsepass.h"

#include "base/filenames.h"
#include "processing/reportline.h"
#include "base/tavikerror.h"

#include "../../testsupport.h"

#include <QDir>

namespace {

const QString kOperator = QStringLiteral("G4XYZ");

QString reception(const QString &sender, const QString &receiver, qint64 seconds, const QString &snr = "-5"_qs)
{
    return QStringLiteral("<receptionReport receiverCallsign=\"%1\" receiverLocator=\"JO62qm\" "
                          "senderCallsign=\"%2\" frequency=\"14074000\" flowStartSeconds=\"%3\" mode=\"FT8\" "
                          "receiverDXCC=\"Fed. Rep. of Germany\" sNR=\"%4\" />")
        .arg(receiver, sender, QString::number(seconds), snr);
}

QString activeReceiver(const QString &callsign, const QString &locator)
{
    return QStringLiteral("<activeReceiver callsign=\"%1\" locator=\"%2\" frequency=\"7074000\" />")
        .arg(callsign, locator);
}

TextLines answer(const QStringList &body)
{
    TextLines lines;
    lines.setLines(QStringList{"<receptionReports>"_qs} + body + QStringList{"</receptionReports>"_qs});
    return lines;
}

QStringList fileLines(const QString &name)
{
    TextLines list;
    list.loadFromFile(name);
    return list.lines();
}

void writeLines(const QString &name, const QStringList &lines)
{
    TextLines list;
    list.setLines(lines);
    list.saveToFile(name);
}

// 00:00 UTC of a day in December 2026 plus some seconds.
qint64 december(int day, qint64 seconds = 0)
{
    return 1796601600 + (day - 7) * 86400 + seconds;
}

} // namespace

class ResponsePassTest : public InTempFolder
{
protected:
    ResponsePassResult run(const TextLines &lines, const QString &callsign = kOperator)
    {
        return runResponsePass(lines, callsign, grids);
    }
    TextLines grids{TextLines::Sorted};
};

TEST_F(ResponsePassTest, FirstAnswerOfTwoReportsIsStored)
{
    run(answer({reception(kOperator, "DL1ABC"_qs, december(1, 60)), reception(kOperator, "K1JT"_qs, december(2))}));
    EXPECT_EQ(fileLines(files::kReports), (QStringList{FormatReport(reception(kOperator, "K1JT"_qs, december(2))),
                                                       FormatReport(reception(kOperator, "DL1ABC"_qs, december(1, 60)))}));
}

TEST_F(ResponsePassTest, SenderMatchesByCaseSensitivePrefix)
{
    run(answer({reception("G4XYZ/P"_qs, "A1"_qs, 100), reception("g4xyz"_qs, "A2"_qs, 200),
                reception("XG4XYZ"_qs, "A3"_qs, 300), reception("G4XY"_qs, "A4"_qs, 400),
                reception(kOperator, "A5"_qs, 500)}));
    const QStringList reports = fileLines(files::kReports);
    ASSERT_EQ(reports.size(), 2);
    EXPECT_TRUE(reports.at(0).contains("A5"_qs));
    EXPECT_TRUE(reports.at(1).contains("A1"_qs));
}

TEST_F(ResponsePassTest, LastLineIsNeverExamined)
{
    TextLines lines;
    lines.setLines({activeReceiver("DL1ABC"_qs, "JO62qm"_qs), "<lastSequenceNumber value=\"42\"/>"_qs});
    const ResponsePassResult result = run(lines);
    EXPECT_FALSE(result.sequenceNumberSeen);
    EXPECT_EQ(fileLines(files::kCalls), QStringList{"DL1ABC"_qs});

    lines.setLines({reception(kOperator, "DL1ABC"_qs, 0)});
    run(lines);
    EXPECT_FALSE(QFile::exists(files::kReports));
}

TEST_F(ResponsePassTest, SequenceNumberIsReadFromItsTwentyCharacterWindow)
{
    struct Case { QString line; bool seen; QString value; };
    const Case cases[] = {
        {"<lastSequenceNumber value=\"1234567890123456789\"/>"_qs, true, "1234567890123456789"_qs},
        {"<lastSequenceNumber value=\"12345678901234567890\"/>"_qs, true, ""_qs},
        {"<lastSequenceNumber value=\" 28457121367 \"/>"_qs, true, "28457121367"_qs},
        {"<lastSequenceNumber value=\"\"/>"_qs, true, ""_qs},
        // Not in double quotes: no number, the last one stays in force.
        {"<lastSequenceNumber value=28457121367/>"_qs, false, ""_qs},
        {"<lastSequenceNumber value='28457121367'/>"_qs, false, ""_qs},
    };
    for (const Case &c : cases) {
        const ResponsePassResult result = run(answer({c.line}));
        EXPECT_EQ(result.sequenceNumberSeen, c.seen) << c.line.toStdString();
        EXPECT_EQ(result.lastSeqNo, c.value) << c.line.toStdString();
    }
    EXPECT_EQ(run(answer({"<lastSequenceNumber value=\"1\"/>"_qs, "<lastSequenceNumber value=\"2\"/>"_qs})).lastSeqNo,
              "2"_qs);
}

TEST_F(ResponsePassTest, ReceiversAreAddedOnceIgnoringCase)
{
    writeLines(files::kCalls, {"DL1ABC"_qs, "K1JT"_qs});
    run(answer({activeReceiver("dl1abc"_qs, "JO62qm"_qs), activeReceiver("G4ABC"_qs, "IO91wm"_qs),
                "<activeReceiver callsign=\"VK2XYZ\" />"_qs}));
    EXPECT_EQ(fileLines(files::kCalls), (QStringList{"DL1ABC"_qs, "G4ABC"_qs, "K1JT"_qs, "VK2XYZ"_qs}));
}

TEST_F(ResponsePassTest, MovedReceiverGetsASecondGridEntryButNotForTheSameSixCharacters)
{
    writeLines(files::kGrids, {"DL1ABC,JO62qm"_qs});
    grids.add("OLD,AA00aa"_qs); // replaced by the file
    run(answer({activeReceiver("DL1ABC"_qs, "JO62qm45"_qs), activeReceiver("dl1abc"_qs, "JO62QM"_qs),
                activeReceiver("DL1ABC"_qs, "JO63ab"_qs), activeReceiver("K1JT"_qs, "FN"_qs),
                "<activeReceiver callsign=\"VK2XYZ\" />"_qs}));
    const QStringList expected = {"DL1ABC,JO62qm"_qs, "DL1ABC,JO63ab"_qs, "K1JT,FN"_qs};
    EXPECT_EQ(fileLines(files::kGrids), expected);
    EXPECT_EQ(grids.lines(), expected);
}

TEST_F(ResponsePassTest, GridsFileIsReadAgainByEveryPass)
{
    run(answer({activeReceiver("DL1ABC"_qs, "JO62qm"_qs), activeReceiver("K1JT"_qs, "FN20"_qs)}));
    run(answer({}));
    EXPECT_EQ(grids.lines(), (QStringList{"DL1ABC,JO62qm"_qs, "K1JT,FN20"_qs}));

    writeLines(files::kGrids, {"K1JT,FN20"_qs}); // changed between two passes
    run(answer({activeReceiver("G4ABC"_qs, "IO91"_qs)}));
    EXPECT_EQ(fileLines(files::kGrids), (QStringList{"G4ABC,IO91"_qs, "K1JT,FN20"_qs}));
}

TEST_F(ResponsePassTest, GridListIsKeptAndWrittenWhenTheFileIsMissing)
{
    grids.add("K1JT,FN20"_qs);
    const ResponsePassResult result = run(answer({}));
    EXPECT_FALSE(result.sequenceNumberSeen);
    EXPECT_EQ(fileLines(files::kGrids), QStringList{"K1JT,FN20"_qs});
    EXPECT_EQ(readBytes(files::kCalls), QByteArray());
    EXPECT_FALSE(QFile::exists(files::kReports));
}

TEST(PruneReports, RemovesEveryDuplicateAndKeepsThreeHundred)
{
    TextLines reports;
    reports.setLines({"c"_qs, "b"_qs, "b"_qs, "b"_qs, "a"_qs});
    PruneReports(reports);
    EXPECT_EQ(reports.lines(), (QStringList{"c"_qs, "b"_qs, "a"_qs}));

    QStringList many;
    for (int i = 305; i > 0; --i)
        many << QString::number(i).rightJustified(3, u'0');
    reports.setLines(many);
    PruneReports(reports);
    EXPECT_EQ(reports.count(), 300);
    EXPECT_EQ(reports.lines().constLast(), "006"_qs);
}

TEST_F(ResponsePassTest, ThreeIdenticalReportsLeaveOneWhereverTheyStand)
{
    const QString report = reception(kOperator, "DL1ABC"_qs, december(3));
    writeLines(files::kReports, {FormatReport(report), FormatReport(reception(kOperator, "K1JT"_qs, december(4)))});
    run(answer({report, reception(kOperator, "VK2XYZ"_qs, december(2)), report}));
    const QStringList lines = fileLines(files::kReports);
    EXPECT_EQ(lines.size(), 3);
    EXPECT_EQ(lines.count(FormatReport(report)), 1);
}

TEST_F(ResponsePassTest, NewReportsOfTheFirstOfAMonthAreKeptInAFullHistory)
{
    // 300 reports of 2 to 30 November 2026, newest first.
    QStringList history;
    for (int i = 0; i < 300; ++i)
        history << FormatReport(reception(kOperator, "N"_qs + QString::number(i), december(1) - 3600 - i * 8200));
    ASSERT_TRUE(history.constLast().startsWith("02Nov2026"_qs));
    ASSERT_TRUE(history.constFirst().startsWith("30Nov2026"_qs));
    writeLines(files::kReports, history);

    QStringList fresh;
    for (int i = 0; i < 5; ++i)
        fresh << reception(kOperator, "NEW"_qs + QString::number(i), december(1, 60 + i));
    run(answer(fresh));

    const QStringList lines = fileLines(files::kReports);
    ASSERT_EQ(lines.size(), 300);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(lines.at(i), FormatReport(fresh.at(4 - i)));
    EXPECT_EQ(lines.mid(5), history.mid(0, 295));
}

TEST_F(ResponsePassTest, ShortHistoryIsSortedAndSavedByAPassWithoutReports)
{
    const QStringList history = {FormatReport(reception(kOperator, "A1"_qs, december(1))),
                                 FormatReport(reception(kOperator, "A2"_qs, december(30)))};
    writeLines(files::kReports, history);
    run(TextLines());
    EXPECT_EQ(fileLines(files::kReports), (QStringList{history.at(1), history.at(0)}));
}

TEST_F(ResponsePassTest, FileThatCannotBeWrittenEndsThePassAndKeepsWhatWasWritten)
{
    ASSERT_TRUE(QDir().mkdir(files::kCalls));
    EXPECT_THROW(run(answer({reception(kOperator, "DL1ABC"_qs, 1000), activeReceiver("K1JT"_qs, "FN20"_qs)})),
                 TavikError);
    EXPECT_EQ(fileLines(files::kGrids), QStringList{"K1JT,FN20"_qs});
    EXPECT_EQ(fileLines(files::kReports).size(), 1);
}

TEST_F(ResponsePassTest, RealisticAnswerGivesTheExpectedHistoryFiles)
{
    const QDir data(QStringLiteral(TAVIK_TEST_DATA "/processing"));
    for (const QString &name : {files::kReports, files::kCalls, files::kGrids})
        ASSERT_TRUE(QFile::copy(data.filePath("before/"_qs + name), name)) << name.toStdString();
    TextLines response;
    response.loadFromFile(data.filePath("answer.txt"_qs));

    const ResponsePassResult result = run(response);

    EXPECT_TRUE(result.sequenceNumberSeen);
    EXPECT_EQ(result.lastSeqNo + u'\n', QString::fromUtf8(readBytes(data.filePath("after/sequence.txt"_qs))));
    for (const QString &name : {files::kReports, files::kCalls, files::kGrids})
        EXPECT_EQ(readBytes(name), readBytes(data.filePath("after/"_qs + name))) << name.toStdString();
}

TEST_F(ResponsePassTest, TheResultNamesTheLinesTakenForReportsAndReceivers)
{
    const QString mine = reception("G4XYZ/P"_qs, "DL1ABC"_qs, december(1));
    const QString other = reception("M0ABC"_qs, "DL1ABC"_qs, december(1));
    const QString receiver = activeReceiver("K1JT"_qs, "FN20"_qs);
    TextLines lines;
    lines.setLines({mine, other, receiver, "<activeReceiver callsign=\"VK2XYZ\" />"_qs, mine});
    const ResponsePassResult result = run(lines); // the last line is never examined
    ASSERT_EQ(result.reports.size(), 1);
    EXPECT_EQ(result.reports[0].sender, "G4XYZ/P"_qs);
    EXPECT_EQ(result.reports[0].receiver, "DL1ABC"_qs);
    ASSERT_EQ(result.receivers.size(), 2);
    EXPECT_EQ(result.receivers[0].callsign, "K1JT"_qs);
    EXPECT_EQ(result.receivers[0].locator, "FN20"_qs);
    EXPECT_EQ(result.receivers[1].callsign, "VK2XYZ"_qs);
    EXPECT_EQ(result.receivers[1].locator, QString());
}
