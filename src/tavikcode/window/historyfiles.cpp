// Folding each answer into the history files, and clearing the history.
#include "tform1.h"

#include "archive/reportarchive.h"
#include "base/clock.h"
#include "base/fileutil.h"
#include "base/filenames.h"
#include "processing/responsepass.h"
#include "base/stepfailures.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

void TForm1::ProcessResponse()
{
    // The debug override box stands in for the operator's callsign.
    const QString matched = Edit5->text().isEmpty() ? state.Callsign : Edit5->text();
    const ResponsePassResult result = runResponsePass(state.ResponseLines, matched, state.GridList);
    // The archive keeps every report of the answer, whatever the history's cut
    // dropped; the receivers were seen when the answer arrived: for the answer
    // stored before activation, only the file's time tells when.
    const QDateTime arrived = state.ResponseArrived.isValid() ? state.ResponseArrived
                                                              : QFileInfo(files::kResponse).lastModified();
    // The alert rules judge what the store adds, on the archive's thread.
    archive().store({.reports = result.reports,
                     .receivers = result.receivers,
                     .answerArrived = (arrived.isValid() ? arrived : Clock::nowUtc()).toSecsSinceEpoch(),
                     .now = Clock::nowUtc(),
                     .judge = alertJudge()});
    // Taken only once the files are written: should they fail, the next query
    // still asks for the reports that did not reach the history.
    if (result.sequenceNumberSeen) {
        state.LastSeqNo = result.lastSeqNo;
        Label12->setText(state.LastSeqNo);
        nameClockLabels();
    }
    announcePass(result.reports);
}

void TForm1::ClearHistoryFiles()
{
    // A file that cannot be deleted stops none of the other steps.
    StepFailures steps;
    Edit5->clear();
    steps.run([] { fileutil::deleteFile(files::kReports); });
    steps.run([] { fileutil::deleteFile(files::kResponse); });
    RichEdit1->clear();
    ClearGridRows(StringGrid1, true);
    state.LastSeqNo.clear();
    // The next answer brings everything again: the archive holds it already,
    // and the alert rules judge only what is newer than they judged last.
    m_alertsCatchUp = true;

    const QString previous = state.Callsign;
    steps.run([this] { ReadCallsign(); });
    // Another callsign: ask for its reports at the next tick.
    if (state.Callsign != previous)
        state.LastGetTime = Clock::nowLocal().addDays(-20);
    steps.throwIfAny();
}

void TForm1::Button7Click()
{
    ClearHistoryFiles();
}
