#include "../../formfixture.h"

#include "archive/reportarchive.h"
#include "archive/sqlitedb.h"
#include "base/filenames.h"

#include <QFile>

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include <functional>
#include <QLineEdit>
#include <QPlainTextEdit>

using HistoryTest = FormTest;

namespace {
QByteArray report(int day, const char *receiver)
{
    // flowStartSeconds of 12:00 UTC on the given day of December 2026
    const qint64 seconds = QDateTime(QDate(2026, 12, day), QTime(12, 0), Qt::UTC).toSecsSinceEpoch();
    return "<receptionReport receiverCallsign=\"" + QByteArray(receiver) + "\" senderCallsign=\"G4XYZ\" flowStartSeconds=\""
        + QByteArray::number(seconds) + "\" sNR=\"-5\" />\n";
}
} // namespace

TEST_F(HistoryTest, TheTickFoldsANewAnswerIntoTheHistoriesAndShowsTheSequenceNumber)
{
    TForm1 &f = create();
    f.state.Callsign = "G4XYZ"_qs;
    writeBytes("TavikRep.txt"_qs,
               "<receptionReports>\n" + report(2, "DL1AA") + report(3, "K1AB")
                   + "<activeReceiver callsign=\"DL1AA\" locator=\"JO62QM\" />\n<lastSequenceNumber value=\"9876\"/>\n"
                   + "</receptionReports>\n");
    f.Timer1Timer();
    EXPECT_EQ(f.state.LastSeqNo, "9876"_qs);
    EXPECT_EQ(f.Label12->text(), "9876"_qs);
    const QByteArray reports = readBytes("TavikRpts.txt"_qs);
    EXPECT_TRUE(reports.startsWith("03Dec2026 12:00:00,  K1AB,")) << reports.constData();
    EXPECT_EQ(reports.count("\r\n"), 2);
    EXPECT_EQ(readBytes("TavikCalls.txt"_qs), QByteArray("DL1AA\r\n"));
    EXPECT_EQ(readBytes("Tavikgrids.txt"_qs), QByteArray("DL1AA,JO62QM\r\n"));
    EXPECT_EQ(f.RichEdit1->document()->blockCount(), 2);
    EXPECT_NE(f.state.ResponseStamp, 0);

    // The same answer again changes nothing in the history.
    f.state.ResponseStamp = 0;
    f.Timer1Timer();
    EXPECT_EQ(readBytes("TavikRpts.txt"_qs), reports);
}

TEST_F(HistoryTest, TheOverrideBoxStandsInForTheCallsignDuringThePass)
{
    TForm1 &f = create();
    f.state.Callsign = "G4XYZ"_qs;
    f.Edit5->setText("K9ZZ"_qs);
    f.state.ResponseLines.setText(QString(QString::fromUtf8(report(2, "DL1AA")) + "<x/>"_qs));
    f.ProcessResponse();
    EXPECT_FALSE(QFile::exists("TavikRpts.txt"_qs));
    EXPECT_EQ(f.state.Callsign, "G4XYZ"_qs);

    // A report of the override callsign, and one whose sender begins with it, count.
    QByteArray overridden = report(4, "JA1AA");
    overridden.replace("G4XYZ", "K9ZZ");
    QByteArray portable = report(5, "VK2AA");
    portable.replace("G4XYZ", "K9ZZ/P");
    f.state.ResponseLines.setText(QString::fromUtf8(report(2, "DL1AA") + overridden + portable + "<x/>"));
    f.ProcessResponse();
    const QByteArray reports = readBytes("TavikRpts.txt"_qs);
    EXPECT_EQ(reports.count("\r\n"), 2) << reports.constData();
    EXPECT_TRUE(reports.startsWith("05Dec2026 12:00:00,  VK2AA,")) << reports.constData();
    EXPECT_TRUE(reports.contains("04Dec2026 12:00:00,  JA1AA,"));
    EXPECT_EQ(f.state.Callsign, "G4XYZ"_qs);
}

TEST_F(HistoryTest, AFailedPassKeepsTheSequenceNumberAndIsReportedOnce)
{
    TForm1 &f = create();
    f.state.Callsign = "G4XYZ"_qs;
    f.state.LastSeqNo = "100"_qs;
    QDir().mkdir("Tavikgrids.txt"_qs); // a folder where the grids history belongs
    writeBytes("TavikRep.txt"_qs, "<lastSequenceNumber value=\"200\"/>\n</end>\n");
    for (int i = 0; i < 4; ++i)
        f.runTick();
    EXPECT_EQ(f.state.LastSeqNo, "100"_qs);
    EXPECT_EQ(f.state.ResponseStamp, 0);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs.front().kind, Dialogs::Kind::Error);
    EXPECT_EQ(readBytes("Taviklog.txt"_qs).count("Error: "), 1);

    QDir().rmdir("Tavikgrids.txt"_qs);
    f.runTick();
    EXPECT_EQ(f.state.LastSeqNo, "200"_qs);
    EXPECT_NE(f.state.ResponseStamp, 0);
}

