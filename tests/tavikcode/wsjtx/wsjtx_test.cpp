#include "wsjtx/linktexts.h"
#include "wsjtx/transmissions.h"
#include "wsjtx/wsjtxinstances.h"
#include "wsjtx/wsjtxlistener.h"
#include "wsjtx/wsjtxmessage.h"
#include "wsjtx/wsjtxmonitor.h"

#include "base/clock.h"

#include "wsjtxdatagrams.h"

#include <QDataStream>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QUdpSocket>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace wsjtxdatagrams;

TEST(WsjtxMessage, EachDatagramIsReadOrRefusedForItsReason)
{
    using E = WsjtxDecodeError;
    const QByteArray heartbeat = header(3, 0, "WSJT-X"_ba) + field(quint32(3)) + field("2.6.1"_ba) + field("0e7224"_ba);
    const QByteArray full = status(2, "WSJT-X"_ba, true);
    struct Case
    {
        const char *name;
        QByteArray datagram;
        int kind;  // index in WsjtxMessage, or -1 for a refusal
        E error = E::TooShort;
    };
    const Case cases[] = {
        {"heartbeat", heartbeat, 0},
        {"heartbeat and bytes of a later version", heartbeat + "\x01\x02\x03"_ba, 0},
        {"heartbeat of an old WSJT-X without version", header(2, 0, "WSJT-X"_ba) + field(quint32(2)), 0},
        {"status, schema 2", full, 1},
        {"status, schema 3, and trailing bytes", status(3, "WSJT-X"_ba, true) + "\0\0"_ba, 1},
        {"status of JTDX, ending after the special operation mode", status(2, "JTDX -  14074000"_ba, false, 17), 1},
        {"status ending with the DE call", status(2, "WSJT-X"_ba, false, 11), 1},
        {"status cut inside a later field", full.chopped(3), 1},
        {"close", header(2, 6, "WSJT-X"_ba), 2},
        {"decode", header(2, 2, "WSJT-X"_ba) + "anything"_ba, 3},
        {"a type of a later version", header(3, 42, "WSJT-X"_ba), 3},
        {"empty", QByteArray(), -1, E::TooShort},
        {"header cut short", header(2, 1, "WSJT-X"_ba).left(10), -1, E::TooShort},
        {"id cut short", header(2, 1, "WSJT-X"_ba).chopped(2), -1, E::Truncated},
        {"status without the DE call", status(2, "WSJT-X"_ba, true, 10), -1, E::Truncated},
        {"status cut inside the DE call", status(2, "WSJT-X"_ba, true, 11).chopped(1), -1, E::Truncated},
        {"string longer than the datagram", header(2, 1, QByteArray()).chopped(4) + "\xff\xff\xff\xfe"_ba, -1,
         E::Truncated},
        {"wrong magic", QByteArray(full).replace(0, 1, "\xac"_ba), -1, E::WrongMagic},
        {"schema 1", QByteArray(full).replace(7, 1, "\x01"_ba), -1, E::UnknownSchema},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const WsjtxDecodeResult result = decodeWsjtxDatagram(c.datagram);
        if (c.kind < 0) {
            EXPECT_FALSE(result.message);
            EXPECT_EQ(result.error, c.error);
        } else {
            ASSERT_TRUE(result.message);
            EXPECT_EQ(int(result.message->index()), c.kind);
        }
    }
}

TEST(WsjtxMessage, StatusKeepsTheLaterFieldsThatCame)
{
    const auto full = std::get<WsjtxStatus>(*decodeWsjtxDatagram(status(3, "WSJT-X"_ba, true)).message);
    EXPECT_EQ(full.dialHz, 14'074'000u);
    EXPECT_EQ(full.mode, u"FT8"_s);
    EXPECT_TRUE(full.transmitting);
    EXPECT_EQ(full.txDf, 1342u);
    EXPECT_EQ(full.deCall, u"n1sh"_s);
    EXPECT_EQ(full.deGrid, u"FN43RQ"_s);
    EXPECT_EQ(full.trPeriodSeconds, 15u);
    EXPECT_EQ(full.txMessage, u"K1ABC N1SH -14"_s);

    const auto jtdx = std::get<WsjtxStatus>(*decodeWsjtxDatagram(status(2, "JTDX -  14074000"_ba, false, 17)).message);
    EXPECT_EQ(jtdx.id, u"JTDX -  14074000"_s);
    EXPECT_EQ(jtdx.deGrid, u"FN43RQ"_s);
    EXPECT_FALSE(jtdx.trPeriodSeconds);
    EXPECT_FALSE(jtdx.configurationName);
}

