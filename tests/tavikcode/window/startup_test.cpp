// The activation sequence as the window runs it when it first comes up.
#include "../../networkfixture.h"

#include "base/filenames.h"
#include "base/fileutil.h"
#include "platform/versioninfo.h"
#include "retrieval/versionpage.h"

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>

namespace {

QByteArray reportLine(const char *time, const char *receiver)
{
    return QByteArray(time) + ",  " + receiver + ",    \t-5,\t20m, FT8, IO91, England, ";
}

} // namespace

class ActivationTest : public NetworkTest
{
protected:
    void SetUp() override
    {
        NetworkTest::SetUp();
        writeBytes(files::kWsjtxIni, "[Configuration]\r\nMyCall=G4XYZ\r\n");
        // An answer stored by the last run, and a history out of order.
        writeBytes(files::kResponse, "<receptionReports>\r\n</receptionReports>\r\n");
        writeBytes(files::kReports, reportLine("01Dec2026 10:00:00", "K1AA") + "\r\n"
                                        + reportLine("03Dec2026 10:00:00", "K1BB") + "\r\n"
                                        + reportLine("02Dec2026 10:00:00", "K1CC") + "\r\n");
        localAddress = "10.0.0.2"_qs;
        server.setVersionPage("TavikRepView Version: 9.9.9.9, Build: 01Jan2027 10:00:00\r\n");
    }

    // What the window showed when each request went out.
    struct Seen
    {
        QString target;
        bool versionFile, timer;
        QString callsign;
        qsizetype historyLines;
        bool online;
        QByteArray store;
    };

    TForm1 &started(const QStringList &arguments)
    {
        TForm1 &f = createWith(standInEndpoints(), arguments);
        QObject::connect(f.IdHTTP1, &HttpClient::requestStarted, &f, [this, &f](const QUrl &url) {
            seen.push_back({QString::fromUtf8(url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority)), QFile::exists(files::kVersion), f.Timer1->isActive(),
                            f.state.Callsign, f.RichEdit1->document()->isEmpty() ? 0 : f.RichEdit1->document()->blockCount(),
                            isPublicIpKnown(f.state), readBytes(storeFile())});
        });
        Dialogs::setHandler([this, &f](const Dialogs::Shown &d) {
            dialogs.push_back(d);
            timerAtDialog.push_back(f.Timer1->isActive());
        });
        return f;
    }

    std::vector<Seen> seen;
    std::vector<bool> timerAtDialog;
};

TEST_F(ActivationTest, TheStepsRunInTheirOrderAndTheVersionPageWaitsForTheFirstQuery)
{
    TForm1 &f = started({"/notifyoff"_qs});
    const qint64 responseSize = fileutil::FileSize64(files::kResponse);
    f.runActivation();
    settle();

    // The echo: version file written and callsign read, history not yet shown.
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].target, "/"_qs);
    EXPECT_TRUE(seen[0].versionFile);
    EXPECT_EQ(seen[0].callsign, "G4XYZ"_qs);
    EXPECT_EQ(seen[0].historyLines, 0);
    EXPECT_FALSE(seen[0].timer);
    EXPECT_TRUE(readBytes(storeFile()).contains("TavikViewNotifyOff=0"));

    // The build check before the timer: a first run clears the history once.
    EXPECT_TRUE(f.Timer1->isActive());
    EXPECT_EQ(f.state.ResponseStamp, responseSize);
    EXPECT_GT(f.state.ReportsStamp, 0);
    const QByteArray lastVers = "TavikViewLastVers=" + versionpage::BuildTail(GetVersionText()).toUtf8();
    EXPECT_TRUE(readBytes(storeFile()).contains(lastVers));
    EXPECT_FALSE(QFile::exists(files::kReports));
    EXPECT_FALSE(QFile::exists(files::kResponse));
    EXPECT_EQ(f.state.ResponseLines.count(), 2);
    EXPECT_EQ(f.windowTitle().left(28), "TavikRepView (Orlix) - Versi"_qs);
    EXPECT_TRUE(dialogs.empty());

    // The first tick queries at once; the version page comes once its answer is in.
    f.runTick();
    settle();
    f.runTick();
    settle();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_TRUE(seen[1].target.startsWith("/query?senderCallsign=G4XYZ"_qs)) << seen[1].target.toStdString();
    EXPECT_EQ(seen[2].target, "/web/images/UserFiles/File/TavikRepView/TavikRepVersion.htm"_qs);
    EXPECT_TRUE(seen[2].timer);
    // Another version: notices on again, and the notice while the timer runs.
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs.front().caption, "Update available"_qs);
    EXPECT_TRUE(timerAtDialog.front());
    EXPECT_TRUE(f.state.NotifyOff);
    EXPECT_FALSE(f.Label15->isHidden());

    // Asked once a start.
    Clock::advance(1);
    f.runTick();
    EXPECT_EQ(seen.size(), 3u);
}

TEST_F(ActivationTest, AStoredHistoryIsSortedAndItsSizeAndTheAnswersSizeAreTheStamps)
{
    TForm1 &f = started({});
    f.store().WriteString("Orlix"_qs, "TavikViewLastVers"_qs, versionpage::BuildTail(GetVersionText()));
    f.runActivation();
    EXPECT_EQ(f.state.ResponseStamp, fileutil::FileSize64(files::kResponse));
    EXPECT_EQ(f.state.ReportsStamp, fileutil::FileSize64(files::kReports));
    const QByteArray history = readBytes(files::kReports);
    EXPECT_TRUE(history.startsWith(reportLine("03Dec2026 10:00:00", "K1BB"))) << history.constData();
    EXPECT_EQ(f.RichEdit1->document()->blockCount(), 3);
}

TEST_F(ActivationTest, FailingStepsAreToldOnceAndEveryOtherStepStillRuns)
{
    // The version file and the report history cannot be written where folders
    // bear their names.
    ASSERT_TRUE(QDir().mkdir(files::kVersion));
    QFile::remove(files::kReports);
    ASSERT_TRUE(QDir().mkdir(files::kReports));
    TForm1 &f = started({"/notifyoff"_qs});
    f.runActivation();
    settle();

    EXPECT_EQ(seen.size(), 1u) << "the echo was still asked for";
    EXPECT_EQ(f.state.Callsign, "G4XYZ"_qs);
    EXPECT_TRUE(f.Timer1->isActive());
    EXPECT_TRUE(readBytes(storeFile()).contains("TavikViewLastVers="));
    EXPECT_FALSE(QFile::exists(files::kResponse)) << "the build check cleared what it could";
    // One box for both failures, after the timer started.
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].kind, Dialogs::Kind::Error);
    EXPECT_TRUE(timerAtDialog[0]);
    const QStringList failures = dialogs[0].text.split(u'\r');
    ASSERT_EQ(failures.size(), 2) << dialogs[0].text.toStdString();
    EXPECT_TRUE(failures[0].contains(files::kVersion)) << failures[0].toStdString();
    EXPECT_TRUE(failures[1].contains(files::kReports)) << failures[1].toStdString();
    EXPECT_EQ(readBytes(files::kLog).count("Error: "), 2);

    // The version page is still asked for, after the first query.
    f.runTick();
    settle();
    f.runTick();
    settle();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[2].target, "/web/images/UserFiles/File/TavikRepView/TavikRepVersion.htm"_qs);
}
