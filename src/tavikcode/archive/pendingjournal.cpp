#include "pendingjournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>

#include <variant>

namespace {

constexpr QByteArrayView kJournalHeader = "TavikArchive-pending 3";
constexpr QByteArrayView kJournalHeaderVersion2 = "TavikArchive-pending 2";
constexpr QByteArrayView kJournalHeaderVersion1 = "TavikArchive-pending 1";
constexpr QByteArrayView kJournalEnd = "end\t";

using JournalRecord = std::variant<ArchivedReport, ReceiverSighting, Transmission>;

void appendEscaped(QByteArray &line, const QString &text)
{
    line += '\t';
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '\\':
            line += "\\\\";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\r':
            line += "\\r";
            break;
        case '\n':
            line += "\\n";
            break;
        default:
            line += c;
        }
    }
}

void appendNumber(QByteArray &line, std::optional<qint64> value)
{
    line += '\t';
    if (value)
        line += QByteArray::number(*value);
}

QByteArray journalLine(const ArchivedReport &r)
{
    QByteArray line(r.reference ? "F" : "R");
    appendNumber(line, r.flowStartSeconds);
    appendEscaped(line, r.sender);
    appendEscaped(line, r.receiver);
    appendEscaped(line, r.locator);
    appendNumber(line, r.frequency);
    appendEscaped(line, r.band);
    appendEscaped(line, r.mode);
    appendNumber(line, r.snr ? std::optional<qint64>(*r.snr) : std::nullopt);
    appendEscaped(line, r.snrText);
    appendEscaped(line, r.dxcc);
    appendNumber(line, r.storedAt);
    return line += "\r\n";
}

QByteArray journalLine(const Transmission &t)
{
    QByteArray line("T");
    appendNumber(line, t.start.toMSecsSinceEpoch());
    appendNumber(line, t.end.toMSecsSinceEpoch());
    appendNumber(line, qint64(t.dialHz));
    appendEscaped(line, t.band);
    appendEscaped(line, t.mode);
    appendNumber(line, qint64(t.txDf));
    return line += "\r\n";
}

QByteArray journalLine(const ReceiverSighting &s)
{
    QByteArray line("S");
    appendEscaped(line, s.callsign);
    appendEscaped(line, s.locator);
    appendNumber(line, s.seenAt);
    return line += "\r\n";
}

// The fields of one line, read back; every reading checks its shape.
class Fields
{
public:
    explicit Fields(QByteArrayView line) : m_fields(line.toByteArray().split('\t')) {}

    qsizetype size() const { return m_fields.size(); }

    QString text(qsizetype i) const
    {
        QByteArray plain;
        const QByteArray &field = m_fields.at(i);
        for (qsizetype k = 0; k < field.size(); ++k) {
            if (field[k] != '\\') {
                plain += field[k];
                continue;
            }
            const char next = ++k < field.size() ? field[k] : '\0';
            switch (next) {
            case '\\':
                plain += '\\';
                break;
            case 't':
                plain += '\t';
                break;
            case 'r':
                plain += '\r';
                break;
            case 'n':
                plain += '\n';
                break;
            default:
                throw JournalDamage(QStringLiteral("a backslash that escapes nothing"));
            }
        }
        return QString::fromUtf8(plain);
    }

    std::optional<qint64> optionalNumber(qsizetype i) const
    {
        if (m_fields.at(i).isEmpty())
            return std::nullopt;
        return number(i);
    }

    qint64 number(qsizetype i) const
    {
        bool ok = false;
        const qint64 value = m_fields.at(i).toLongLong(&ok);
        if (!ok || m_fields.at(i) != QByteArray::number(value))
            throw JournalDamage(QStringLiteral("a number that is none"));
        return value;
    }

private:
    QList<QByteArray> m_fields;
};

