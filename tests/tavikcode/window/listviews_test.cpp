#include "base/fileutil.h"
#include "base/filenames.h"
#include "parts/widgets.h"

#include "../../formfixture.h"
#include "../views/viewsupport.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <vector>

class ListViewsTest : public FormTest
{
protected:
    static QStringList callsigns(const char *prefix, int count, int width)
    {
        QStringList list;
        for (int i = 0; i < count; ++i)
            list << QString::fromUtf8(prefix) + QStringLiteral("%1").arg(i, width - int(qstrlen(prefix)), 10, QChar(u'0'));
        return list;
    }
};

TEST_F(ListViewsTest, ReportListAlternatesBlueAndBlackFromTheTop)
{
    TForm1 &f = create();
    const QStringList lines = {reportLine("07Dec2026 13:00:00"_qs, "G4ABC"_qs), reportLine("07Dec2026 12:00:00"_qs, "K1ABC"_qs),
                               reportLine("06Dec2026 11:00:00"_qs, "DL1AB"_qs)};
    writeBytes(files::kReports, crlfLines(lines));
    f.RichEdit1->setPlainText("old"_qs);

    f.ShowReports();

    EXPECT_EQ(viewLines(f.RichEdit1), lines);
    EXPECT_EQ(viewColours(f.RichEdit1), (std::vector<QColor>{kBlueText, kBlackText, kBlueText}));
    EXPECT_EQ(f.Edit1->text(), "3"_qs);
    EXPECT_EQ(f.RichEdit1->textCursor().position(), 0);
}

TEST_F(ListViewsTest, HistoryOfOneReportShowsThatReportInBlue)
{
    TForm1 &f = create();
    writeBytes(files::kReports, crlfLines({reportLine("07Dec2026 13:00:00"_qs, "G4ABC"_qs)}));
    f.ShowReports();
    EXPECT_EQ(viewLines(f.RichEdit1), QStringList{reportLine("07Dec2026 13:00:00"_qs, "G4ABC"_qs)});
    EXPECT_EQ(viewColours(f.RichEdit1), std::vector<QColor>{kBlueText});
    EXPECT_EQ(f.Edit1->text(), "1"_qs);
}

TEST_F(ListViewsTest, HistoryWithoutAReportLineShowsTheMessageInRed)
{
    TForm1 &f = create();
    f.state.Callsign = "G4XYZ"_qs;
    writeBytes(files::kReports, "\r\n \t\r\n");
    f.ShowReports();
    EXPECT_EQ(viewLines(f.RichEdit1),
              (QStringList{""_qs, "No specific reception reports for G4XYZ are available."_qs}));
    EXPECT_EQ(viewColours(f.RichEdit1).at(1), kRedText);
    EXPECT_EQ(f.RichEdit1->font().pointSize(), 10);
    EXPECT_EQ(f.Edit1->text(), "0"_qs);
}

TEST_F(ListViewsTest, MissingOrEmptyHistoryCountsZeroAndKeepsTheList)
{
    for (bool empty : {false, true}) {
        TForm1 &f = create();
        if (empty)
            writeBytes(files::kReports, "");
        f.RichEdit1->setPlainText("kept"_qs);
        f.Edit1->setText("7"_qs);
        f.ShowReports();
        EXPECT_EQ(viewLines(f.RichEdit1), QStringList{"kept"_qs}) << empty;
        EXPECT_EQ(f.Edit1->text(), "0"_qs) << empty;
    }
}

TEST_F(ListViewsTest, SortAndShowSortsThreeLinesAndWritesThemBack)
{
    TForm1 &f = create();
    const QString oldest = reportLine("06Dec2026 11:00:00"_qs, "DL1AB"_qs);
    const QString middle = reportLine("07Dec2026 12:00:00"_qs, "K1ABC"_qs);
    const QString newest = reportLine("07Dec2026 13:00:00"_qs, "G4ABC"_qs);
    writeBytes(files::kReports, crlfLines({oldest, middle, newest}));

    f.SortAndShowReports();

    EXPECT_EQ(readBytes(files::kReports), crlfLines({newest, middle, oldest}));
    EXPECT_EQ(viewLines(f.RichEdit1), (QStringList{newest, middle, oldest}));
    EXPECT_EQ(viewColours(f.RichEdit1), (std::vector<QColor>{kBlueText, kBlackText, kBlueText}));
    EXPECT_EQ(f.Edit1->text(), "3"_qs);
    EXPECT_EQ(f.state.ReportsStamp, fileutil::FileSize64(files::kReports));
}

