#include "archive/archivestore.h"
#include "compare/comparesettings.h"
#include "base/filenames.h"

#include "../../networkfixture.h"
#include "../archive/archivefixture.h"

#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

// The reference stations asked by the program, against the stand-in, with
// the archive of the test's folder.
class ReferenceQueryTest : public NetworkTest
{
protected:
    // Online as G4XYZ, whose own query started `sinceOwn` seconds ago, with
    // references K1ABC and G4XYZ/P.
    TForm1 &started(qint64 sinceOwn = 100)
    {
        server.setReferenceCallsigns({"K1ABC"_qs, "G4XYZ/P"_qs});
        {
            auto s = openIniSettingsStore(storeFile());
            s->WriteString(comparesettings::kSection, comparesettings::kCalls, "K1ABC,G4XYZ/P"_qs);
        }
        TForm1 &f = online();
        f.openArchive();
        f.state.LastGetTime = Clock::nowLocal().addSecs(-sinceOwn);
        return f;
    }
    // The targets of the report queries since the last look.
    QStringList asked()
    {
        QStringList list;
        for (const QString &t : targets())
            list << t.mid(t.indexOf(u'?') + 1);
        server.clearRecords();
        return list;
    }
    // One tick's reference step, the clock then moved on.
    QStringList askAt(TForm1 &f, qint64 sinceOwn)
    {
        f.state.LastGetTime = Clock::nowLocal().addSecs(-sinceOwn);
        f.QueryReferences();
        settle();
        return asked();
    }
    static qint64 count(const char *sql)
    {
        SqliteDb db(files::kArchive, SqliteDb::ReadOnly);
        return db.integer(sql);
    }
};

TEST_F(ReferenceQueryTest, EachIsAskedInItsTurnWithItsOwnSequenceNumberAndNeverBesideTheOwnQuery)
{
    TForm1 &f = started();
    f.deadlines.query = std::chrono::seconds(10); // the 60 s distance, not the deadline, bounds the turn
    EXPECT_TRUE(askAt(f, 59).isEmpty()) << "59 s after the own query";
    EXPECT_TRUE(askAt(f, 241).isEmpty()) << "59 s before the next";
    EXPECT_EQ(askAt(f, 60), QStringList{"senderCallsign=K1ABC"_qs});
    EXPECT_EQ(askAt(f, 240), QStringList{"senderCallsign=G4XYZ/P"_qs});
    EXPECT_TRUE(askAt(f, 100).isEmpty()) << "both asked within the interval";
    const QString k1abc = f.referenceQueries().references().at(0).lastSeqNo;
    const QString portable = f.referenceQueries().references().at(1).lastSeqNo;
    ASSERT_FALSE(k1abc.isEmpty());
    ASSERT_FALSE(portable.isEmpty());

    Clock::advance(14 * 60);
    EXPECT_TRUE(askAt(f, 100).isEmpty()) << "14 minutes on";
    Clock::advance(60);
    EXPECT_EQ(askAt(f, 100), QStringList{"senderCallsign=K1ABC&lastseqno="_qs + k1abc});
    EXPECT_EQ(askAt(f, 100), QStringList{"senderCallsign=G4XYZ/P&lastseqno="_qs + portable});

    // A longer interval set in the Compare window holds from then on.
    f.openCompareWindow();
    f.compareWindow()->intervalBox->setValue(30);
    Clock::advance(15 * 60);
    EXPECT_TRUE(askAt(f, 100).isEmpty());
    Clock::advance(15 * 60);
    EXPECT_EQ(askAt(f, 100).size(), 1);
    // With the default deadline the own query's is the bound: asked only while
    // its 120 s end before the own query falls due.
    f.deadlines.query = std::chrono::seconds(120);
    EXPECT_TRUE(askAt(f, 180).isEmpty());
    EXPECT_EQ(askAt(f, 179).size(), 1);
}

TEST_F(ReferenceQueryTest, NothingIsAskedOfflineWithoutACallsignOrWithoutReferences)
{
    TForm1 &f = started();
    f.state.PublicIP.clear();
    EXPECT_TRUE(askAt(f, 100).isEmpty());
    f.state.PublicIP = "198.51.100.7"_qs;
    f.state.Callsign.clear();
    EXPECT_TRUE(askAt(f, 100).isEmpty());
    f.state.Callsign = "G4XYZ"_qs;
    f.openCompareWindow();
    f.compareWindow()->referencesEdit->setText(QString());
    emit f.compareWindow()->referencesEdit->editingFinished();
    EXPECT_TRUE(askAt(f, 100).isEmpty());
    EXPECT_TRUE(f.referenceQueries().references().isEmpty());
}

