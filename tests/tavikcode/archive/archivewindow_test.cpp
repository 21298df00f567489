// The archive as the window uses it: opened by the activation, fed by every
// response pass, left alone by "Clr Files", its faults told once.
#include "archivefixture.h"

#include "../../formfixture.h"

#include "archive/archivestore.h"
#include "processing/reportline.h"
#include "base/textlines.h"

#include <QDir>
#include <QLineEdit>

using namespace archivetest;

namespace {

std::vector<std::pair<qint64, qint64>> seenTimes(const QString &fileName)
{
    SqliteDb db(fileName, SqliteDb::ReadOnly);
    Statement s(db, "SELECT first_seen, last_seen FROM receiver ORDER BY callsign, locator");
    std::vector<std::pair<qint64, qint64>> rows;
    while (s.step())
        rows.emplace_back(s.integer(0), s.integer(1));
    return rows;
}

void writeLines(const QString &name, const QStringList &lines)
{
    TextLines list;
    list.setLines(lines);
    list.saveToFile(name);
}

} // namespace

class ArchiveWindowTest : public FormTest
{
protected:
    TForm1 &operatorWindow()
    {
        writeBytes(files::kCallsignIni, "MyCall=G4XYZ\r\n");
        TForm1 &f = create();
        f.ReadCallsign();
        return f;
    }

    void settle()
    {
        form->archive().waitForIdle();
        QCoreApplication::sendPostedEvents();
    }

    QString archiveFile() const { return path(files::kArchive); }

    void answer(const QStringList &body)
    {
        form->state.ResponseLines.setLines(QStringList{"<receptionReports>"_qs} + body
                                           + QStringList{"</receptionReports>"_qs});
        form->ProcessResponse();
        settle();
    }
};

TEST_F(ArchiveWindowTest, TheActivationTakesTheOldHistoryBeforeTheBuildCheckClearsIt)
{
    const QStringList history = {FormatReport(reception("K1JT"_qs, kDay + 60)),
                                 FormatReport(reception("DL1ABC"_qs, kDay + 120, "7074000"_qs))};
    writeLines(files::kReports, history);
    TForm1 &f = operatorWindow();
    f.FormActivate(); // a first start: the build is new to the settings, so the history is cleared
    settle();
    EXPECT_FALSE(QFile::exists(files::kReports));
    const auto all = reportsIn(archiveFile());
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].receiver, "K1JT"_qs);
    EXPECT_EQ(all[0].sender, kOperator);
    EXPECT_EQ(all[0].frequency, std::nullopt);
    EXPECT_EQ(all[1].band, "40m"_qs);
    EXPECT_EQ(all[1].storedAt, Clock::nowUtc().toSecsSinceEpoch());
    EXPECT_TRUE(dialogs.empty()) << dialogTexts().join(u'|').toStdString();
}

TEST_F(ArchiveWindowTest, EveryReportOfThePassIsKeptWhateverTheHistoryCut)
{
    TForm1 &f = operatorWindow();
    f.openArchive();
    QStringList body;
    for (int i = 0; i < 305; ++i)
        body << reception("DL"_qs + QString::number(i), kDay + i * 60);
    // Another sender's report and a sender that only starts like the override do not count.
    body << reception("K1JT"_qs, kDay, "14074000"_qs, "M0ABC"_qs);
    answer(body);
    EXPECT_EQ(TextLines::splitLines(QString::fromUtf8(readBytes(files::kReports))).size(), 300);
    EXPECT_EQ(reportsIn(archiveFile()).size(), 305u);

    // The debug override stands in for the callsign, for the archive too.
    f.Edit5->setText("M0ABC"_qs);
    answer({reception("K1JT"_qs, kDay, "14074000"_qs, "M0ABC"_qs), reception("K2XX"_qs, kDay)});
    const auto all = reportsIn(archiveFile(), {kDay, kDay + 1});
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(std::count_if(all.begin(), all.end(),
                            [](const ArchivedReport &r) { return r.sender == "M0ABC"_qs && r.receiver == "K1JT"_qs; }),
              1);
}

TEST_F(ArchiveWindowTest, ReceiversAreSeenWhenTheAnswerArrivedNotWhenItIsProcessedAgain)
{
    TForm1 &f = operatorWindow();
    f.openArchive();
    writeBytes(files::kResponse, "<receptionReports>\n" + activeReceiver("K1JT"_qs, "FN20qi"_qs).toUtf8()
                                     + "\n</receptionReports>\n");
    const QDateTime arrived(QDate(2026, 12, 7), QTime(11, 55), Qt::UTC);
    {
        QFile file(files::kResponse);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(arrived, QFileDevice::FileModificationTime));
    }
    f.Timer1Timer();
    settle();
    // The next activation processes the stored answer again, an hour later.
    Clock::advance(3600);
    f.state.ResponseStamp = 0;
    f.Timer1Timer();
    settle();
    const std::vector<std::pair<qint64, qint64>> expected = {{arrived.toSecsSinceEpoch(), arrived.toSecsSinceEpoch()}};
    EXPECT_EQ(seenTimes(archiveFile()), expected);
}

