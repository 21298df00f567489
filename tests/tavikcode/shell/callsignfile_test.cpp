#include "shell/callsignfile.h"

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