JournalRecord parseLine(QByteArrayView line)
{
    const Fields f(line);
    if ((line.startsWith("R\t") || line.startsWith("F\t")) && f.size() == 12) {
        ArchivedReport r;
        r.reference = line.front() == 'F';
        r.flowStartSeconds = f.number(1);
        r.sender = f.text(2);
        r.receiver = f.text(3);
        r.locator = f.text(4);
        r.frequency = f.optionalNumber(5);
        r.band = f.text(6);
        r.mode = f.text(7);
        if (const std::optional<qint64> snr = f.optionalNumber(8)) {
            if (*snr != int(*snr))
                throw JournalDamage(QStringLiteral("an sNR out of range"));
            r.snr = int(*snr);
        }
        r.snrText = f.text(9);
        r.dxcc = f.text(10);
        r.storedAt = f.number(11);
        return r;
    }
    if (line.startsWith("S\t") && f.size() == 4) {
        ReceiverSighting s;
        s.callsign = f.text(1);
        s.locator = f.text(2);
        s.seenAt = f.number(3);
        return s;
    }
    if (line.startsWith("T\t") && f.size() == 7) {
        const qint64 dialHz = f.number(3), txDf = f.number(6);
        if (dialHz < 0 || txDf < 0 || txDf > 0xffffffffLL)
            throw JournalDamage(QStringLiteral("a transmission out of range"));
        return Transmission{QDateTime::fromMSecsSinceEpoch(f.number(1), Qt::UTC),
                            QDateTime::fromMSecsSinceEpoch(f.number(2), Qt::UTC), quint64(dialHz), f.text(4),
                            f.text(5), quint32(txDf)};
    }
    throw JournalDamage(QStringLiteral("a line of no known kind"));
}

// Reads the file's records in order, each with its line as written, and
// checks the first line and the end line. Damage names its line.
void scanJournal(const QString &fileName, const std::function<void(QByteArrayView, JournalRecord &&)> &each)
{
    QFile file(fileName);
    const auto unreadable = [&] {
        return TavikError(QStringLiteral("%1 cannot be read: %2").arg(QFileInfo(fileName).fileName(), file.errorString()));
    };
    if (!file.open(QIODevice::ReadOnly))
        throw unreadable();
    qint64 lineNumber = 0;
    qint64 records = 0;
    bool ended = false;
    while (!file.atEnd()) {
        const QByteArray raw = file.readLine();
        ++lineNumber;
        QByteArrayView line(raw);
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        try {
            if (lineNumber == 1) {
                if (line != kJournalHeader && line != kJournalHeaderVersion2 && line != kJournalHeaderVersion1)
                    throw JournalDamage(QStringLiteral("not a file of waiting reports of this program"));
            } else if (ended) {
                throw JournalDamage(QStringLiteral("a line after the end"));
            } else if (line.startsWith(kJournalEnd)) {
                if (line.sliced(kJournalEnd.size()) != QByteArray::number(records))
                    throw JournalDamage(QStringLiteral("a count that differs from its lines"));
                ended = true;
            } else {
                each(raw, parseLine(line));
                ++records;
            }
        } catch (const JournalDamage &e) {
            throw JournalDamage(QStringLiteral("line %1: %2").arg(lineNumber).arg(e.message()));
        }
    }
    if (file.error() != QFileDevice::NoError)
        throw unreadable();
    if (!ended)
        throw JournalDamage(QStringLiteral("it ends early, at line %1").arg(lineNumber));
}

// The segments by number: the first, then "<stem>-<n>.txt". A folder of
// such a name is no segment; it is not read, nor set aside.
QMap<qint64, QString> segmentsOf(const QString &firstName)
{
    const QFileInfo first(firstName);
    const QString stem = first.completeBaseName() + u'-';
    const QString suffix = u'.' + first.suffix();
    QMap<qint64, QString> found;
    if (first.isFile())
        found.insert(1, firstName);
    const QDir dir = first.dir();
    for (const QFileInfo &f : dir.entryInfoList({stem + u'*' + suffix}, QDir::Files | QDir::Hidden)) {
        const QString name = f.fileName();
        const QStringView middle = QStringView(name).sliced(stem.size(), name.size() - stem.size() - suffix.size());
        bool ok = false;
        const qint64 n = middle.toLongLong(&ok);
        if (ok && n > 1 && middle == QString::number(n))
            found.insert(n, f.filePath());
    }
    return found;
}