TEST(WsjtxInstances, FollowsTheOperatorsCopyElseTheFirstHeardAndForgetsTheSilent)
{
    const QDateTime t0(QDate(2024, 5, 1), QTime(12, 0), Qt::UTC);
    auto statusOf = [](const char *id, const char *call) {
        WsjtxStatus s;
        s.id = QString::fromLatin1(id);
        s.deCall = QString::fromLatin1(call);
        return WsjtxMessage(s);
    };
    WsjtxInstances instances;
    instances.setOperatorCallsign(u"N1SH"_s);
    EXPECT_FALSE(instances.take(statusOf("", "N1SH"), t0));  // no Id: no copy to tell apart
    EXPECT_TRUE(instances.all().isEmpty());
    EXPECT_TRUE(instances.take(statusOf("JTDX", "K1ABC"), t0));
    EXPECT_FALSE(instances.take(WsjtxHeartbeat{u"Other"_s, 3, {}, {}}, t0));
    EXPECT_EQ(instances.followedId(), u"JTDX"_s);
    EXPECT_TRUE(instances.take(statusOf("WSJT-X", "n1sh"), t0.addSecs(5)));
    EXPECT_EQ(instances.followedId(), u"WSJT-X"_s);
    EXPECT_EQ(instances.otherIds(), (QStringList{u"JTDX"_s, u"Other"_s}));

    // The own copy closes: the first heard of the rest is followed.
    EXPECT_TRUE(instances.take(WsjtxClose{u"WSJT-X"_s}, t0.addSecs(10)));
    EXPECT_EQ(instances.followedId(), u"JTDX"_s);

    // Sixty seconds without a heartbeat are allowed, not more.
    instances.take(WsjtxHeartbeat{u"Other"_s, 3, {}, {}}, t0.addSecs(30));
    EXPECT_TRUE(instances.forgetSilent(t0.addSecs(60)).isEmpty());
    EXPECT_EQ(instances.forgetSilent(t0.addSecs(61)), QStringList{u"JTDX"_s});
    EXPECT_EQ(instances.followedId(), u"Other"_s);
    EXPECT_EQ(instances.forgetSilent(t0.addSecs(91)), QStringList{u"Other"_s});
    EXPECT_TRUE(instances.followedId().isEmpty());
}

// What the tray and the Reach window say of the link: the program's name
// and mode from the network, filtered so that no line reads as markup.
TEST(LinkTexts, NameBandModeAndNoteOfTheFollowedCopy)
{
    const QDateTime t0(QDate(2024, 5, 1), QTime(14, 3, 15), Qt::UTC);
    struct Case
    {
        const char *id, *mode, *deCall, *deGrid;
        quint64 dialHz;
        bool transmitting;
        const char *state, *band, *grid, *note;
    } cases[] = {
        {"WSJT-X", "FT8", "N1SH", "FN43rq", 14'074'000, true, "WSJT-X: 20m FT8, transmitting", "20m", "FN43rq", ""},
        {"JTDX -  7074000", "FT8", "n1sh", "", 7'074'000, false, "JTDX: 40m FT8", "40m", "", ""},
        {"WSJT-X - IC7300", "<b>FT4", "K1ABC", "XX99", 0, false, "WSJT-X - IC7300: no frequency yet", "", "",
         "WSJT-X - IC7300 sends as K1ABC; this program asks for N1SH."},
        {"<i>x</i>", "<b>FT4</b>", "N1SH", "FN43", 14'080'000, true, "ix/i: 20m bFT4/b, transmitting", "20m", "FN43", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.id);
        WsjtxStatus s;
        s.id = QString::fromLatin1(c.id);
        s.mode = QString::fromLatin1(c.mode);
        s.deCall = QString::fromLatin1(c.deCall);
        s.deGrid = QString::fromLatin1(c.deGrid);
        s.dialHz = c.dialHz;
        WsjtxInstances instances;
        instances.setOperatorCallsign(u"N1SH"_s);
        instances.take(s, t0);
        EXPECT_EQ(linkStateText(instances, c.transmitting), QString::fromLatin1(c.state));
        EXPECT_EQ(liveBand(instances), QString::fromLatin1(c.band));
        EXPECT_EQ(liveGrid(instances), QString::fromLatin1(c.grid));
        EXPECT_EQ(callsignNote(instances, u"N1SH"_s), QString::fromLatin1(c.note));
    }
    EXPECT_EQ(linkStateText(WsjtxInstances(), false), u"no digital-mode program heard"_s);
    WsjtxInstances two;
    two.setOperatorCallsign(u"N1SH"_s);
    two.take(WsjtxHeartbeat{u"JTDX -  7074000"_s, 2, {}, {}}, t0);
    two.take(WsjtxHeartbeat{u"WSJT-X"_s, 3, {}, {}}, t0);
    EXPECT_EQ(linkStateText(two, false), u"JTDX: no frequency yet; also heard: WSJT-X"_s);

    TransmissionSummary heard{{t0, t0.addSecs(13), 14'074'000, u"20m"_s, u"FT8"_s, 1500}, 23, u"VK2XYZ"_s,
                              u"QF56"_s, 8912.4, -12.0};
    EXPECT_EQ(lastTransmissionLine(heard), u"Last TX 14:03:15 20m FT8: heard by 23, farthest 8,912 km"_s);
    heard.farthestKm.reset();
    EXPECT_EQ(lastTransmissionLine(heard), u"Last TX 14:03:15 20m FT8: heard by 23"_s);
    heard.receivers = 0;
    EXPECT_EQ(lastTransmissionLine(heard), u"Last TX 14:03:15 20m FT8: heard by nobody yet"_s);
}

