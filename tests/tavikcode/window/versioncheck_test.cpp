#include "retrieval/versionpage.h"

#include "../../networkfixture.h"

#include <QDesktopServices>
#include <QLabel>
#include <QTest>
#include <QTimer>

class VersionTest : public NetworkTest
{
protected:
    // A window as after the first activation steps: version, build, online.
    TForm1 &started(const QStringList &arguments = {})
    {
        TForm1 &f = createWith(standInEndpoints(), arguments);
        f.state.VersionText = "1.0.0.27"_qs;
        f.state.BuildStamp = "05Dec2026 14:22:10"_qs;
        f.state.PublicIP = "198.51.100.7"_qs;
        return f;
    }
    void check(TForm1 &f)
    {
        f.FetchVersionInfo([&f] { f.readVersionPageAndNotify(); });
        settle();
    }
    std::vector<Dialogs::Shown> notices() const
    {
        std::vector<Dialogs::Shown> shown;
        for (const auto &d : dialogs)
            if (d.caption == "Update available"_qs)
                shown.push_back(d);
        return shown;
    }
};

TEST_F(VersionTest, ThePagesOwnLineGivesNoNotice)
{
    server.setVersionPage("TavikRepView Version: 1.0.0.27, Build: 05Dec2026 14:22:10\r\n");
    TForm1 &f = started();
    f.state.NotifyOff = false;
    check(f);
    EXPECT_TRUE(dialogs.empty());
    EXPECT_TRUE(f.Label15->isHidden());
    EXPECT_FALSE(f.state.NotifyOff);
    EXPECT_FALSE(QFile::exists("TavikRepVersionRef.txt"_qs));
    EXPECT_TRUE(server.requests().front().tls);
}

TEST_F(VersionTest, AnotherBuildNotifiesUntilTheOperatorSwitchesItOff)
{
    const QByteArray page = "TavikRepView Version: 1.0.0.27, Build: 06Dec2026 10:00:00\r\n";
    server.setVersionPage(page);
    TForm1 &f = started();
    check(f);
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_EQ(notices().front().text,
              versionpage::noticeText("WWW.ORLIX.NET"_qs, "1.0.0.27"_qs, "05Dec2026 14:22:10"_qs,
                                      QString::fromUtf8(page.trimmed())));
    EXPECT_FALSE(f.Label15->isHidden());
    EXPECT_EQ(f.Label15->text(), "Link: Download latest TavikRepView.zip from WWW.ORLIX.NET"_qs);

    dialogs.clear();
    TForm1 &g = started({"/notifyoff"_qs});
    g.state.NotifyOff = false; // as the activation leaves it after "/NOTIFYOFF"
    check(g);
    EXPECT_TRUE(notices().empty());
    EXPECT_TRUE(g.Label15->isHidden());
}

TEST_F(VersionTest, AnotherVersionSwitchesNoticesBackOnAndStoresIt)
{
    server.setVersionPage("TavikRepView Version: 1.0.0.28, Build: 02Jan2027 09:15:40\r\n");
    TForm1 &f = started();
    f.state.NotifyOff = false;
    check(f);
    EXPECT_TRUE(f.state.NotifyOff);
    EXPECT_TRUE(readBytes(storeFile()).contains("TavikViewNotifyOff=1"));
    EXPECT_EQ(notices().size(), 1u);
}

TEST_F(VersionTest, AMissingPageAndAnUnreachableSiteGiveTheirMessages)
{
    StandInFault missing;
    missing.kind = StandInFault::Status;
    missing.value = 404;
    server.setFault(missing);
    TForm1 &f = started();
    check(f);
    EXPECT_EQ(dialogTexts(), QStringList{"Web error: WWW.ORLIX.NET site not accessible"_qs});

    dialogs.clear();
    Endpoints e = standInEndpoints();
    e.siteBase = "https://127.0.0.1:1"_qs;
    TForm1 &g = createWith(e);
    g.state.PublicIP = "198.51.100.7"_qs;
    check(g);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs.front().text.startsWith("Web error: Connection refused"_qs)) << dialogs.front().text.toStdString();
    EXPECT_TRUE(notices().empty());
}

TEST_F(VersionTest, NoKnownAddressMeansNoRequestAndNoMessage)
{
    TForm1 &f = started();
    f.state.PublicIP = "127.0.0.1"_qs;
    check(f);
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(VersionTest, AChangedBuildClearsTheHistoryOnceAndRecordsTheTail)
{
    writeBytes("TavikRpts.txt"_qs, "r\r\n");
    TForm1 &f = started();
    f.checkBuildNumber();
    EXPECT_FALSE(QFile::exists("TavikRpts.txt"_qs));
    EXPECT_TRUE(readBytes(storeFile()).contains("TavikViewLastVers=27"));

    writeBytes("TavikRpts.txt"_qs, "r\r\n");
    TForm1 &g = started();
    g.checkBuildNumber();
    EXPECT_TRUE(QFile::exists("TavikRpts.txt"_qs));
    EXPECT_EQ(g.state.LastVersion, "27"_qs);
}

TEST_F(VersionTest, TheVersionFileHoldsTheProgramsOwnLine)
{
    TForm1 &f = started();
    f.writeVersionFile();
    EXPECT_EQ(readBytes("TavikRepVersion.htm"_qs),
              QByteArray("TavikRepView Version: 1.0.0.27, Build: 05Dec2026 14:22:10\r\n"));
}

class UrlCatcher : public QObject
{
    Q_OBJECT
public slots:
    void open(const QUrl &url) { opened = url; }

public:
    QUrl opened;
};

TEST_F(VersionTest, TheLinkOpensTheDownloadOverHttps)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https"_qs, &catcher, "open");
    TForm1 &f = started();
    f.Label15Click();
    QDesktopServices::unsetUrlHandler("https"_qs);
    EXPECT_EQ(catcher.opened.toString(), server.httpsBase() + "/web/images/UserFiles/File/TavikRepView/TavikRepView.zip"_qs);
}

TEST_F(VersionTest, OnlyALeftClickOnTheLinkOpensTheDownload)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https"_qs, &catcher, "open");
    TForm1 &f = started();
    f.show();
    f.Label15->show();
    const QPoint middle = f.Label15->rect().center();
    QTest::mouseClick(f.Label15, Qt::RightButton, {}, middle);
    QTest::mouseClick(f.Label15, Qt::MiddleButton, {}, middle);
    const bool openedBeforeLeft = catcher.opened.isValid();
    QTest::mouseClick(f.Label15, Qt::LeftButton, {}, middle);
    QDesktopServices::unsetUrlHandler("https"_qs);
    EXPECT_FALSE(openedBeforeLeft);
    EXPECT_TRUE(catcher.opened.isValid());
}

#include "versioncheck_test.moc"

// Logout while the maker's site trickles its page in: the program ends at
// once, and the request that closing gave up opens no box.
TEST_F(VersionTest, ASignalWhileThePageTricklesInEndsTheProgramWithoutABox)
{
    StandInFault drip;
    drip.kind = StandInFault::Drip;
    drip.value = 500;
    server.setFault(drip);
    TForm1 &f = started();
    QObject::connect(&server, &StandInServer::requestReceived, &f, [&] { f.closeFromOutside(); }, Qt::QueuedConnection);
    QTimer::singleShot(0, &f, [&] { check(f); });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    limit.start(10000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_TRUE(dialogs.empty()) << dialogTexts().join(u'|').toStdString();
    EXPECT_FALSE(f.IdHTTP1->isBusy());
}
