// One request to the report service; its answer goes to TavikRep.txt.
#include "tform1.h"

#include "base/clock.h"
#include "base/datetime.h"
#include "base/fileutil.h"
#include "base/filenames.h"
#include "retrieval/endpoints.h"
#include "retrieval/httpclient.h"
#include "shell/dialogs.h"
#include "shell/log.h"
#include "base/stepfailures.h"
#include "base/tavikerror.h"
#include "base/textlines.h"
#include "parts/widgets.h"

#include <QLineEdit>
#include <QPlainTextEdit>

void TForm1::QueryReports()
{
    if (!isPublicIpKnown(state))
        return;
    // Never a second request on the client: a tick or a second press of "Do"
    // while one is outstanding simply makes none, and the next tick asks again.
    if (IdHTTP1->isBusy())
        return;

    Shape2->setBrushColour(QColor(0x00, 0xFF, 0x00));
    Shape2->show();
    Shape2->repaint();

    QString remembered;
    if (state.Callsign == kDeveloperCallsign && !Edit5->text().isEmpty()) {
        remembered = state.Callsign;
        state.Callsign = Edit5->text();
        state.LastSeqNo.clear();
    }
    if (state.EmptyReplies > 2)
        state.LastSeqNo.clear();

    try {
        state.LastGetTime = Clock::nowLocal();
        SaveSettings();
        const QUrl url = queryUrl(endpoints(), state.Callsign, state.LastSeqNo);
        if (state.LogEnabled)
            LogLine(QString::fromUtf8(url.toEncoded()));
        // The tick goes on meanwhile; the query ends when the answer is in.
        IdHTTP1->get(url, deadlines.query,
                     [this, remembered](const HttpResult &result) { reportsAnswered(result, remembered); });
        return;
    } catch (const std::exception &e) {
        queryFailed(QString::fromUtf8(e.what()));
    }
    endQuery(remembered);
}

void TForm1::reportsAnswered(const HttpResult &result, const QString &remembered)
{
    try {
        if (!result.ok())
            throw TavikError(result.error);
        TextLines answer;
        answer.setText(result.body);
        // The archive's receivers were seen now, whatever the file's time says.
        state.ResponseArrived = Clock::nowUtc();
        answer.saveToFile(files::kResponse);
        state.EmptyReplies = answer.count() == 1 ? state.EmptyReplies + 1 : 0;
        if (state.LogEnabled)
            LogLine(QString::number(answer.count() - 1) + QStringLiteral(" lines  ")
                    + QString::number(fileutil::FileSize64(files::kResponse) / 1024) + QStringLiteral(" KB"));
    } catch (const std::exception &e) {
        queryFailed(QString::fromUtf8(e.what()));
    }
    endQuery(remembered);
    // The answer is processed as soon as it is in, as the tick would at its next turn.
    if (!m_closing)
        tickAction([this] { checkWatchedFiles(); });
}

void TForm1::queryFailed(const QString &message)
{
    try {
        LogLine(QStringLiteral("Exception error: ") + message);
    } catch (const std::exception &) {
    }
    // While the operator has not yet closed the box of an earlier failure,
    // a later one adds no second box; a query cut short by closing the
    // window adds none at all.
    if (!m_webErrorBox && !m_closing)
        m_webErrorBox = Dialogs::showMessage(QStringLiteral("Web error: TavikReporter site not accessible"));
}

void TForm1::endQuery(const QString &remembered)
{
    Shape2->setBrushColour(palette().color(QPalette::Button));
    Shape2->repaint();
    Shape2->hide();
    if (!remembered.isEmpty())
        state.Callsign = remembered;
}

bool TForm1::sideRequestFits(std::chrono::milliseconds deadline, std::chrono::seconds distance) const
{
    if (!isPublicIpKnown(state) || IdHTTP1->isBusy())
        return false;
    // Without a callsign no own query is coming.
    if (state.Callsign.isEmpty())
        return true;
    const qint64 sinceQuery = datetime::secondsBetween(state.LastGetTime, Clock::nowLocal());
    const qint64 untilQuery = 300 - sinceQuery;
    return sinceQuery >= distance.count() && untilQuery >= distance.count() && untilQuery * 1000 > deadline.count();
}

void TForm1::Button6Click()
{
    QueryReports();
    ProgressBar1->setPosition(0);
}

void TForm1::Edit5KeyPress(QChar key)
{
    if (key != u'\r')
        return;
    // A file that cannot be deleted stops none of the other steps.
    StepFailures steps;
    steps.run([] { fileutil::deleteFile(files::kReports); });
    steps.run([] { fileutil::deleteFile(files::kResponse); });
    RichEdit1->clear();
    ClearGridRows(StringGrid1, true);
    state.LastGetTime = Clock::nowLocal().addDays(-20);
    steps.throwIfAny();
}