TEST(Transmissions, FromTransmittingOnToOffOneBandAndModeEach)
{
    const QDateTime t0(QDate(2024, 5, 1), QTime(12, 0), Qt::UTC);
    auto at = [&](int s) { return t0.addSecs(s); };
    auto st = [](bool tx, quint64 dial, const char *mode = "FT8") {
        WsjtxStatus s;
        s.transmitting = tx;
        s.dialHz = dial;
        s.mode = QString::fromLatin1(mode);
        s.txDf = 1200;
        return s;
    };
    TransmissionTracker tracker;
    EXPECT_FALSE(tracker.take(st(false, 0), at(0)));
    EXPECT_FALSE(tracker.take(st(true, 7'074'000), at(15)));
    EXPECT_FALSE(tracker.take(st(true, 7'074'000), at(20)));
    const auto first = tracker.take(st(false, 7'074'000), at(28));
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, (Transmission{at(15), at(28), 7'074'000, u"40m"_s, u"FT8"_s, 1200}));

    // A band change while transmitting ends one transmission and starts another.
    tracker.take(st(true, 7'074'000), at(30));
    const auto cut = tracker.take(st(true, 14'074'000), at(35));
    ASSERT_TRUE(cut && tracker.running());
    EXPECT_EQ(cut->end, at(35));
    EXPECT_EQ(tracker.running()->band, u"20m"_s);
    EXPECT_EQ(tracker.stop(at(40))->end, at(40));
    EXPECT_FALSE(tracker.running());

    struct Case
    {
        double offset;  // seconds from the start of a 15 s transmission
        const char *band;
        const char *reportMode;
        const char *sentMode;
        bool belongs;
    };
    const Case cases[] = {
        {-7.5, "20m", "FT8", "FT8", true},     {-7.6, "20m", "FT8", "FT8", false}, {22.5, "20m", "ft8", "FT8", true},
        {22.6, "20m", "FT8", "FT8", false},    {5, "40m", "FT8", "FT8", false},    {5, "20m", "FT4", "FT8", false},
        {-60, "20m", "WSPR", "WSPR", true},    {-61, "20m", "WSPR", "WSPR", false}, {-30, "20m", "JT65", "JT65", true},
        {18.75, "20m", "FT4", "FT4", true},    {18.76, "20m", "FT4", "FT4", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.offset);
        const Transmission t{at(0), at(15), 14'074'000, u"20m"_s, QString::fromLatin1(c.sentMode), 0};
        EXPECT_EQ(reportBelongsTo(t, at(0).addMSecs(qint64(c.offset * 1000)), QString::fromLatin1(c.band),
                                  QString::fromLatin1(c.reportMode)),
                  c.belongs);
    }
}