TEST_F(ArchiveWindowTest, ClearFilesLeavesTheArchiveAlone)
{
    TForm1 &f = operatorWindow();
    f.openArchive();
    answer({reception("DL1ABC"_qs, kDay), reception("K1JT"_qs, kDay)});
    ASSERT_TRUE(QFile::exists(files::kReports));
    f.Button7Click();
    settle();
    EXPECT_FALSE(QFile::exists(files::kReports));
    EXPECT_EQ(reportsIn(archiveFile()).size(), 2u);
}

TEST_F(ArchiveWindowTest, AnArchiveThatCannotBeOpenedIsToldOnceAndTheHistoryGoesOn)
{
    TForm1 &f = operatorWindow();
    ASSERT_FALSE(f.state.LogEnabled);
    ASSERT_TRUE(QDir().mkdir(files::kArchive)); // a folder where the archive belongs
    f.openArchive();
    answer({reception("DL1ABC"_qs, kDay)});
    answer({reception("K1JT"_qs, kDay)});
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs.front().kind, Dialogs::Kind::Message);
    EXPECT_TRUE(dialogs.front().text.startsWith("The report archive TavikArchive.sqlite cannot be written"_qs))
        << dialogs.front().text.toStdString();
    EXPECT_EQ(readBytes(files::kLog).count("Archive error: The report archive"), 1);
    EXPECT_EQ(TextLines::splitLines(QString::fromUtf8(readBytes(files::kReports))).size(), 2);

    ASSERT_TRUE(QDir().rmdir(files::kArchive));
    f.archive().retry();
    settle();
    EXPECT_EQ(reportsIn(archiveFile()).size(), 2u);
    EXPECT_EQ(dialogs.size(), 1u);
}

// Done when: the archive locked by another connection while a pass is
// stored, the window closed, the lock released, the program started again:
// every report of that pass is in the archive, whole.
TEST_F(ArchiveWindowTest, APassThatFoundTheArchiveLockedIsStoredAfterTheNextStart)
{
    operatorWindow().openArchive();
    settle();
    const qint64 stored = Clock::nowUtc().toSecsSinceEpoch();
    {
        SqliteDb other(archiveFile(), SqliteDb::ReadWrite);
        other.exec("BEGIN IMMEDIATE");
        answer({reception("DL1ABC"_qs, kDay, "14074123"_qs), reception("K1JT"_qs, kDay + 60, "136000"_qs)});
        form.reset(); // closed while the archive is still locked
        Clock::advance(3600);
        other.exec("ROLLBACK");
    }
    ASSERT_TRUE(reportsIn(archiveFile()).empty());
    operatorWindow().openArchive();
    settle();
    const auto all = reportsIn(archiveFile());
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].frequency, 14074123);
    EXPECT_EQ(all[1].frequency, 136000);
    EXPECT_EQ(all[1].band, "2200m"_qs);
    for (const ArchivedReport &r : all) {
        EXPECT_EQ(r.locator, "JO62qm"_qs);
        EXPECT_EQ(r.storedAt, stored); // when the pass ran, not when its history line was read back
    }
}

// A lock that comes back, episode after episode: one box a start, every
// episode in the log.
TEST_F(ArchiveWindowTest, AFaultThatComesBackOpensItsBoxOnceAStart)
{
    struct ShortWait
    {
        ShortWait() { ArchiveStore::setBusyTimeout(50); }
        ~ShortWait() { ArchiveStore::setBusyTimeout(2000); }
    } shortWait;
    operatorWindow().openArchive();
    settle();
    SqliteDb other(archiveFile(), SqliteDb::ReadWrite);
    for (int episode = 0; episode < 3; ++episode) {
        other.exec("BEGIN IMMEDIATE");
        answer({reception("DL1ABC"_qs, kDay + episode * 60)});
        other.exec("ROLLBACK");
        form->archive().retry();
        settle();
    }
    EXPECT_EQ(reportsIn(archiveFile()).size(), 3u);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs.front().text.contains("cannot be written"_qs)) << dialogs.front().text.toStdString();
    EXPECT_EQ(readBytes(files::kLog).count("Archive error: "), 3);
}
