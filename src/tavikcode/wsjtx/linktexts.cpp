#include "linktexts.h"

#include "archive/bandplan.h"
#include "geo/locator.h"

#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

// Letters, digits, blanks and "-./+#" only, at most 24 characters.
QString shown(QStringView text)
{
    QString out;
    for (const QChar c : text.left(24)) {
        if (c.isLetterOrNumber() || c == u' ' || u"-./+#"_s.contains(c))
            out += c;
    }
    return out.trimmed();
}

// "WSJT-X", "JTDX" of "JTDX -  14074000", "WSJT-X - IC7300" as it stands.
QString programName(const QString &id)
{
    const qsizetype dash = id.indexOf(u" - "_s);
    if (dash > 0) {
        const QString rest = id.mid(dash + 3).trimmed();
        bool number = false;
        rest.toLongLong(&number);
        if (number)
            return shown(id.left(dash));
    }
    const QString name = shown(id);
    return name.isEmpty() ? u"Digital-mode program"_s : name;
}

// "; also heard: JTDX" for the copies not followed.
QString othersText(const WsjtxInstances &instances)
{
    QStringList names;
    for (const QString &id : instances.otherIds())
        names << programName(id);
    return names.isEmpty() ? QString() : u"; also heard: "_s + names.join(u", "_s);
}

} // namespace

QString liveBand(const WsjtxInstances &instances)
{
    const WsjtxInstance *followed = instances.followed();
    if (!followed || !followed->status || followed->status->dialHz == 0)
        return {};
    return bandOfFrequency(qint64(followed->status->dialHz));
}

QString liveGrid(const WsjtxInstances &instances)
{
    const WsjtxInstance *followed = instances.followed();
    if (!followed || !followed->status || !followed->status->deGrid)
        return {};
    const QString grid = followed->status->deGrid->trimmed();
    return locatorPosition(grid) ? grid : QString();
}

QString linkStateText(const WsjtxInstances &instances, bool transmitting)
{
    const WsjtxInstance *followed = instances.followed();
    if (!followed)
        return u"no digital-mode program heard"_s;
    const QString name = programName(followed->id);
    const QString band = liveBand(instances);
    if (band.isEmpty())
        return name + u": no frequency yet"_s + othersText(instances);
    QString text = name + u": "_s + band + u' ' + shown(followed->status->mode);
    if (transmitting)
        text += u", transmitting"_s;
    return text.trimmed() + othersText(instances);
}

QString lastTransmissionLine(const TransmissionSummary &summary)
{
    const Transmission &t = summary.transmission;
    QString text = u"Last TX %1 %2 %3: "_s.arg(t.start.toUTC().toString(u"HH:mm:ss"_s), t.band, shown(t.mode));
    if (summary.receivers == 0)
        return text + u"heard by nobody yet"_s;
    text += u"heard by %1"_s.arg(summary.receivers);
    if (summary.farthestKm) {
        const QLocale english(QLocale::English);
        text += u", farthest %1 km"_s.arg(english.toString(qint64(std::lround(*summary.farthestKm))));
    }
    return text;
}

QString callsignNote(const WsjtxInstances &instances, const QString &callsign)
{
    const WsjtxInstance *followed = instances.followed();
    if (!followed || !followed->status || callsign.isEmpty())
        return {};
    const QString de = shown(followed->status->deCall);
    if (de.isEmpty() || de.compare(callsign, Qt::CaseInsensitive) == 0)
        return {};
    return u"%1 sends as %2; this program asks for %3."_s.arg(programName(followed->id), de, callsign);
}
