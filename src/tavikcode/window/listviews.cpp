// The list view and its selector: the report history, the active stations and
// the grid list, each line in its turn of colours.
#include "tform1.h"

#include "base/fileutil.h"
#include "base/filenames.h"
#include "processing/reportorder.h"
#include "shell/dialogs.h"
#include "base/textlines.h"
#include "base/textops.h"
#include "views/linewriter.h"
#include "parts/widgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>

namespace {

const QColor kBlack(0x00, 0x00, 0x00);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kBlue(0x00, 0x00, 0xFF);
const QColor kGreen(0x00, 0x80, 0x00);
const QColor kLime(0x00, 0xFF, 0x00);
const QColor kWhite(0xFF, 0xFF, 0xFF);

const QColor &reportColour(qsizetype i)
{
    return i % 2 == 0 ? kBlue : kBlack;
}

const QColor &stationColour(qsizetype n)
{
    static const QColor colours[] = {kBlack, kRed, kBlue};
    return colours[n % 3];
}

const QColor &gridColour(qsizetype l)
{
    static const QColor colours[] = {kGreen, kBlue, kRed};
    return colours[l % 3];
}

// Lines longer than this end a line of the stations view.
constexpr qsizetype kStationLineLength = 35;
// The grids fill moves the bar on every this many entries.
constexpr qsizetype kGridProgressStep = 250;

// A history that holds nothing but blank lines holds no report.
bool holdsReport(const TextLines &list)
{
    const QStringList &lines = list.lines();
    return std::any_of(lines.begin(), lines.end(),
                       [](const QString &line) { return !textops::trim(line).isEmpty(); });
}

void setTextSize(QPlainTextEdit *view, int points)
{
    QFont font = view->font();
    font.setPointSize(points);
    view->setFont(font);
}

void appendReports(QPlainTextEdit *view, const TextLines &list)
{
    LineWriter writer(view);
    const QStringList &lines = list.lines();
    for (qsizetype i = 0; i < lines.size(); ++i)
        writer.append(lines.at(i), reportColour(i));
}

// Leaves the view showing its first lines, the caret before the first character.
void scrollToTop(QPlainTextEdit *view)
{
    view->moveCursor(QTextCursor::End);
    view->ensureCursorVisible();
    view->moveCursor(QTextCursor::Start);
    view->ensureCursorVisible();
}

} // namespace

void TForm1::ShowReports()
{
    Edit1->setText(QStringLiteral("0"));
    if (!fileutil::isPresent(files::kReports))
        return;
    RichEdit1->clear();
    TextLines list(TextLines::Unsorted);
    list.loadFromFile(files::kReports);

    if (!holdsReport(list)) {
        setTextSize(RichEdit1, 10);
        LineWriter writer(RichEdit1);
        writer.append(QString(), kRed);
        writer.append(QStringLiteral("No specific reception reports for ") + state.Callsign
                          + QStringLiteral(" are available."),
                      kRed);
    } else {
        appendReports(RichEdit1, list);
        Edit1->setText(QString::number(list.count()));
    }
    scrollToTop(RichEdit1);
    RichEdit1->repaint();
}

void TForm1::SortAndShowReports()
{
    if (!fileutil::fileExists(files::kReports))
        return;
    if (fileutil::FileSize64(files::kReports) == state.ReportsStamp)
        return;
    TextLines list(TextLines::Unsorted);
    list.loadFromFile(files::kReports);
    // One or two lines keep the order they were stored in.
    if (list.count() > 2)
        sortReportsDescending(list);
    list.saveToFile(files::kReports);
    list.loadFromFile(files::kReports);

    const bool reports = holdsReport(list);
    Edit1->setText(QString::number(reports ? list.count() : 0));
    RichEdit1->clear();
    if (reports)
        appendReports(RichEdit1, list);
    state.ReportsStamp = fileutil::FileSize64(files::kReports);
    scrollToTop(RichEdit1);
}

void TForm1::ShowActiveStations()
{
    if (!fileutil::isPresent(files::kCalls)) {
        Dialogs::showMessage(QStringLiteral("No data available"));
        return;
    }
    TextLines list(TextLines::Sorted);
    list.loadFromFile(files::kCalls);

    ProgressBar1->setBackgroundColour(kLime);
    ProgressBar1->setBarColour(kBlue);
    Edit1->setText(QString::number(list.count() - 1));
    Edit1->repaint();
    Label2->repaint();
    repaint();
    ProgressBar1->setSmooth(true);
    ProgressBar1->setPosition(0);

    RichEdit1->clear();
    setTextSize(RichEdit1, 10);
    {
        LineWriter writer(RichEdit1);
        QString line;
        qsizetype n = 0;
        for (const QString &callsign : list.lines()) {
            line += callsign + QStringLiteral(", ");
            if (line.size() > kStationLineLength) {
                writer.append(line, stationColour(n));
                line.clear();
                ++n;
            }
        }
        if (!line.isEmpty())
            writer.append(line, stationColour(n));
    }
    Label2->setText(QString());
}

void TForm1::ShowGrids()
{
    if (!fileutil::isPresent(files::kGrids))
        return;
    TextLines list(TextLines::Sorted);
    list.loadFromFile(files::kGrids);

    QWidget *listArea = RichEdit1->viewport();
    const QCursor ownCursor = listArea->cursor();
    const qsizetype count = list.count();
    if (count >= 2) {
        ProgressBar1->setBackgroundColour(kRed);
        ProgressBar1->setBarColour(kBlue);
        Edit1->setText(QString::number(count - 1));
        Edit1->repaint();
        Label2->repaint();
        repaint();

        RichEdit1->clear();
        ProgressBar1->setSmooth(true);
        ProgressBar1->setPosition(0);
        setTextSize(RichEdit1, 10);
        listArea->setCursor(Qt::WaitCursor);

        LineWriter writer(RichEdit1);
        const QStringList &lines = list.lines();
        for (qsizetype l = 0; l < count; ++l) {
            writer.append(lines.at(l), gridColour(l));
            if (l % kGridProgressStep == 0) {
                ProgressBar1->setPosition(int(l * 100 / count));
                ProgressBar1->repaint();
            }
        }
    }

    listArea->setCursor(ownCursor);
    ProgressBar1->setSmooth(false);
    ProgressBar1->setBackgroundColour(kWhite);
    ProgressBar1->setBarColour(kBlue);
    Label2->setText(QString());
}

void TForm1::ComboBox1Change()
{
    switch (ComboBox1->currentIndex()) {
    case 0:
        ProgressBar1->setBackgroundColour(palette().color(QPalette::Base));
        ProgressBar1->setBarColour(kBlue);
        Label2->repaint();
        ShowReports();
        Label2->setText(QString());
        break;
    case 1:
        Edit1->setText(QStringLiteral("0"));
        ShowActiveStations();
        break;
    case 2:
        Edit1->setText(QStringLiteral("0"));
        ShowGrids();
        break;
    default:
        break;
    }
}
