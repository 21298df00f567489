#include "alerts/alertcentre.h"
#include "archive/reportarchive.h"
#include "base/filenames.h"
#include "platform/settingsstore.h"
#include "reach/reachwindow.h"

#include "../../formfixture.h"
#include "../wsjtx/wsjtxdatagrams.h"

#include <QCheckBox>
#include <QDataStream>
#include <QLabel>
#include <QTableWidget>
#include <QUdpSocket>

using namespace Qt::StringLiterals;

namespace {

// A status of the operator's copy, cut after its DE grid.
QByteArray status(bool transmitting)
{
    return wsjtxdatagrams::status(2, "WSJT-X"_ba, transmitting, 12);
}

quint16 freeUdpPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

} // namespace

class DigitalModeTest : public FormTest
{
protected:
    void send(const QByteArray &datagram) { m_sender.writeDatagram(datagram, QHostAddress::LocalHost, m_port); }

    TForm1 &createListening()
    {
        writeBytes("WSJT-X.INI"_qs, "MyCall=N1SH\r\nMyGrid=FN43rq\r\n");
        m_port = freeUdpPort();
        {
            auto settings = openIniSettingsStore(storeFile());
            settings->setValue(u"Orlix"_s, u"TavikWsjtxListen"_s, u"1"_s);
            settings->setValue(u"Orlix"_s, u"TavikWsjtxAddress"_s, u"127.0.0.1"_s);
            settings->setValue(u"Orlix"_s, u"TavikWsjtxPort"_s, QString::number(m_port));
        }
        TForm1 &f = create();
        f.ReadCallsign();
        f.openArchive();
        f.startDigitalModeLink();
        return f;
    }

    QUdpSocket m_sender;
    quint16 m_port = 0;
};

// The program's statuses come over loopback; a transmission ends, a pass
// brings reports heard in it, and the tray's first line and the Reach
// window's list say who heard it.
TEST_F(DigitalModeTest, ATransmissionHeardShowsInTheTrayAndTheReachWindow)
{
    TForm1 &f = createListening();
    const QDateTime t0(QDate(2026, 12, 7), QTime(11, 0, 0), Qt::UTC);
    Clock::set(t0);
    send(status(true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.alerts().statusText().contains(u"WSJT-X: 20m FT8, transmitting"_s); },
                                10000))
        << f.alerts().statusText().toStdString();
    Clock::set(t0.addSecs(13));
    send(status(false));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.alerts().statusText().contains(u"transmitting"_s); }, 10000));
    EXPECT_TRUE(f.alerts().statusText().startsWith(u"Last TX 11:00:00 20m FT8: heard by nobody yet\n"_s));

    const auto line = [&](const char *receiver, const char *locator, qint64 offset) {
        return "<receptionReport receiverCallsign=\"%1\" receiverLocator=\"%2\" senderCallsign=\"N1SH\" "
               "flowStartSeconds=\"%3\" frequency=\"14075500\" mode=\"FT8\" sNR=\"-5\" receiverDXCC=\"X\" />"_qs
            .arg(QString::fromLatin1(receiver), QString::fromLatin1(locator))
            .arg(t0.toSecsSinceEpoch() + offset);
    };
    Clock::set(t0.addSecs(300));
    // Two heard it; a report a minute later belongs to no transmission.
    f.state.ResponseLines.setLines({"<receptionReports>"_qs, line("DL1ABC", "JO62qm", 5), line("VK2XYZ", "QF56", 10),
                                    line("JA1ABC", "PM95", 70), "</receptionReports>"_qs});
    f.ProcessResponse();
    f.archive().waitForIdle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.alerts().statusText().contains(u"heard by 2"_s); },
                                10000))
        << f.alerts().statusText().toStdString();
    EXPECT_TRUE(f.alerts().statusText().startsWith(u"Last TX 11:00:00 20m FT8: heard by 2, farthest 16,"_s))
        << f.alerts().statusText().toStdString();

    f.openReachWindow();
    ReachWindow *reach = f.reachWindow();
    EXPECT_EQ(reach->linkLabel->text(), u"WSJT-X: 20m FT8"_s);
    reach->followBandBox->setChecked(true);
    EXPECT_EQ(reach->band(), u"20m"_s);
    QTableWidget *list = f.reachWindow()->findChild<QTableWidget *>(u"transmissionTable"_s);
    ASSERT_NE(list, nullptr);
    f.reachWindow()->refreshTransmissions();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->rowCount() == 1; }, 10000));
    EXPECT_EQ(list->item(0, 1)->text(), u"20m"_s);
    EXPECT_EQ(list->item(0, 3)->text(), u"2"_s);
    EXPECT_TRUE(list->item(0, 4)->text().startsWith(u"VK2XYZ 16"_s)) << list->item(0, 4)->text().toStdString();
}

// Another program holds the unicast port: told once, in plain words, and
// the port is not taken from it.
TEST_F(DigitalModeTest, APortHeldByAnotherProgramIsToldOnce)
{
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::LocalHost, 0));
    {
        auto settings = openIniSettingsStore(storeFile());
        settings->setValue(u"Orlix"_s, u"TavikWsjtxListen"_s, u"1"_s);
        settings->setValue(u"Orlix"_s, u"TavikWsjtxPort"_s, QString::number(holder.localPort()));
    }
    TForm1 &f = create();
    f.startDigitalModeLink();
    f.startDigitalModeLink();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs.front().text.contains(u"multicast group"_s));
}
