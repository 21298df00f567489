#include "../../formfixture.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>

using CallsignTest = FormTest;

TEST_F(CallsignTest, WsjtxSettingsAreCopiedAndTheirCallsignRead)
{
    QDir().mkpath("config"_qs);
    writeBytes(path("config/WSJT-X.ini"_qs), "[Configuration]\r\nMyCall=g4xyz  \r\n");
    TForm1 &f = create();
    f.takeOverWsjtxSettings();
    EXPECT_EQ(readBytes("WSJT-X.INI"_qs), QByteArray("[Configuration]\r\nMyCall=g4xyz  \r\n"));
    EXPECT_EQ(f.state.Callsign, "G4XYZ"_qs);
    EXPECT_EQ(f.Label11->text(), "G4XYZ"_qs);
}

TEST_F(CallsignTest, TheProgramsOwnFileWinsAndIsReadWithoutWsjtx)
{
    writeBytes("TavikRepView.ini"_qs, "MyCall=M0ABC\r\n");
    TForm1 &f = create();
    f.takeOverWsjtxSettings();
    EXPECT_EQ(f.state.Callsign, "M0ABC"_qs);

    writeBytes("WSJT-X.INI"_qs, "MyCall=G4XYZ\r\n");
    f.ReadCallsign();
    EXPECT_EQ(f.state.Callsign, "M0ABC"_qs);
}

TEST_F(CallsignTest, PromptTakesTheEntryAtTheNextTickAndWritesTheFile)
{
    TForm1 &f = create();
    f.PollCallsignEntry();
    EXPECT_FALSE(f.Panel1->isHidden());

    f.Edit4->setText(" m0abc "_qs);
    EXPECT_EQ(f.Edit4->text(), " m0abc "_qs.toUpper());
    f.Edit4KeyPress(u'\r');
    EXPECT_EQ(f.state.Callsign, " M0ABC \r"_qs);
    f.PollCallsignEntry();
    EXPECT_EQ(f.state.Callsign, " M0ABC "_qs);
    EXPECT_EQ(readBytes("TavikRepView.ini"_qs), QByteArray("MyCall=M0ABC\r\n"));
    EXPECT_TRUE(f.Panel1->isHidden());
    EXPECT_TRUE(f.Edit4->text().isEmpty());
    EXPECT_EQ(f.Label11->text(), "Callsign"_qs);
}

TEST_F(CallsignTest, AnEmptyEntryIsStoredAndThePromptComesBack)
{
    TForm1 &f = create();
    f.PollCallsignEntry();
    f.Edit4KeyPress(u'\r');
    f.PollCallsignEntry();
    EXPECT_EQ(readBytes("TavikRepView.ini"_qs), QByteArray("MyCall=\r\n"));
    EXPECT_TRUE(f.Panel1->isHidden());
    f.PollCallsignEntry();
    EXPECT_FALSE(f.Panel1->isHidden());
}