// A transmission of the followed copy ends when the copy closes or falls
// silent, at that moment.
TEST(WsjtxMonitor, TheFollowedCopyGoneEndsItsTransmission)
{
    const QDateTime t0 = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);
    WsjtxStatus tx;
    tx.id = u"WSJT-X"_s;
    tx.dialHz = 14'074'000;
    tx.mode = u"FT8"_s;
    tx.transmitting = true;
    for (const bool closes : {true, false}) {
        WsjtxMonitor monitor;
        QList<Transmission> started, ended;
        QObject::connect(&monitor, &WsjtxMonitor::transmissionStarted, [&](const Transmission &t) { started << t; });
        QObject::connect(&monitor, &WsjtxMonitor::transmissionEnded, [&](const Transmission &t) { ended << t; });
        monitor.take(tx, t0);
        monitor.take(tx, t0.addSecs(5));
        ASSERT_EQ(started.size(), 1);
        const QDateTime gone = t0.addSecs(closes ? 10 : 61);
        if (closes)
            monitor.take(WsjtxClose{u"WSJT-X"_s}, gone);
        monitor.tick(t0.addSecs(60));
        EXPECT_EQ(ended.isEmpty(), !closes);
        monitor.tick(t0.addSecs(61));
        ASSERT_EQ(ended.size(), 1);
        EXPECT_EQ(ended.first().end, gone);
        EXPECT_TRUE(monitor.instances().all().isEmpty());
    }
}

namespace {

QJsonArray independentReading(const QStringList &arguments)
{
    QProcess reader;
    reader.start(QStandardPaths::findExecutable(u"python3"_s),
                 QStringList{QStringLiteral(TAVIK_TOOLS_DIR "/wsjtx/read_pcapng.py")} + arguments);
    if (!reader.waitForFinished(60'000) || reader.exitCode() != 0)
        return {};
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
}

QJsonValue isoOrNull(const QDateTime &t)
{
    return t.isValid() ? QJsonValue(t.toUTC().toString(Qt::ISODateWithMs)) : QJsonValue();
}

struct ClockGuard
{
    ~ClockGuard() { Clock::reset(); }
};

} // namespace

// Both recordings are sent over loopback to the listener, each datagram as
// soon as the one before was taken, with the clock at its recorded time; the
// transmissions the program makes of them are those the independent reader
// of the captures finds.
TEST(WsjtxListener, RecordingsReplayedGiveTheTransmissionsOfTheIndependentReading)
{
    if (QStandardPaths::findExecutable(u"python3"_s).isEmpty())
        GTEST_SKIP() << "python3 is needed for the independent reading of the recordings";
    ClockGuard guard;
    for (const char *name : {"wsjt-x.pcapng", "wsjt-x-20230307-1017.pcapng"}) {
        SCOPED_TRACE(name);
        const QString capture = QStringLiteral(TAVIK_TEST_DATA "/wsjtx/") + QString::fromLatin1(name);
        const QJsonArray datagrams = independentReading({u"--datagrams"_s, capture});
        const QJsonArray expected = independentReading({u"--callsign"_s, u"N1SH"_s, capture});
        ASSERT_GT(datagrams.size(), 500);
        ASSERT_GE(expected.size(), 6);

        WsjtxMonitor monitor;
        monitor.setOperatorCallsign(u"N1SH"_s);
        ASSERT_TRUE(monitor.listener().start(QHostAddress::LocalHost, 0));
        QJsonArray made;
        auto add = [&](const Transmission &t) {
            made.append(QJsonObject{{u"start"_s, isoOrNull(t.start)}, {u"end"_s, isoOrNull(t.end)},
                                    {u"dial_hz"_s, qint64(t.dialHz)}, {u"band"_s, t.band},
                                    {u"mode"_s, t.mode}, {u"tx_df"_s, qint64(t.txDf)}});
        };
        QObject::connect(&monitor, &WsjtxMonitor::transmissionEnded, add);
        int heard = 0;
        QObject::connect(&monitor.listener(), &WsjtxListener::messageReceived, [&] { ++heard; });

        QUdpSocket sender;
        int sent = 0;
        for (const QJsonValue &d : datagrams) {
            const QJsonObject o = d.toObject();
            const int type = o[u"message"_s].toObject()[u"type"_s].toInt(-1);
            Clock::set(QDateTime::fromString(o[u"time"_s].toString(), Qt::ISODateWithMs));
            sender.writeDatagram(QByteArray::fromHex(o[u"payload"_s].toString().toLatin1()), QHostAddress::LocalHost,
                                 monitor.listener().localPort());
            // Decodes and the like pass unheard; they arrive before the next one waited for.
            if (type == 0 || type == 1 || type == 6) {
                ++sent;
                ASSERT_TRUE(QTest::qWaitFor([&] { return heard == sent; }, 5000)) << sent;
            }
        }
        if (monitor.running())
            add(*monitor.running());
        EXPECT_EQ(made, expected);
        EXPECT_EQ(monitor.listener().droppedCount(), 0);
    }
}

TEST(WsjtxListener, UnreadableDatagramsAreDroppedCountedAndToldOnce)
{
    WsjtxListener listener;
    ASSERT_TRUE(listener.start(QHostAddress::LocalHost, 0));
    QStringList told;
    int heard = 0;
    QObject::connect(&listener, &WsjtxListener::firstDropped, [&](const QString &text) { told << text; });
    QObject::connect(&listener, &WsjtxListener::messageReceived, [&] { ++heard; });
    QUdpSocket sender;
    for (const QByteArray &d : {status(2, "WSJT-X"_ba, true, 9), "\x12\x34\x56\x78 not WSJT-X"_ba,
                                header(2, 6, "WSJT-X"_ba)})
        sender.writeDatagram(d, QHostAddress::LocalHost, listener.localPort());
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard == 1; }, 5000));
    EXPECT_EQ(listener.droppedCount(), 2);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.first().contains(u"cut short"_s)) << told.first().toStdString();
}

