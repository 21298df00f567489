// What a screen reader hears of the main window: every control named for
// what it does, captions read with their values, and a short line after
// each pass. Only names and descriptions: nothing on the screen changes.
#include "tform1.h"

#include "processing/reportline.h"
#include "parts/widgets.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

namespace {

void setName(QWidget *w, const QString &name)
{
    // Every second would otherwise tell a listening reader of a change.
    if (w->accessibleName() != name)
        w->setAccessibleName(name);
}

// A caption read with the value beside it: "Last query 14:30:02".
QString captioned(const QString &caption, const QLabel *value)
{
    const QString shown = value->text().trimmed();
    return shown.isEmpty() ? caption : caption + u' ' + shown;
}

// "40m" as spoken: "40 m".
QString spokenBand(QString band)
{
    if (band.endsWith(QStringLiteral("cm")))
        return band.chopped(2) + QStringLiteral(" cm");
    if (band.endsWith(u'm'))
        return band.chopped(1) + QStringLiteral(" m");
    return band;
}

} // namespace

void TForm1::nameControls()
{
    // Labels that stand beside an input name it and are linked to it.
    Label5->setBuddy(Edit1);
    Label14->setBuddy(Edit4);
    Label1->setBuddy(Shape1);
    Label2->setBuddy(ProgressBar1);
    Label6->setBuddy(Label3);
    Label8->setBuddy(Label9);
    Label7->setBuddy(Label4);
    Label13->setBuddy(Label12);

    Edit3->setAccessibleName(QStringLiteral("Find callsign"));
    Edit1->setAccessibleName(QStringLiteral("Records"));
    Edit4->setAccessibleName(QStringLiteral("Your callsign"));
    Edit5->setAccessibleName(QStringLiteral("Callsign override"));
    Button5->setAccessibleName(QStringLiteral("Find my callsign"));
    Button6->setAccessibleName(QStringLiteral("Query now"));
    Button7->setAccessibleDescription(Button7->toolTip());
    Shape2->setAccessibleName(QStringLiteral("Querying the report service"));
    ProgressBar1->setAccessibleName(QStringLiteral("Update cycle"));
    RichEdit1->setAccessibleName(QStringLiteral("List view"));
    RichEdit3->setAccessibleName(QStringLiteral("Find results"));
    RichEdit3->setAccessibleDescription(QStringLiteral("Escape closes"));
    StringGrid1->setAccessibleName(QStringLiteral("Report table"));
    Label11->setAccessibleDescription(Label11->toolTip());
    // The download link is reached with Tab too; Enter or Space opens it.
    Label15->setFocusPolicy(Qt::StrongFocus);

    // The table draws its header in row 0 and shows no header row; the
    // hidden header's labels are what a reader announces for each column.
    StringGrid1->setHorizontalHeaderLabels({QStringLiteral("Timing"), QStringLiteral("Call"), QStringLiteral("SN"),
                                            QStringLiteral("Band"), QStringLiteral("Mode"), QStringLiteral("Grid"),
                                            QStringLiteral("Area")});

    passStatus = new QLabel(this);
    passStatus->setObjectName(QStringLiteral("passStatus"));
    passStatus->setTextFormat(Qt::PlainText);
    // Zero size: heard by a screen reader, never seen.
    passStatus->setGeometry(0, 0, 0, 0);
    passStatus->setAccessibleName(QStringLiteral("No reports yet"));

    nameClockLabels();
    showConnectivity();
}

void TForm1::nameClockLabels()
{
    setName(Label3, captioned(QStringLiteral("Last query"), Label3));
    setName(Label9, captioned(QStringLiteral("Now"), Label9));
    setName(Label4, captioned(QStringLiteral("Next query"), Label4));
    setName(Label12, captioned(QStringLiteral("Sequence number"), Label12));
}

QString TForm1::passStatusText(const QList<AnswerReport> &reports)
{
    if (reports.isEmpty())
        return QStringLiteral("No new reports");
    // The latest is the one heard last, wherever the answer lists it.
    const AnswerReport *latest = nullptr;
    qint64 latestTime = -1;
    for (const AnswerReport &report : reports) {
        bool ok = false;
        const qint64 time = report.flowStartSeconds.toLongLong(&ok);
        if (!latest || (ok && time > latestTime)) {
            latest = &report;
            latestTime = ok ? time : latestTime;
        }
    }
    QString text = reports.size() == 1 ? QStringLiteral("1 new report")
                                       : QStringLiteral("%1 new reports").arg(reports.size());
    const QString call = latest->receiver;
    if (call.isEmpty())
        return text;
    text += QStringLiteral(", latest ") + call;
    QString snr = latest->snr.trimmed();
    if (!snr.isEmpty()) {
        if (!snr.startsWith(u'-') && !snr.startsWith(u'+'))
            snr.prepend(u'+');
        text += u' ' + snr + QStringLiteral(" dB");
    }
    const QString band = FrequencyToBand(latest->frequency);
    if (!band.isEmpty() && band != QStringLiteral("0m"))
        text += QStringLiteral(" on ") + spokenBand(band);
    return text;
}

void TForm1::announcePass(const QList<AnswerReport> &reports)
{
    // Qt has no announcement call: a name that changes is what readers
    // follow; the same line again is told again.
    const QString text = passStatusText(reports);
    if (passStatus->accessibleName() != text) {
        passStatus->setAccessibleName(text);
    } else if (QAccessible::isActive()) {
        QAccessibleEvent changed(passStatus, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}