TEST_F(ListViewsTest, SortAndShowKeepsOneOrTwoLinesInFileOrderAndShowsThem)
{
    const QString older = reportLine("06Dec2026 11:00:00"_qs, "DL1AB"_qs);
    const QString newer = reportLine("07Dec2026 13:00:00"_qs, "G4ABC"_qs);
    for (const QStringList &lines : {QStringList{older, newer}, QStringList{older}}) {
        TForm1 &f = create();
        writeBytes(files::kReports, crlfLines(lines));
        f.SortAndShowReports();
        EXPECT_EQ(readBytes(files::kReports), crlfLines(lines));
        EXPECT_EQ(viewLines(f.RichEdit1), lines);
        EXPECT_EQ(f.Edit1->text(), QString::number(lines.size()));
    }
}

TEST_F(ListViewsTest, SortAndShowStopsAtAnEmptyHistory)
{
    TForm1 &f = create();
    writeBytes(files::kReports, "");
    f.RichEdit1->setPlainText("kept"_qs);
    f.SortAndShowReports();
    EXPECT_EQ(viewLines(f.RichEdit1), QStringList{"kept"_qs});
    EXPECT_EQ(f.state.ReportsStamp, 0);
}

TEST_F(ListViewsTest, FiveLetterCallsignsPackSixToALineSixLetterOnesFive)
{
    struct Case {
        int width, count;
        std::vector<int> perLine;
    };
    for (const Case &c : {Case{5, 13, {6, 6, 1}}, Case{6, 11, {5, 5, 1}}}) {
        TForm1 &f = create();
        const QStringList calls = callsigns("K1", c.count, c.width);
        writeBytes(files::kCalls, crlfLines(calls));

        f.ShowActiveStations();

        QStringList expected;
        qsizetype next = 0;
        for (int n : c.perLine) {
            QString line;
            for (int i = 0; i < n; ++i)
                line += calls.at(next++) + ", "_qs;
            expected << line;
        }
        EXPECT_EQ(viewLines(f.RichEdit1), expected) << c.width;
        EXPECT_EQ(viewColours(f.RichEdit1), (std::vector<QColor>{kBlackText, kRedText, kBlueText})) << c.width;
        EXPECT_EQ(f.Edit1->text(), QString::number(c.count - 1));
    }
}

TEST_F(ListViewsTest, StationsFillSetsTheBarAndEmptiesTheCaption)
{
    TForm1 &f = create();
    writeBytes(files::kCalls, "K1ABC\r\n");
    f.ProgressBar1->setPosition(55);
    f.ShowActiveStations();
    EXPECT_EQ(viewLines(f.RichEdit1), QStringList{"K1ABC, "_qs});
    EXPECT_EQ(viewColours(f.RichEdit1), std::vector<QColor>{kBlackText});
    EXPECT_EQ(f.Edit1->text(), "0"_qs);
    EXPECT_EQ(f.ProgressBar1->backgroundColour(), QColor(0x00, 0xFF, 0x00));
    EXPECT_EQ(f.ProgressBar1->barColour(), kBlueText);
    EXPECT_TRUE(f.ProgressBar1->smooth());
    EXPECT_EQ(f.ProgressBar1->position(), 0);
    EXPECT_EQ(f.RichEdit1->font().pointSize(), 10);
    EXPECT_TRUE(f.Label2->text().isEmpty());
}

TEST_F(ListViewsTest, StationsWithoutCallsFileSayNoDataAvailable)
{
    TForm1 &f = create();
    f.RichEdit1->setPlainText("kept"_qs);
    f.ShowActiveStations();
    EXPECT_EQ(dialogTexts(), QStringList{"No data available"_qs});
    EXPECT_EQ(viewLines(f.RichEdit1), QStringList{"kept"_qs});
}

