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