void readSegments(const QStringList &segments, qsizetype chunkSize, const PendingJournal::Take &take,
                  const PendingJournal::Damaged &damaged)
{
    QList<ArchivedReport> reports;
    QList<ReceiverSighting> receivers;
    bool taking = false;
    const auto handOver = [&] {
        taking = true;
        take(reports, receivers);
        taking = false;
        reports.clear();
        receivers.clear();
    };
    for (const QString &segment : segments) {
        try {
            scanJournal(segment, [&](QByteArrayView, JournalRecord &&record) {
                if (auto *r = std::get_if<ArchivedReport>(&record))
                    reports.append(std::move(*r));
                else if (auto *s = std::get_if<ReceiverSighting>(&record))
                    receivers.append(std::move(*s));
                else
                    return; // read apart: transmissions()
                if (reports.size() + receivers.size() >= chunkSize)
                    handOver();
            });
        } catch (const TavikError &e) {
            // A fault of take's is none of the segment's.
            if (!damaged || taking)
                throw;
            damaged(segment, e.message());
        }
    }
    if (!reports.isEmpty() || !receivers.isEmpty())
        handOver();
}

} // namespace

QString PendingJournal::besideArchive(const QString &archiveFileName)
{
    const QFileInfo info(archiveFileName);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("-pending.txt"));
}

QStringList PendingJournal::segments() const
{
    return segmentsOf(m_fileName).values();
}

QString PendingJournal::append(const QList<ArchivedReport> &reports, const QList<ReceiverSighting> &receivers,
                              const QList<Transmission> &transmissions) const
{
    // A name after every segment there: each is written once, whole, and never touched again.
    const QMap<qint64, QString> there = segmentsOf(m_fileName);
    QString name = m_fileName;
    if (!there.isEmpty()) {
        const QFileInfo first(m_fileName);
        name = first.dir().filePath(first.completeBaseName() + u'-' + QString::number(there.lastKey() + 1) + u'.'
                                    + first.suffix());
    }
    QSaveFile file(name);
    const auto failed = [&] {
        return TavikError(
            QStringLiteral("%1 cannot be written: %2").arg(QFileInfo(name).fileName(), file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly))
        throw failed();
    file.write(kJournalHeader.data(), kJournalHeader.size());
    file.write("\r\n");
    for (const ArchivedReport &r : reports)
        file.write(journalLine(r));
    for (const ReceiverSighting &s : receivers)
        file.write(journalLine(s));
    for (const Transmission &t : transmissions)
        file.write(journalLine(t));
    file.write(kJournalEnd.data(), kJournalEnd.size());
    file.write(QByteArray(QByteArray::number(reports.size() + receivers.size() + transmissions.size()) + "\r\n"));
    if (!file.commit())
        throw failed();
    return name;
}

QList<Transmission> PendingJournal::transmissions() const
{
    QList<Transmission> found;
    for (const QString &segment : segments()) {
        try {
            scanJournal(segment, [&](QByteArrayView, JournalRecord &&record) {
                if (auto *t = std::get_if<Transmission>(&record))
                    found.append(std::move(*t));
            });
        } catch (const TavikError &) {
            // A damaged segment is read() and set aside there.
        }
    }
    return found;
}

void PendingJournal::read(qsizetype chunkSize, const Take &take, const Damaged &damaged) const
{
    readSegments(segments(), chunkSize, take, damaged);
}

void PendingJournal::readSegment(const QString &segment, qsizetype chunkSize, const Take &take)
{
    readSegments({segment}, chunkSize, take, {});
}

void PendingJournal::remove() const
{
    for (const QString &segment : segments()) {
        QFile file(segment);
        if (!file.remove())
            throw TavikError(
                QStringLiteral("%1 cannot be deleted: %2").arg(QFileInfo(segment).fileName(), file.errorString()));
    }
}

QString PendingJournal::setAside(const QString &segment, const QDateTime &now)
{
    const QFileInfo info(segment);
    const QString stem = info.dir().filePath(info.completeBaseName() + QStringLiteral("-damaged-")
                                             + now.toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    QString name = stem + suffix;
    for (int n = 2; QFile::exists(name); ++n)
        name = stem + u'-' + QString::number(n) + suffix;
    QFile file(segment);
    if (!file.rename(name))
        throw TavikError(QStringLiteral("%1 cannot be renamed %2: %3")
                             .arg(info.fileName(), QFileInfo(name).fileName(), file.errorString()));
    return name;
}