TEST_F(ReferenceQueryTest, NeverTwoRequestsAtOnceOnTheClient)
{
    TForm1 &f = started();
    server.setFault({StandInFault::Delay, 400, {}, false, "/query"_qs});
    // While the reference's answer is slow, ticks run meanwhile; the own
    // query falls due in one of them and waits for the client.
    int ticksMeanwhile = 0;
    QTimer meanwhile;
    QObject::connect(&meanwhile, &QTimer::timeout, [&] {
        // Only the ticks while the reference's answer is out: the one that
        // follows it may ask for the own reports at once.
        if (!f.IdHTTP1->isBusy())
            return;
        ++ticksMeanwhile;
        f.state.LastGetTime = Clock::nowLocal().addSecs(-301);
        f.runTick();
    });
    meanwhile.start(50);
    f.QueryReferences();
    settle();
    meanwhile.stop();
    EXPECT_GT(ticksMeanwhile, 0);
    EXPECT_EQ(server.maxOutstanding(), 1);
    EXPECT_EQ(asked(), QStringList{"senderCallsign=K1ABC"_qs});
    // The next tick asks for the operator's own reports.
    f.runTick();
    settle();
    EXPECT_EQ(asked(), QStringList{"senderCallsign=G4XYZ"_qs});
}

TEST_F(ReferenceQueryTest, AFailedQueryIsLoggedOnceWithoutABoxAndTriedAtItsNextTurn)
{
    TForm1 &f = started();
    server.setFault({StandInFault::Status, 503, {}, true, "/query"_qs});
    for (int turn = 0; turn < 2; ++turn) {
        EXPECT_EQ(askAt(f, 100), QStringList{"senderCallsign=K1ABC"_qs}) << turn;
        EXPECT_EQ(askAt(f, 100), QStringList{"senderCallsign=G4XYZ/P"_qs}) << turn;
        EXPECT_TRUE(askAt(f, 100).isEmpty()) << "not again before its next turn";
        Clock::advance(15 * 60);
    }
    EXPECT_TRUE(dialogs.empty());
    const QString log = QString::fromUtf8(readBytes("Taviklog.txt"_qs));
    EXPECT_EQ(log.count("Compare error: K1ABC: "_qs), 1) << log.toStdString();
    EXPECT_EQ(log.count("Compare error: G4XYZ/P: "_qs), 1);
    EXPECT_TRUE(log.contains("503"_qs));
    server.setFault({});
    EXPECT_EQ(askAt(f, 100), QStringList{"senderCallsign=K1ABC"_qs});
    EXPECT_FALSE(f.referenceQueries().references().at(0).lastSeqNo.isEmpty());
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(ReferenceQueryTest, ReferenceReportsGoToTheArchiveOnlyNeverToTheHistoryOrTheMainWindow)
{
    TForm1 &f = started(301);
    f.runTick(); // the own query, its pass and the views
    settle();
    f.archive().waitForIdle();
    const QByteArray history = readBytes(files::kReports), calls = readBytes(files::kCalls),
                     grids = readBytes(files::kGrids), response = readBytes(files::kResponse);
    const QString shown = f.RichEdit1->toPlainText();
    const qint64 own = count("SELECT count(*) FROM report");
    ASSERT_GT(own, 0);
    server.clearRecords();

    ASSERT_EQ(askAt(f, 100), QStringList{"senderCallsign=K1ABC"_qs});
    f.archive().waitForIdle();
    Clock::advance(2);
    f.state.LastGetTime = Clock::nowLocal().addSecs(-102);
    f.runTick(); // G4XYZ/P's turn; nothing new for the history: its files stay as they were
    settle();
    EXPECT_EQ(readBytes(files::kReports), history);
    EXPECT_EQ(readBytes(files::kCalls), calls);
    EXPECT_EQ(readBytes(files::kGrids), grids);
    EXPECT_EQ(readBytes(files::kResponse), response);
    EXPECT_EQ(f.RichEdit1->toPlainText(), shown);
    f.archive().waitForIdle();
    EXPECT_EQ(count("SELECT count(*) FROM report"), own);
    EXPECT_GT(count("SELECT count(*) FROM reference_report WHERE sender = 'K1ABC'"), 0);
    EXPECT_GT(count("SELECT count(*) FROM reference_report WHERE sender = 'G4XYZ/P'"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM reference_report WHERE sender NOT IN ('K1ABC', 'G4XYZ/P')"), 0);
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(ReferenceQueryTest, ARestartKeepsEachReferencesTurn)
{
    TForm1 &f = started();
    ASSERT_EQ(askAt(f, 100), QStringList{"senderCallsign=K1ABC"_qs});
    Clock::advance(5 * 60);
    // Started again: K1ABC was asked five minutes ago, G4XYZ/P never.
    TForm1 &again = online();
    again.openArchive();
    EXPECT_EQ(askAt(again, 100), QStringList{"senderCallsign=G4XYZ/P"_qs});
    EXPECT_TRUE(askAt(again, 100).isEmpty());
    Clock::advance(10 * 60);
    EXPECT_EQ(askAt(again, 100), QStringList{"senderCallsign=K1ABC"_qs});
}
