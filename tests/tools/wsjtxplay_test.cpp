#include "wsjtxplay.h"
#include "wsjtx/wsjtxlistener.h"
#include "wsjtx/wsjtxmessage.h"

#include "../testsupport.h"

#include <QList>

// What the stand-in sends as WSJT-X reads as the program reads WSJT-X.
TEST(WsjtxPlay, ItsMessagesDecodeAsWsjtxs)
{
    const WsjtxDecodeResult heartbeat = decodeWsjtxDatagram(WsjtxPlay::heartbeat());
    ASSERT_TRUE(heartbeat.message);
    const auto &beat = std::get<WsjtxHeartbeat>(*heartbeat.message);
    EXPECT_EQ(beat.id, u"WSJT-X"_qs);
    EXPECT_EQ(beat.maximumSchema, 3u);
    EXPECT_EQ(beat.version, u"2.6.1"_qs);

    const WsjtxDecodeResult status
        = decodeWsjtxDatagram(WsjtxPlay::status({ demo::B40m, true, true }, u"N0CALL"_qs, u"IO91wm"_qs));
    ASSERT_TRUE(status.message);
    const auto &s = std::get<WsjtxStatus>(*status.message);
    EXPECT_EQ(s.dialHz, 7'074'000u);
    EXPECT_EQ(s.mode, u"FT8"_qs);
    EXPECT_TRUE(s.txEnabled);
    EXPECT_TRUE(s.transmitting);
    EXPECT_EQ(s.deCall, u"N0CALL"_qs);
    EXPECT_EQ(s.deGrid, u"IO91wm"_qs);
    EXPECT_EQ(s.txMessage, u"CQ N0CALL IO91"_qs) << "every field read, to the last";
    EXPECT_FALSE(s.trPeriodSeconds) << "unset, as WSJT-X sends it for FT8";

    const WsjtxDecodeResult close = decodeWsjtxDatagram(WsjtxPlay::closing());
    ASSERT_TRUE(close.message);
    EXPECT_TRUE(std::holds_alternative<WsjtxClose>(*close.message));
}

// Over loopback to the program's listener: a heartbeat and a status at
// once, a Close at the end.
TEST(WsjtxPlay, TheListenerHearsItOverLoopback)
{
    WsjtxListener listener;
    ASSERT_TRUE(listener.start(QHostAddress::LocalHost, 0));
    QList<WsjtxMessage> heard;
    QObject::connect(&listener, &WsjtxListener::messageReceived, [&](const WsjtxMessage &m) { heard += m; });
    const qint64 inAnHour = QDateTime::currentSecsSinceEpoch() + 3600;
    WsjtxPlay play(demo::OnAir::startingAt(inAnHour), u"N0CALL"_qs, u"IO91"_qs);
    ASSERT_TRUE(play.start(QHostAddress::LocalHost, listener.localPort()));
    play.close();
    QTRY_COMPARE(heard.size(), 3);
    EXPECT_TRUE(std::holds_alternative<WsjtxHeartbeat>(heard.at(0)));
    const auto status = std::get<WsjtxStatus>(heard.at(1));
    EXPECT_FALSE(status.txEnabled) << "before its first cycle";
    EXPECT_EQ(status.dialHz, 14'074'000u);
    EXPECT_TRUE(std::holds_alternative<WsjtxClose>(heard.at(2)));
}
