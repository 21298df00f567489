// A working folder the program cannot write to (also when the tests run as
// root: see ReadOnlyFolder). Each failure is told once, in the log and in a
// box; the histories stay as they were; and once the folder is writable
// again the next query brings every report that was missed.
#include "readonlyfolder.h"
#include "servedanswers.h"

#include "../networkfixture.h"

#include "base/filenames.h"

#include <QDir>
#include <QFrame>
#include <QLineEdit>

namespace {

QByteArray bytesOf(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

} // namespace

class ReadOnlyFolderTest : public NetworkTest
{
protected:
    void SetUp() override
    {
        NetworkTest::SetUp();
        // The settings store stays outside, in the folder above.
        ASSERT_TRUE(QDir().mkdir("work"_qs));
        ASSERT_TRUE(QDir::setCurrent(path("work"_qs)));
    }

    ServedAnswers service{server};
};

TEST_F(ReadOnlyFolderTest, NeitherAnswerNorPassChangesTheHistoryAndNothingIsLost)
{
    TForm1 &f = online();
    f.runTick();
    settle();
    writeBytes(files::kLog, ""); // the log is there to be appended to
    const QByteArray reports = bytesOf(files::kReports);
    const QByteArray calls = bytesOf(files::kCalls);
    const QByteArray grids = bytesOf(files::kGrids);
    const QByteArray response = bytesOf(files::kResponse);
    ASSERT_NE(reports, QByteArray("<absent>"));
    const QString seqNo = f.state.LastSeqNo;
    {
        ReadOnlyFolder readOnly(path("work"_qs));
        if (readOnly.writable())
            GTEST_SKIP() << "the folder cannot be made read-only here";

        // The answer cannot be stored.
        Clock::advance(301);
        f.runTick();
        settle();
        EXPECT_EQ(service.queries(), 2);
        EXPECT_EQ(dialogTexts(), QStringList{"Web error: TavikReporter site not accessible"_qs});
        EXPECT_TRUE(readBytes(files::kLog).contains("Exception error: Cannot create file \"TavikRep.txt\""))
            << readBytes(files::kLog).constData();

        // The stored answer, folded in again as after a start, cannot be written:
        // one box and one log line, however many ticks the fault lasts.
        dialogs.clear();
        f.state.ResponseStamp = 0;
        for (int i = 0; i < 5; ++i)
            f.runTick();
        ASSERT_EQ(dialogs.size(), 1u);
        EXPECT_EQ(dialogs.front().kind, Dialogs::Kind::Error);
        EXPECT_TRUE(dialogs.front().text.startsWith("Cannot create file \"Tavikgrids.txt\""_qs))
            << dialogs.front().text.toStdString();
        EXPECT_EQ(readBytes(files::kLog).count("Error: Cannot create file \"Tavikgrids.txt\""), 1);
        EXPECT_EQ(f.state.LastSeqNo, seqNo);
        EXPECT_EQ(f.state.ResponseStamp, 0);

        EXPECT_EQ(bytesOf(files::kReports), reports);
        EXPECT_EQ(bytesOf(files::kCalls), calls);
        EXPECT_EQ(bytesOf(files::kGrids), grids);
        EXPECT_EQ(bytesOf(files::kResponse), response);
    }

    // Writable again: the next query asks from the last sequence number that
    // reached the history, so the reports of the lost answer come with it.
    Clock::advance(301);
    f.runTick();
    settle();
    ASSERT_EQ(service.sequenceNumbersAsked().size(), 3);
    EXPECT_EQ(service.sequenceNumbersAsked().at(2), seqNo);
    EXPECT_EQ(served::checkReportHistory(served::fileLines(files::kReports),
                                         service.reports()),
              QString());
}

TEST_F(ReadOnlyFolderTest, ACallsignEnteredAtThePromptWaitsUntilItCanBeStored)
{
    TForm1 &f = create();
    f.runTick();
    ASSERT_FALSE(f.Panel1->isHidden());
    ReadOnlyFolder readOnly(path("work"_qs));
    if (readOnly.writable())
        GTEST_SKIP() << "the folder cannot be made read-only here";
    f.Edit4->setText("G4XYZ"_qs);
    f.Edit4KeyPress(u'\r');
    f.runTick();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs.front().text.startsWith("Cannot create file \"TavikRepView.ini\""_qs));
    EXPECT_FALSE(f.Panel1->isHidden());
    EXPECT_EQ(f.Edit4->text(), "G4XYZ"_qs);
    EXPECT_FALSE(QFile::exists(files::kCallsignIni));
}

// A stored answer that cannot be read at start: the activation goes on to
// its end, the timer runs, and the answer is read once it can be.
TEST_F(ReadOnlyFolderTest, AnUnreadableAnswerAtStartStopsNeitherTheTimerNorTheBuildCheck)
{
    writeBytes(files::kResponse, "<receptionReports>\r\n<lastSequenceNumber value=\"42\"/>\r\n</receptionReports>\r\n");
    writeBytes(files::kCallsignIni, "MyCall=G4XYZ\r\n");
    TForm1 &f = create();
    {
        UnreadableFile unreadable(files::kResponse);
        if (unreadable.readable())
            GTEST_SKIP() << "the file cannot be made unreadable here";
        f.store().WriteString("Orlix"_qs, "TavikViewLastVers"_qs, "older"_qs);
        f.runActivation();
        EXPECT_TRUE(f.Timer1->isActive());
        EXPECT_EQ(f.state.ResponseStamp, 0);
        EXPECT_EQ(f.state.Callsign, "G4XYZ"_qs);
        EXPECT_FALSE(readBytes(storeFile()).contains("TavikViewLastVers=older"));
        ASSERT_EQ(dialogs.size(), 1u);
        EXPECT_EQ(dialogs.front().kind, Dialogs::Kind::Error);
        EXPECT_TRUE(dialogs.front().text.contains(files::kResponse)) << dialogs.front().text.toStdString();
    }
}