TEST_F(ListViewsTest, GridsFillMovesTheBarEvery250EntriesAndEndsWhite)
{
    TForm1 &f = create();
    QStringList entries;
    for (int i = 0; i < 600; ++i)
        entries << QStringLiteral("K%1,IO91AB").arg(i, 4, 10, QChar(u'0'));
    writeBytes(files::kGrids, crlfLines(entries));
    const Qt::CursorShape ownCursor = f.RichEdit1->viewport()->cursor().shape();

    struct Step {
        int position;
        QColor background;
        bool smooth;
        Qt::CursorShape cursor;
        int linesShown;
    };
    std::vector<Step> steps;
    QObject::connect(f.ProgressBar1, &ColourBar::positionSet, f.ProgressBar1, [&](int position) {
        steps.push_back({position, f.ProgressBar1->backgroundColour(), f.ProgressBar1->smooth(),
                         f.RichEdit1->viewport()->cursor().shape(), f.RichEdit1->document()->blockCount()});
    });

    f.ShowGrids();

    ASSERT_EQ(steps.size(), 4u); // the reset to 0, then entries 0, 250 and 500
    const int positions[] = {0, 0, 41, 83};
    const int linesShown[] = {1, 1, 251, 501}; // the bar moves on entries 0, 250 and 500
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].position, positions[i]);
        EXPECT_EQ(steps[i].linesShown, linesShown[i]);
        EXPECT_EQ(steps[i].background, kRedText);
        EXPECT_TRUE(steps[i].smooth);
        if (i > 0) {
            EXPECT_EQ(steps[i].cursor, Qt::WaitCursor);
        }
    }
    EXPECT_EQ(viewLines(f.RichEdit1), entries);
    const std::vector<QColor> colours = viewColours(f.RichEdit1);
    EXPECT_EQ(std::vector<QColor>(colours.begin(), colours.begin() + 4),
              (std::vector<QColor>{kGreenText, kBlueText, kRedText, kGreenText}));
    EXPECT_EQ(f.Edit1->text(), "599"_qs);
    EXPECT_EQ(f.ProgressBar1->backgroundColour(), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(f.ProgressBar1->barColour(), kBlueText);
    EXPECT_FALSE(f.ProgressBar1->smooth());
    EXPECT_EQ(f.RichEdit1->viewport()->cursor().shape(), ownCursor);
    EXPECT_TRUE(f.Label2->text().isEmpty());
}

TEST_F(ListViewsTest, GridsFileOfOneLineLeavesTheListButResetsTheBar)
{
    TForm1 &f = create();
    writeBytes(files::kGrids, "K1ABC,FN42\r\n");
    f.RichEdit1->setPlainText("kept"_qs);
    f.ProgressBar1->setSmooth(true);
    f.ComboBox1->setCurrentIndex(2);
    f.ComboBox1Change();
    EXPECT_EQ(viewLines(f.RichEdit1), QStringList{"kept"_qs});
    EXPECT_EQ(f.Edit1->text(), "0"_qs);
    EXPECT_FALSE(f.ProgressBar1->smooth());
    EXPECT_EQ(f.ProgressBar1->backgroundColour(), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_TRUE(f.Label2->text().isEmpty());
}

TEST_F(ListViewsTest, MissingGridsFileChangesNothing)
{
    TForm1 &f = create();
    const QColor background = f.ProgressBar1->backgroundColour();
    f.ShowGrids();
    EXPECT_EQ(f.ProgressBar1->backgroundColour(), background);
    EXPECT_EQ(f.Label2->text(), "Update Cycle Timing:"_qs);
}

TEST_F(ListViewsTest, ChoosingTheReportListRedrawsItWithTheWindowColouredBar)
{
    TForm1 &f = create();
    writeBytes(files::kReports, crlfLines({reportLine("07Dec2026 13:00:00"_qs, "G4ABC"_qs),
                                           reportLine("07Dec2026 12:00:00"_qs, "K1ABC"_qs)}));
    f.ProgressBar1->setBackgroundColour(QColor(0x00, 0xFF, 0x00));
    f.ComboBox1->setCurrentIndex(0);
    f.ComboBox1Change();
    EXPECT_EQ(viewLines(f.RichEdit1).size(), 2);
    EXPECT_EQ(f.Edit1->text(), "2"_qs);
    EXPECT_EQ(f.ProgressBar1->backgroundColour(), f.palette().color(QPalette::Base));
    EXPECT_EQ(f.ProgressBar1->barColour(), kBlueText);
    EXPECT_TRUE(f.Label2->text().isEmpty());
}
