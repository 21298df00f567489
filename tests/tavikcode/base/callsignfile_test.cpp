#include "base/callsignfile.h"

#include "../../testsupport.h"

TEST(CallsignFile, TakesTheLastMyCallLineTrimmedInCapitals)
{
    struct Case { QStringList lines; const char *callsign; };
    const Case cases[] = {
        {{"[Configuration]"_qs, "MyCall=g4xyz   "_qs}, "G4XYZ"},
        {{"MyCall=ABCDEFGHIJKLMNOPQRSTUVWXYZ"_qs}, "ABCDEFGHIJKLMNOPQRST"},
        {{"mycall=G4XYZ"_qs, " MyCall=G4XYZ"_qs}, ""},
        {{"[A]"_qs, "MyCall=G4AAA"_qs, "[B]"_qs, "MyCall=G4BBB"_qs}, "G4BBB"},
        {{"MyCall=G4AAA"_qs, "MyCall="_qs}, ""},
        {{"MyCall=  m0abc/p =x"_qs}, "M0ABC/P =X"},
        {{}, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(callsignFromLines(c.lines), QString::fromUtf8(c.callsign)) << c.lines.join(u'|').toStdString();
}

TEST(CallsignFile, WritesOneTrimmedLine)
{
    EXPECT_EQ(callsignFileLine("  g4xyz \r"_qs), "MyCall=G4XYZ"_qs);
    EXPECT_EQ(callsignFileLine(""_qs), "MyCall="_qs);
}

TEST(CallsignFile, TakesTheLocatorFromTheLastMyGridLineByTheSameRules)
{
    struct Case { QStringList lines; const char *grid; };
    const Case cases[] = {
        {{"[Configuration]"_qs, "MyCall=G4XYZ"_qs, "MyGrid=io91wm  "_qs}, "IO91WM"},
        {{"MyGrid=IO91wm47ab0123456789xyz"_qs}, "IO91WM47AB0123456789"},
        {{"mygrid=IO91"_qs, " MyGrid=IO91"_qs, "MyGridSquare=IO91"_qs}, ""},
        {{"[A]"_qs, "MyGrid=IO91"_qs, "[B]"_qs, "MyGrid=JO62"_qs}, "JO62"},
        {{"MyGrid=IO91"_qs, "MyGrid="_qs}, ""},
        {{"MyCall=G4XYZ"_qs}, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(gridFromLines(c.lines), QString::fromUtf8(c.grid)) << c.lines.join(u'|').toStdString();
}

TEST(CallsignFile, TakesWsjtxUdpServerAndPortWithItsDefaults)
{
    using Target = std::optional<std::pair<QString, quint16>>;
    struct Case { QStringList lines; Target target; };
    const Case cases[] = {
        {{"[Configuration]"_qs, "UDPServer=239.255.0.1 "_qs, "UDPServerPort=2238"_qs},
         std::pair{"239.255.0.1"_qs, quint16(2238)}},
        {{"UDPServer=10.0.0.1"_qs, "UDPServer=127.0.0.2"_qs, "UDPServerPort=1"_qs, "UDPServerPort=65535"_qs},
         std::pair{"127.0.0.2"_qs, quint16(65535)}},
        {{"MyCall=G4XYZ"_qs}, std::pair{"127.0.0.1"_qs, quint16(2237)}},
        {{"udpserver=10.0.0.1"_qs, " UDPServerPort=9"_qs}, std::pair{"127.0.0.1"_qs, quint16(2237)}},
        {{"UDPServerPort=65536"_qs}, std::nullopt},
        {{"UDPServerPort=0"_qs}, std::nullopt},
        {{"UDPServerPort=22x"_qs}, std::nullopt},
        {{"UDPServerPort="_qs}, std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(udpServerFromLines(c.lines), c.target) << c.lines.join(u'|').toStdString();
}