TEST(WsjtxListener, AUnicastPortHeldByAnotherProgramIsToldOnceAndNotTaken)
{
    for (const QUdpSocket::BindMode mode : {QUdpSocket::BindMode(QUdpSocket::DefaultForPlatform), QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint}) {
        QUdpSocket holder;
        ASSERT_TRUE(holder.bind(QHostAddress::LocalHost, 0, mode));
        const quint16 port = holder.localPort();
        WsjtxListener listener;
        QStringList problems;
        QObject::connect(&listener, &WsjtxListener::problem, [&](const QString &text) { problems << text; });
        EXPECT_FALSE(listener.start(QHostAddress::LocalHost, port));
        EXPECT_FALSE(listener.start(QHostAddress::LocalHost, port));
        EXPECT_EQ(listener.state(), WsjtxListener::State::PortInUse);
        ASSERT_EQ(problems.size(), 1);
        EXPECT_TRUE(problems.first().contains(QString::number(port)) && problems.first().contains(u"multicast"_s))
            << problems.first().toStdString();

        QUdpSocket sender;
        sender.writeDatagram(header(2, 6, "WSJT-X"_ba), QHostAddress::LocalHost, port);
        EXPECT_TRUE(QTest::qWaitFor([&] { return holder.hasPendingDatagrams(); }, 5000));
    }
}

TEST(WsjtxListener, TwoListenersShareAMulticastGroupOnLoopback)
{
    const QHostAddress group(u"239.255.77.77"_s);
    WsjtxListener first;
    WsjtxListener second;
    ASSERT_TRUE(first.start(group, 0));
    ASSERT_TRUE(second.start(group, first.localPort()));
    QNetworkInterface loopback;
    for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces()) {
        if (iface.flags().testFlag(QNetworkInterface::IsLoopBack))
            loopback = iface;
    }
    if (!first.joinedInterfaces().contains(loopback.name()) || !second.joinedInterfaces().contains(loopback.name()))
        GTEST_SKIP() << "This machine cannot join a multicast group on loopback";

    int heard[2] = {0, 0};
    QObject::connect(&first, &WsjtxListener::messageReceived, [&] { ++heard[0]; });
    QObject::connect(&second, &WsjtxListener::messageReceived, [&] { ++heard[1]; });
    QUdpSocket sender;
    ASSERT_TRUE(sender.bind(QHostAddress::AnyIPv4, 0));
    sender.setMulticastInterface(loopback);
    sender.setSocketOption(QAbstractSocket::MulticastLoopbackOption, 1);
    sender.writeDatagram(header(2, 0, "WSJT-X"_ba) + field(quint32(3)), group, first.localPort());
    EXPECT_TRUE(QTest::qWaitFor([&] { return heard[0] == 1 && heard[1] == 1; }, 5000));
}
