#include "views/reporttable.h"

#include "base/datetime.h"
#include "base/filenames.h"
#include "parts/widgets.h"

#include "../../formfixture.h"
#include "viewsupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTableWidget>

class ReportTableTest : public FormTest
{
protected:
    static QString cell(const TForm1 &f, int row, int column)
    {
        const QTableWidgetItem *item = f.StringGrid1->item(row, column);
        return item ? item->text() : QString();
    }
    static QStringList rowCells(const TForm1 &f, int row)
    {
        QStringList cells;
        for (int column = 0; column < 7; ++column)
            cells << cell(f, row, column);
        return cells;
    }
    static const ReportTableDelegate &painter(const TForm1 &f)
    {
        return *static_cast<const ReportTableDelegate *>(f.StringGrid1->itemDelegate());
    }
    static QString utcDay(int daysBack)
    {
        return datetime::dateText(Clock::nowUtc().date().addDays(-daysBack));
    }
};

TEST_F(ReportTableTest, ReportLinesFillOneRowEachUnderTheHeader)
{
    TForm1 &f = create();
    const QStringList lines = {reportLine("07Dec2026 13:45:12"_qs, "G4ABC"_qs, "-12"_qs, "20m"_qs),
                               reportLine("07Dec2026"_qs, "K1ABC"_qs, "+3"_qs, "40m"_qs)};
    writeBytes(files::kReports, crlfLines(lines));

    f.ShowReportTable();

    EXPECT_EQ(f.StringGrid1->rowCount(), 3);
    EXPECT_EQ(f.StringGrid1->columnCount(), 7);
    EXPECT_EQ(rowCells(f, 0),
              (QStringList{"Timing"_qs, "Call"_qs, " SN"_qs, "Band"_qs, "Mode"_qs, "Grid"_qs, "Area"_qs}));
    EXPECT_EQ(rowCells(f, 1), (QStringList{"07Dec2026 13:45:12"_qs, "  G4ABC"_qs, "    \t-12"_qs, "\t20m"_qs,
                                           " FT8"_qs, " IO91"_qs, " England"_qs}));
    EXPECT_EQ(cell(f, 2, 0), "07Dec2026"_qs);
    EXPECT_EQ(f.Edit1->text(), "2"_qs);
    const int widths[] = {120, 80, 40, 40, 30, 40, 150};
    for (int column = 0; column < 7; ++column)
        EXPECT_EQ(f.StringGrid1->columnWidth(column), widths[column]) << column;
    EXPECT_EQ(f.StringGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(ReportTableTest, QuotedFieldsLoseTheirQuotes)
{
    TForm1 &f = create();
    writeBytes(files::kReports, "\"a\",\"b\"\r\n\"07Dec2026\",\"G4,ABC\",\"-5\"\r\n\"x\",\"y\",\"z\",\r\n");
    f.ShowReportTable();
    // The second line has three commas: four fields.
    EXPECT_EQ(rowCells(f, 1), (QStringList{"a"_qs, "b"_qs, ""_qs, ""_qs, ""_qs, ""_qs, ""_qs}));
    EXPECT_EQ(rowCells(f, 2), (QStringList{"07Dec2026"_qs, "G4"_qs, "ABC"_qs, "-5"_qs, ""_qs, ""_qs, ""_qs}));
    EXPECT_EQ(rowCells(f, 3), (QStringList{"x"_qs, "y"_qs, "z"_qs, ""_qs, ""_qs, ""_qs, ""_qs}));
}

TEST_F(ReportTableTest, ColumnsPastTheFieldCountKeepWhatTheyHeld)
{
    TForm1 &f = create();
    f.StringGrid1->setItem(1, 5, new QTableWidgetItem("old"_qs));
    writeBytes(files::kReports, "a,b,c\r\nd,e\r\n");
    f.ShowReportTable();
    EXPECT_EQ(rowCells(f, 1), (QStringList{"a"_qs, "b"_qs, ""_qs, ""_qs, ""_qs, "old"_qs, ""_qs}));
    EXPECT_EQ(rowCells(f, 2).mid(0, 2), (QStringList{"d"_qs, "e"_qs}));
}

TEST_F(ReportTableTest, HistoryOfOneLineFillsOneRow)
{
    TForm1 &f = create();
    writeBytes(files::kReports, crlfLines({reportLine("07Dec2026 13:45:12"_qs, "G4ABC"_qs)}));
    f.ShowReportTable();
    EXPECT_EQ(f.StringGrid1->rowCount(), 2);
    EXPECT_EQ(cell(f, 1, 1), "  G4ABC"_qs);
    EXPECT_EQ(cell(f, 1, 6), " England"_qs);
    EXPECT_EQ(f.Edit1->text(), "1"_qs);
}

TEST_F(ReportTableTest, MissingHistoryWritesTheHeaderAndKeepsTheRows)
{
    TForm1 &f = create();
    f.StringGrid1->setItem(3, 1, new QTableWidgetItem("kept"_qs));
    f.Edit1->setText("9"_qs);
    f.ShowReportTable();
    EXPECT_EQ(f.Edit1->text(), "0"_qs);
    EXPECT_EQ(cell(f, 0, 0), "Timing"_qs);
    EXPECT_EQ(cell(f, 3, 1), "kept"_qs);
    EXPECT_EQ(f.StringGrid1->rowCount(), 50);
}

TEST_F(ReportTableTest, DateGroupsAreBlackForTodayThenGreenBlueBlack)
{
    TForm1 &f = create();
    const QStringList days = {utcDay(0), utcDay(0), utcDay(0), utcDay(1), utcDay(1), utcDay(2), utcDay(3)};
    QStringList lines;
    for (const QString &day : days)
        lines << reportLine(day + " 10:00:00"_qs, "G4ABC"_qs);
    writeBytes(files::kReports, crlfLines(lines));
    f.ShowReportTable();

    const QColor expected[] = {kBlackText, kBlackText, kBlackText, kBlackText, kGreenText, kGreenText, kBlueText,
                               kBlackText};
    for (int row = 0; row <= 7; ++row)
        EXPECT_EQ(painter(f).textColour(row), expected[row]) << row;
}

TEST_F(ReportTableTest, ColoursFollowNewRowsAndANewUtcDay)
{
    TForm1 &f = create();
    writeBytes(files::kReports, crlfLines({reportLine(utcDay(1) + " 10:00:00"_qs, "G4ABC"_qs),
                                           reportLine(utcDay(1) + " 09:00:00"_qs, "K1ABC"_qs)}));
    f.ShowReportTable();
    // Rows 1 and 2 of one day other than today: row 2 is compared with today.
    EXPECT_EQ(painter(f).textColour(2), kGreenText);

    Clock::advance(-86400); // that day is today now
    EXPECT_EQ(painter(f).textColour(2), kBlackText);

    Clock::advance(86400);
    EXPECT_EQ(painter(f).textColour(2), kGreenText);
    writeBytes(files::kReports, crlfLines({reportLine(utcDay(0) + " 10:00:00"_qs, "G4ABC"_qs),
                                           reportLine(utcDay(0) + " 09:00:00"_qs, "K1ABC"_qs)}));
    f.ShowReportTable();
    EXPECT_EQ(painter(f).textColour(2), kBlackText);
    TForm1::ClearGridRows(f.StringGrid1, true); // an empty row differs from today's date
    EXPECT_EQ(painter(f).textColour(2), kGreenText);
}

TEST_F(ReportTableTest, CellsArePaintedOnTheirRowBackgroundFromTheTopLeftCorner)
{
    TForm1 &f = create();
    writeBytes(files::kReports, crlfLines({reportLine(utcDay(0) + " 10:00:00"_qs, "G4ABC"_qs),
                                           reportLine(utcDay(0) + " 09:00:00"_qs, "K1ABC"_qs)}));
    f.ShowReportTable();
    const QColor backgrounds[] = {QColor(0xC0, 0xDC, 0xC0), QColor(0xD8, 0xF8, 0xFA), QColor(0xFF, 0xFF, 0xD2)};
    for (int row = 0; row <= 2; ++row) {
        QImage image(60, 30, QImage::Format_RGB32);
        image.fill(Qt::white);
        const QRect rect(10, 5, 30, 15);
        {
            QPainter p(&image);
            QStyleOptionViewItem option;
            option.rect = rect;
            option.font = f.StringGrid1->font();
            const QModelIndex index = f.StringGrid1->model()->index(row, 0);
            painter(f).paint(&p, option, index);
        }
        EXPECT_EQ(image.pixelColor(rect.right(), rect.bottom()), backgrounds[row]) << row;
        // Clipped: nothing drawn outside the cell.
        EXPECT_EQ(image.pixelColor(rect.right() + 1, rect.top() + 4), QColor(Qt::white)) << row;
        EXPECT_EQ(image.pixelColor(rect.left() - 1, rect.top()), QColor(Qt::white)) << row;
        // The text starts at the cell's left edge: ink within its first pixels.
        bool ink = false;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x < rect.left() + 4; ++x)
                ink = ink || image.pixelColor(x, y) != backgrounds[row];
        EXPECT_TRUE(ink) << row;
    }
}

TEST_F(ReportTableTest, TheSwitchFillsTheTableOrRedrawsTheList)
{
    TForm1 &f = create();
    writeBytes(files::kReports, crlfLines({reportLine("07Dec2026 13:00:00"_qs, "G4ABC"_qs),
                                           reportLine("07Dec2026 12:00:00"_qs, "K1ABC"_qs)}));
    f.CheckBox1->setChecked(true);
    EXPECT_EQ(f.StringGrid1->rowCount(), 3);
    EXPECT_EQ(cell(f, 2, 1), "  K1ABC"_qs);
    EXPECT_TRUE(viewLines(f.RichEdit1).isEmpty());

    f.CheckBox1->setChecked(false);
    EXPECT_EQ(viewLines(f.RichEdit1).size(), 2);
    EXPECT_EQ(f.Edit1->text(), "2"_qs);
}

TEST_F(ReportTableTest, TheFillHandsTheFocusToTheProgressBarWhichIsNoTabStop)
{
    TForm1 &f = create();
    f.show();
    QApplication::setActiveWindow(&f);
    writeBytes(files::kReports, crlfLines({reportLine("07Dec2026 13:45:12"_qs, "G4ABC"_qs, "-12"_qs, "20m"_qs)}));
    f.StringGrid1->setFocus();
    f.ShowReportTable();
    EXPECT_TRUE(f.ProgressBar1->hasFocus());

    // Tab goes round the window's controls without stopping at the bar.
    f.Edit3->setFocus();
    for (int i = 0; i < 30; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), f.ProgressBar1) << i;
    }
}
