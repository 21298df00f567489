#include "widgets.h"

#include "../../formfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
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
