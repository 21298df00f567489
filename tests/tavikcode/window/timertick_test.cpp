#include "base/fileutil.h"
#include "base/filenames.h"
#include "platform/addresswatcher.h"
#include "parts/widgets.h"

#include "../../formfixture.h"
#include "../views/viewsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

class TickTest : public FormTest
{
protected:
    TForm1 &ready()
    {
        TForm1 &f = create();
        f.state.LastGetTime = Clock::nowLocal();
        return f;
    }
};

TEST_F(TickTest, TheBarShowsAThirdOfTheSecondsSinceTheLastQuery)
{
    TForm1 &f = ready();
    f.state.PublicIP = "198.51.100.7"_qs; // online, no callsign: nothing is queried
    const QDateTime last = f.state.LastGetTime;
    for (auto [seconds, position] : {std::pair{0, 0}, {2, 0}, {3, 1}, {299, 99}, {300, 100}, {900, 100}}) {
        Clock::set(last.addSecs(seconds));
        f.Timer1Timer();
        EXPECT_EQ(f.ProgressBar1->position(), position) << seconds;
    }
    EXPECT_EQ(f.state.LastGetTime, last);
    EXPECT_EQ(f.Label3->text(), "12:00:00"_qs);
    EXPECT_EQ(f.Label4->text(), "12:05:00"_qs);
    EXPECT_EQ(f.Label9->text(), "12:15:00"_qs);
}

TEST_F(TickTest, OfflineTheCycleStartsOverWithoutAQuery)
{
    TForm1 &f = ready();
    f.state.Callsign = "G4XYZ"_qs;
    const QDateTime start = f.state.LastGetTime;
    Clock::set(start.addSecs(300));
    f.Timer1Timer();
    EXPECT_EQ(f.state.LastGetTime, start);
    Clock::set(start.addSecs(301));
    f.Timer1Timer();
    EXPECT_EQ(f.state.LastGetTime, start.addSecs(301));
    EXPECT_EQ(f.Label3->text(), "12:05:01"_qs);
    EXPECT_EQ(f.Label4->text(), "12:10:01"_qs);
    EXPECT_EQ(f.ProgressBar1->position(), 0);
}

TEST_F(TickTest, ALastingFaultIsShownOnceAlsoWhenTheNetworkFlipsMeanwhile)
{
    TForm1 &f = ready();
    f.state.TickCounter = 5;
    writeBytes(files::kResponse, "<a/>\r\n</b>\r\n");
    ASSERT_TRUE(QDir().mkdir(files::kGrids)); // the pass cannot write the grids file
    f.runTick();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs.front().text.contains("Tavikgrids.txt"_qs)) << dialogs.front().text.toStdString();

    // The address watcher reports two flips; its handler runs through each time.
    for (const QString &address : {"10.0.0.2"_qs, QString()}) {
        localAddress = address;
        f.IdIPWatch1->check();
        f.runTick();
    }
    EXPECT_EQ(dialogs.size(), 1u);

    // The fault ends: a tick runs through, and the next fault is told again.
    ASSERT_TRUE(QDir().rmdir(files::kGrids));
    f.runTick();
    ASSERT_TRUE(QFile::remove(files::kGrids));
    ASSERT_TRUE(QDir().mkdir(files::kGrids));
    writeBytes(files::kResponse, "<c/>\r\n</d>\r\n");
    f.state.ResponseStamp = 0;
    f.runTick();
    EXPECT_EQ(dialogs.size(), 2u);
}

TEST_F(TickTest, CounterWrapsFrom3600To10)
{
    TForm1 &f = ready();
    f.state.TickCounter = 3599;
    f.Timer1Timer();
    EXPECT_EQ(f.state.TickCounter, 3600);
    f.Timer1Timer();
    EXPECT_EQ(f.state.TickCounter, 10);
}

