// No box holds the cycle: whatever goes wrong at start, the first query goes
// out at once and the next on time while the box stays open, the clocks move,
// and a lasting fault opens one box.
#include "../../networkfixture.h"

#include "archive/reportarchive.h"
#include "base/filenames.h"
#include "platform/versioninfo.h"
#include "retrieval/versionpage.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <QLabel>

enum class AtStart { SiteAnswers404, SiteUnreachable, SiteTrickles, UpdateNotice, ArchiveUnwritable };

struct Case
{
    AtStart fault;
    const char *name;
    const char *box; // the beginning of the box's text
};

inline void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.name;
}

inline const Case kUnattendedCases[] = {
    {AtStart::SiteAnswers404, "SiteAnswers404", "Web error: WWW.ORLIX.NET site not accessible"},
    {AtStart::SiteUnreachable, "SiteUnreachable", "Web error: "},
    {AtStart::SiteTrickles, "SiteTrickles", "Web error: No complete answer within"},
    {AtStart::UpdateNotice, "UpdateNotice", "A later version of this software is available"},
    {AtStart::ArchiveUnwritable, "ArchiveUnwritable", "The report archive TavikArchive.sqlite cannot be"},
};

class UnattendedStartTest : public NetworkTest, public ::testing::WithParamInterface<Case>
{
protected:
    int queries() const { return int(targets().filter("/query?"_qs).size()); }

    // The texts of the message boxes on the screen.
    static QStringList boxTexts()
    {
        QStringList texts;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
                texts << box->text();
        }
        return texts;
    }

    void tick()
    {
        Clock::advance(1);
        form->runTick();
        settle(); // the answers of the loopback stand-in
        QCoreApplication::processEvents();
    }
};

TEST_P(UnattendedStartTest, TheFirstQueryGoesOutAtOnceAndTheNextOnTimeWhileTheBoxStaysOpen)
{
    const Case &c = GetParam();
    writeBytes(files::kCallsignIni, "MyCall=G4XYZ\r\n");
    localAddress = "10.0.0.2"_qs;
    Endpoints endpoints = standInEndpoints();
    const StandInFault::Kind siteFault = c.fault == AtStart::SiteAnswers404 ? StandInFault::Status
        : c.fault == AtStart::SiteTrickles                                 ? StandInFault::Drip
                                                                           : StandInFault::None;
    if (siteFault != StandInFault::None) {
        StandInFault fault;
        fault.kind = siteFault;
        fault.value = siteFault == StandInFault::Status ? 404 : 150;
        fault.sticky = true;
        fault.path = "/web"_qs;
        server.setFault(fault);
    }
    if (c.fault == AtStart::SiteUnreachable)
        endpoints.siteBase = "https://127.0.0.1:1"_qs;
    if (c.fault == AtStart::ArchiveUnwritable) {
        ASSERT_TRUE(QDir().mkdir(files::kArchive));
    }

    // Real boxes, as the operator sees them; one that waited for an answer
    // would hold this test until the watchdog closed it.
    Dialogs::setHandler({});
    bool held = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&held] {
        held = true;
        Dialogs::closeAll();
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMessageBox *>(w))
                w->close();
        }
    });
    watchdog.start(20000);
    TForm1 &f = createWith(endpoints);
    f.deadlines.page = std::chrono::milliseconds(1500);
    f.store().WriteString("Orlix"_qs, "TavikViewLastVers"_qs, versionpage::BuildTail(GetVersionText()));
    f.ReadCallsign();
    f.runActivation();
    // Only the notice's start finds another version on the page.
    server.setVersionPage(c.fault == AtStart::UpdateNotice
                              ? QByteArray("TavikRepView Version: 9.9.9.9, Build: x\r\n")
                              : versionpage::versionLine(f.state.VersionText, f.state.BuildStamp).toUtf8() + "\r\n");
    f.archive().waitForIdle();
    QCoreApplication::processEvents();

    for (int second = 1; second <= 5 && queries() == 0; ++second)
        tick();
    EXPECT_EQ(queries(), 1) << "the first query within five seconds of start";
    // The version page is asked once the query's answer is in.
    for (int second = 1; second <= 5 && boxTexts().isEmpty(); ++second)
        tick();
    ASSERT_EQ(boxTexts().size(), 1) << boxTexts().join(u'|').toStdString();
    EXPECT_TRUE(boxTexts().front().startsWith(QString::fromUtf8(c.box))) << boxTexts().front().toStdString();

    // The box stays open: the clocks move and the next query goes out on time.
    const QString now = f.Label9->text();
    for (int second = 0; second < 302 && queries() < 2; ++second)
        tick();
    EXPECT_EQ(queries(), 2);
    EXPECT_NE(f.Label9->text(), now);
    EXPECT_EQ(Dialogs::openCount(), 1);
    EXPECT_EQ(boxTexts().size(), 1) << "a lasting fault opens no second box";
    EXPECT_FALSE(held);
}

INSTANTIATE_TEST_SUITE_P(Faults, UnattendedStartTest, ::testing::ValuesIn(kUnattendedCases),
                         [](const auto &info) { return std::string(info.param.name); });
