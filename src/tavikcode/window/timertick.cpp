// The one-second tick: the program's main loop.
#include "tform1.h"

#include "base/clock.h"
#include "base/datetime.h"
#include "base/fileutil.h"
#include "base/filenames.h"
#include "parts/widgets.h"
#include "retrieval/httpclient.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>

void TForm1::Timer1Timer()
{
    refreshConnectivity();

    // While the connection is unconfirmed no query falls due: the cycle starts
    // over. Not while the echo (or a request cut off by a lost address) is
    // still out: its answer may confirm the connection for the next tick.
    const QDateTime now = Clock::nowLocal();
    if (now > state.LastGetTime.addSecs(300) && !isPublicIpKnown(state) && !IdHTTP1->isBusy())
        state.LastGetTime = now;

    StringGrid1->setVisible(ComboBox1->currentText().contains(QStringLiteral("Last")) && CheckBox1->isChecked());
    PollCallsignEntry();

    if (++state.TickCounter > 3600)
        state.TickCounter = 10;

    const qint64 seconds = datetime::secondsBetween(state.LastGetTime, Clock::nowLocal());
    ProgressBar1->setPosition(int(std::min<qint64>(seconds / 3, 100)));
    Label3->setText(datetime::timeText(state.LastGetTime.time()));
    Label4->setText(datetime::timeText(state.LastGetTime.addSecs(300).time()));
    Label9->setText(datetime::timeText(Clock::nowLocal().time()));
    nameClockLabels();

    if (seconds > 300 && !state.Callsign.isEmpty()) {
        QueryReports();
        ProgressBar1->setPosition(0);
    }

    Button5->setVisible(!Edit5->text().isEmpty());

    checkWatchedFiles();

    const QString view = ComboBox1->currentText();
    if (view.contains(QStringLiteral("Last")))
        Label2->setText(QStringLiteral("Update Cycle Timing:"));
    if (view.contains(QStringLiteral("Active")))
        Label2->setText(QStringLiteral("Loading:"));
    if (view.contains(QStringLiteral("Grids")))
        Label2->setText(QStringLiteral("Processing grids:"));
}

void TForm1::checkWatchedFiles()
{
    // The stamps move on only after the work is done, so a failed pass or
    // redraw is tried again at the next tick.
    if (fileutil::fileExists(files::kResponse) && fileutil::fileAge(files::kResponse) != state.ResponseStamp) {
        state.ResponseLines.loadFromFile(files::kResponse);
        ProcessResponse();
        state.ResponseStamp = fileutil::fileAge(files::kResponse);
    }
    if (fileutil::fileExists(files::kReports) && fileutil::fileAge(files::kReports) != state.ReportsStamp) {
        ShowReports();
        if (CheckBox1->isChecked())
            ShowReportTable();
        state.ReportsStamp = fileutil::fileAge(files::kReports);
    }
}