TEST_F(TickTest, TableShowsOnlyWithTheReportListAndTheAlternateView)
{
    TForm1 &f = ready();
    f.Timer1Timer();
    EXPECT_TRUE(f.StringGrid1->isHidden());
    f.CheckBox1->setChecked(true);
    f.Timer1Timer();
    EXPECT_FALSE(f.StringGrid1->isHidden());
    EXPECT_EQ(f.Label2->text(), "Update Cycle Timing:"_qs);

    f.ComboBox1->setCurrentIndex(1);
    f.Timer1Timer();
    EXPECT_TRUE(f.StringGrid1->isHidden());
    EXPECT_EQ(f.Label2->text(), "Loading:"_qs);
    f.ComboBox1->setCurrentIndex(2);
    f.Timer1Timer();
    EXPECT_EQ(f.Label2->text(), "Processing grids:"_qs);
}

TEST_F(TickTest, ChoosingActiveStationsHidesTheTableAndCaptionsLoadingAtTheNextTick)
{
    TForm1 &f = ready();
    writeBytes(files::kCalls, "K1ABC\r\nK1ABD\r\n");
    f.CheckBox1->setChecked(true);
    f.Timer1Timer();
    ASSERT_FALSE(f.StringGrid1->isHidden());

    f.ComboBox1->setCurrentIndex(1);
    f.ComboBox1Change();
    EXPECT_TRUE(f.Label2->text().isEmpty());
    EXPECT_FALSE(f.StringGrid1->isHidden()); // until the tick
    f.Timer1Timer();
    EXPECT_TRUE(f.StringGrid1->isHidden());
    EXPECT_EQ(f.Label2->text(), "Loading:"_qs);
}

TEST_F(TickTest, ASelectorTextOfNoItemLeavesTheCaption)
{
    TForm1 &f = ready();
    f.ComboBox1->setEditable(true);
    f.ComboBox1->setEditText("Something else"_qs);
    f.Label2->setText("kept"_qs);
    f.Timer1Timer();
    EXPECT_EQ(f.Label2->text(), "kept"_qs);
}

TEST_F(TickTest, ARewrittenHistoryRedrawsTheListAndWithTheSwitchTheTable)
{
    TForm1 &f = ready();
    const auto write = [this](const QStringList &lines, const QDateTime &when) {
        writeBytes(files::kReports, crlfLines(lines));
        QFile file(files::kReports);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    };
    const QStringList two = {reportLine("07Dec2026 13:00:00"_qs, "G4ABC"_qs),
                             reportLine("07Dec2026 12:00:00"_qs, "K1ABC"_qs)};
    write(two, QDateTime(QDate(2026, 12, 7), QTime(11, 0, 0)));
    f.ComboBox1->setCurrentIndex(2); // the report list is redrawn whatever the selector shows
    f.Timer1Timer();
    EXPECT_EQ(viewLines(f.RichEdit1), two);
    EXPECT_EQ(f.state.ReportsStamp, fileutil::fileAge(files::kReports));
    EXPECT_EQ(f.StringGrid1->rowCount(), 50); // the switch is off: the table is not filled

    // Unchanged age: nothing is drawn again.
    f.RichEdit1->clear();
    f.Timer1Timer();
    EXPECT_TRUE(viewLines(f.RichEdit1).isEmpty());

    f.CheckBox1->blockSignals(true);
    f.CheckBox1->setChecked(true);
    f.CheckBox1->blockSignals(false);
    const QStringList three = two + QStringList{reportLine("06Dec2026 12:00:00"_qs, "DL1AB"_qs)};
    write(three, QDateTime(QDate(2026, 12, 7), QTime(11, 0, 4)));
    f.Timer1Timer();
    EXPECT_EQ(viewLines(f.RichEdit1), three);
    EXPECT_EQ(f.StringGrid1->rowCount(), 4);
    EXPECT_EQ(f.Edit1->text(), "3"_qs);
}

TEST_F(TickTest, TheMeButtonShowsWhileTheOverrideBoxHoldsText)
{
    TForm1 &f = ready();
    f.Edit5->setText("G4XYZ"_qs);
    f.Timer1Timer();
    EXPECT_FALSE(f.Button5->isHidden());
    f.Edit5->clear();
    f.Timer1Timer();
    EXPECT_TRUE(f.Button5->isHidden());
}
