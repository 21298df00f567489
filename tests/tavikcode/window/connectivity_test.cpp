#include "../../networkfixture.h"

using ConnectivityTest = NetworkTest;

namespace {
const QColor kGreen(0x00, 0x80, 0x00);
const QColor kRed(0xFF, 0x00, 0x00);
}

TEST_F(ConnectivityTest, OneEchoTurnsTheIndicatorGreenAndNothingMoreIsSentWhileNothingChanges)
{
    TForm1 &f = createWith(standInEndpoints());
    localAddress = "10.0.0.2"_qs;
    f.IdIPWatch1->check();
    f.connectAtActivation();
    settle();
    EXPECT_EQ(f.state.LocalIP, "10.0.0.2"_qs);
    EXPECT_EQ(f.state.PublicIP, "198.51.100.7"_qs);
    EXPECT_EQ(f.Shape1->brushColour(), kGreen);
    for (int i = 0; i < 3; ++i)
        f.Timer1Timer();
    EXPECT_EQ(targets(), QStringList{"/"_qs});
}

TEST_F(ConnectivityTest, ALostAddressTurnsRedAtOnceAndIsCheckedAgainWhenItReturns)
{
    TForm1 &f = createWith(standInEndpoints());
    localAddress = "10.0.0.2"_qs;
    f.IdIPWatch1->check();
    f.Timer1Timer();
    settle();
    f.Timer1Timer();
    EXPECT_EQ(f.Shape1->brushColour(), kGreen);

    localAddress.clear();
    f.IdIPWatch1->check(); // the watcher's event reaches the handler
    EXPECT_EQ(f.state.PublicIP, "127.0.0.1"_qs);
    EXPECT_EQ(f.Shape1->brushColour(), kRed);
    f.Timer1Timer();
    EXPECT_TRUE(f.state.LocalIP.isEmpty());
    EXPECT_TRUE(f.state.PublicIP.isEmpty());
    EXPECT_EQ(targets().size(), 1);

    localAddress = "10.0.0.3"_qs;
    f.IdIPWatch1->check();
    f.Timer1Timer();
    settle();
    EXPECT_EQ(f.Shape1->brushColour(), kGreen);
    EXPECT_EQ(targets().size(), 2);
}

TEST_F(ConnectivityTest, ChangesBeforeTheSecondTickAreIgnored)
{
    TForm1 &f = createWith(standInEndpoints());
    f.state.PublicIP = "198.51.100.7"_qs;
    f.state.TickCounter = 1;
    f.IdIPWatch1StatusChanged();
    EXPECT_EQ(f.state.PublicIP, "198.51.100.7"_qs);
    f.state.TickCounter = 2;
    f.IdIPWatch1StatusChanged();
    EXPECT_EQ(f.state.PublicIP, "127.0.0.1"_qs);
}

TEST_F(ConnectivityTest, AFailedEchoStaysRedWithoutABoxAndIsTriedAgain)
{
    Endpoints e = standInEndpoints();
    e.echoAddress = "http://127.0.0.1:1/"_qs;
    TForm1 &f = createWith(e);
    localAddress = "10.0.0.2"_qs;
    f.IdIPWatch1->check();
    for (int i = 0; i < 3; ++i) {
        f.Timer1Timer();
        settle();
    }
    EXPECT_TRUE(f.state.PublicIP.isEmpty());
    EXPECT_EQ(f.Shape1->brushColour(), kRed);
    EXPECT_TRUE(dialogs.empty());
    EXPECT_EQ(readBytes("Taviklog.txt"_qs).count("Echo error: "), 1);

    server.setEchoText("   ");
    Endpoints good = standInEndpoints();
    TForm1 &g = createWith(good);
    g.IdIPWatch1->check();
    g.Timer1Timer();
    settle();
    EXPECT_TRUE(g.state.PublicIP.isEmpty()); // a blank answer is no address
}

TEST_F(ConnectivityTest, OnlyLoopbackCountsAsOffline)
{
    TForm1 &f = createWith(standInEndpoints());
    localAddress = "127.0.0.1"_qs;
    f.IdIPWatch1->check();
    f.Timer1Timer();
    EXPECT_TRUE(targets().isEmpty());
    EXPECT_EQ(f.Shape1->brushColour(), kRed);
}

TEST_F(ConnectivityTest, ActivationAlreadyKnowsTheMachineIsOnline)
{
    localAddress = "10.0.0.2"_qs;
    TForm1 &f = createWith(standInEndpoints());
    f.connectAtActivation();
    settle();
    EXPECT_EQ(f.state.PublicIP, "198.51.100.7"_qs);
    EXPECT_EQ(targets(), QStringList{"/"_qs});
}