TEST_F(HistoryTest, ClearFilesForgetsReportsButKeepsReceiversAndGrids)
{
    TForm1 &f = create();
    writeBytes("TavikRepView.ini"_qs, "MyCall=G4XYZ\r\n");
    f.ReadCallsign();
    for (const char *name : {"TavikRpts.txt", "TavikRep.txt", "TavikCalls.txt", "Tavikgrids.txt"})
        writeBytes(QString::fromLatin1(name), "x\r\n");
    f.state.LastSeqNo = "5"_qs;
    f.Edit5->setText("K9ZZ"_qs);
    f.RichEdit1->setPlainText("line"_qs);
    const QDateTime last = f.state.LastGetTime;
    f.Button7Click();
    EXPECT_FALSE(QFile::exists("TavikRpts.txt"_qs));
    EXPECT_FALSE(QFile::exists("TavikRep.txt"_qs));
    EXPECT_TRUE(QFile::exists("TavikCalls.txt"_qs));
    EXPECT_TRUE(QFile::exists("Tavikgrids.txt"_qs));
    EXPECT_TRUE(f.state.LastSeqNo.isEmpty());
    EXPECT_TRUE(f.Edit5->text().isEmpty());
    EXPECT_TRUE(f.RichEdit1->toPlainText().isEmpty());
    EXPECT_EQ(f.state.LastGetTime, last);

    writeBytes("TavikRepView.ini"_qs, "MyCall=M0NEW\r\n");
    f.ClearHistoryFiles();
    EXPECT_EQ(f.state.Callsign, "M0NEW"_qs);
    EXPECT_EQ(f.state.LastGetTime, Clock::nowLocal().addDays(-20));
}

TEST_F(HistoryTest, AFileThatCannotBeDeletedStopsNoOtherStepOfClearingAndIsToldOnce)
{
    struct Case { const char *name; std::function<void(TForm1 &)> press; };
    const Case cases[] = {
        {"Clr Files", [](TForm1 &f) { f.Button7->click(); }},
        {"Enter in the override box", [](TForm1 &f) { emit f.Edit5->returnPressed(); }},
    };
    for (const Case &c : cases) {
        dialogs.clear();
        TForm1 &f = create();
        ASSERT_TRUE(QDir().mkdir("TavikRpts.txt"_qs)) << c.name; // a folder bears the history's name
        writeBytes("TavikRep.txt"_qs, "x\r\n");
        f.RichEdit1->setPlainText("line"_qs);
        f.StringGrid1->setItem(1, 0, new QTableWidgetItem("cell"_qs));
        f.state.LastSeqNo = "5"_qs;
        c.press(f);
        EXPECT_FALSE(QFile::exists("TavikRep.txt"_qs)) << c.name;
        EXPECT_TRUE(f.RichEdit1->toPlainText().isEmpty()) << c.name;
        EXPECT_EQ(f.StringGrid1->item(1, 0), nullptr) << c.name;
        ASSERT_EQ(dialogs.size(), 1u) << c.name;
        EXPECT_EQ(dialogs.front().kind, Dialogs::Kind::Error) << c.name;
        EXPECT_TRUE(dialogs.front().text.contains("TavikRpts.txt"_qs)) << dialogs.front().text.toStdString();
        ASSERT_TRUE(QDir().rmdir("TavikRpts.txt"_qs));
    }
}

// The archive's receivers were seen when the answer came in: for the answer
// stored before activation only the file's time tells when; after that, the
// query's.
TEST_F(HistoryTest, TheArchiveSeesTheReceiversWhenTheAnswerCameIn)
{
    TForm1 &f = create();
    f.state.Callsign = "G4XYZ"_qs;
    f.openArchive();
    const auto answer = [](const char *receiver) -> QByteArray {
        return "<receptionReports>\n<activeReceiver callsign=\"" + QByteArray(receiver)
            + "\" locator=\"JO62QM\" />\n</receptionReports>\n";
    };
    const QDateTime stored(QDate(2026, 12, 1), QTime(8, 0), Qt::UTC);
    writeBytes(files::kResponse, answer("DL1AA"));
    {
        QFile file(files::kResponse);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(stored, QFileDevice::FileModificationTime));
    }
    f.Timer1Timer();
    f.state.ResponseArrived = stored.addSecs(3600);
    writeBytes(files::kResponse, answer("K1AB"));
    f.Timer1Timer();
    f.archive().waitForIdle();
    SqliteDb db(files::kArchive, SqliteDb::ReadOnly);
    EXPECT_EQ(db.integer("SELECT first_seen FROM receiver WHERE callsign = 'DL1AA'"), stored.toSecsSinceEpoch());
    EXPECT_EQ(db.integer("SELECT first_seen FROM receiver WHERE callsign = 'K1AB'"),
              stored.addSecs(3600).toSecsSinceEpoch());
}
