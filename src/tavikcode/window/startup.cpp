// The creation and activation sequences of the window.
#include "tform1.h"

#include "archive/archiverecords.h"
#include "alerts/alertcentre.h"
#include "archive/reportarchive.h"
#include "base/clock.h"
#include "base/datetime.h"
#include "base/fileutil.h"
#include "base/filenames.h"
#include "platform/versioninfo.h"
#include "base/stepfailures.h"
#include "base/textops.h"
#include "parts/widgets.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

void TForm1::FormCreate()
{
    state.LogEnabled = fileutil::fileExists(files::kLogFlag);
    state.Switches = textops::switchesText(m_arguments);
    if (state.Switches.contains(QStringLiteral("/RESET")))
        ResetSettings();
    state.LastGetTime = datetime::yesterdayMidnight();
    state.NotifyOff = true;

    const auto finish = [this] {
        Shape2->hide();
        state.LastSeqNo.clear();
        Edit1->setText(QStringLiteral("0"));
    };
    try {
        LoadSettings();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TForm1::FormActivate()
{
    RichEdit1->resize(RichEdit1->width(), height() - 120);
    Label2->setText(QStringLiteral("Update Cycle Timing:"));

    state.LastVersion.clear();
    state.EmptyReplies = 0;
    state.TickCounter = 0;
    state.LocalIP.clear();
    state.PublicIP.clear();
    state.RowDate.clear();
    state.ReportsStamp = 0;
    state.ResponseStamp = 0;
    state.ResponseArrived = {};
    ProgressBar1->setPosition(0);

    // A step that fails is told once, at the end, and the steps after it
    // still run: above all the timer, without which nothing is ever queried.
    StepFailures steps;
    steps.run([this] {
        state.VersionText = GetVersionText();
        const QDateTime built = programFileTime(m_programFile);
        setWindowTitle(QStringLiteral("TavikRepView") + kMakerMark + QStringLiteral(" - Version ")
                       + state.VersionText + QStringLiteral("  Build: ") + datetime::dateText(built.date()));
        state.BuildStamp = datetime::dateTimeText(built);
    });
    steps.run([this] { writeVersionFile(); });

    steps.run([this] { takeOverWsjtxSettings(); });
    steps.run([this] { connectAtActivation(); });

    state.ResponseLines = TextLines(TextLines::Unsorted);
    if (fileutil::isPresent(files::kResponse)) {
        // Left unread, the stamp stays 0 and the first tick reads the answer again.
        steps.run([this] {
            state.ResponseLines.loadFromFile(files::kResponse);
            state.ResponseStamp = fileutil::FileSize64(files::kResponse);
        });
        steps.run([this] { SortAndShowReports(); });
    }
    state.GridList = TextLines(TextLines::Sorted);

    Edit5->clear();
    if (state.Switches.contains(QStringLiteral("/DEBUG")) && state.Callsign == kDeveloperCallsign) {
        Edit5->show();
        Button5->show();
        Button6->show();
    }
    if (state.Switches.contains(QStringLiteral("/NOTIFYOFF"))) {
        state.NotifyOff = false;
        steps.run([this] { SaveSettings(); });
    }

    steps.run([this] { openArchive(); });
    steps.run([this] {
        startDigitalModeLink();
        if (m_alerts->settings().wsjtxListen)
            readLastTransmission();
    });
    // Whatever a tick relies on is done before the first one: the history is
    // never cleared after a query has brought reports into it.
    steps.run([this] { checkBuildNumber(); });
    Timer1->start();
    // The maker's version page is asked by the ticks, once the query cannot be
    // held up by it (versionCheckFits); its boxes come after the cycle runs.
    m_versionCheckDue = true;
    steps.throwIfAny();
}

void TForm1::openArchive()
{
    ArchiveOpening opening;
    opening.fileName = QFileInfo(files::kArchive).absoluteFilePath();
    opening.now = Clock::nowUtc();
    opening.judge = openingJudge();
    // The history is read here, before the build check can clear it: the
    // archive adds whatever line of it it does not hold yet, at every open.
    try {
        if (fileutil::isPresent(files::kReports)) {
            TextLines history(TextLines::Unsorted);
            history.loadFromFile(files::kReports);
            const QString sender = textops::trim(state.Callsign);
            for (const QString &line : history.lines()) {
                if (std::optional<ArchivedReport> r = reportFromHistoryLine(line, sender, opening.now.toSecsSinceEpoch()))
                    opening.oldHistory.append(std::move(*r));
            }
        }
    } catch (const std::exception &e) {
        archiveFailed(QStringLiteral("The report history cannot be read into the report archive: ")
                      + QString::fromUtf8(e.what()));
    }
    archive().open(std::move(opening));
}
