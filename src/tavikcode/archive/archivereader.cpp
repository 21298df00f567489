#include "archivereader.h"

#include "archiveschema.h"
#include "processing/reportline.h"
#include "sqlitedb.h"

#include <QHash>
#include <QSet>

#include <sqlite3.h>

#include <algorithm>
#include <vector>

namespace {

constexpr qint64 kHourChartSeconds = 7 * 86400;

// Texts of one column, each made a QString once, however many rows repeat it.
class Texts
{
public:
    int id(const QByteArray &raw)
    {
        const auto found = m_ids.constFind(raw);
        if (found != m_ids.constEnd())
            return *found;
        const int id = int(m_texts.size());
        m_ids.insert(QByteArray(raw.constData(), raw.size()), id);
        m_texts.append(QString::fromUtf8(raw));
        return id;
    }
    const QString &text(int id) const { return m_texts.at(id); }
    qsizetype size() const { return m_texts.size(); }

private:
    QHash<QByteArray, int> m_ids;
    QList<QString> m_texts;
};

quint64 pair(quint32 high, quint32 low)
{
    return (quint64(high) << 32) | low;
}

struct HeardKey
{
    int receiver;
    int locator;
    int band;
    bool operator==(const HeardKey &) const = default;
};

size_t qHash(const HeardKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.receiver, key.locator, key.band);
}

void addSnr(std::optional<int> &best, const std::optional<qint64> &snr)
{
    if (snr && (!best || *snr > *best))
        best = int(*snr);
}

// Band order, then the names of bands outside the table.
bool bandBefore(const QString &a, const QString &b)
{
    const int ra = bandRank(a);
    const int rb = bandRank(b);
    return ra != rb ? ra < rb : a < b;
}

class SqliteArchiveReader final : public ArchiveReader
{
public:
    explicit SqliteArchiveReader(const QString &fileName) : m_db(fileName, SqliteDb::ReadOnly)
    {
        sqlite3_busy_timeout(m_db.handle(), 2000);
        checkArchiveVersion(m_db);
    }

    ReachSnapshot reach(const ArchivePeriod &period) override;
    void forEachReport(const ArchivePeriod &period,
                       const std::function<void(const ArchivedReport &)> &visit) override;
    void interrupt() override { sqlite3_interrupt(m_db.handle()); }

private:
    SqliteDb m_db;
};

ReachSnapshot SqliteArchiveReader::reach(const ArchivePeriod &period)
{
    Statement rows(m_db, R"sql(
        SELECT flow_start, receiver, locator, band, snr, dxcc FROM report
         WHERE flow_start >= ?1 AND flow_start < ?2
    )sql");
    rows.bind(1, period.fromSeconds);
    rows.bind(2, period.toSeconds);

    // One pass over the period's rows; the texts are counted by number.
    Texts receivers, locators, bands, dxccs;
    struct BandSum
    {
        qint64 reports = 0;
        std::optional<int> bestSnr;
        qint64 lastHeard = 0;
    };
    std::vector<BandSum> bandSums;
    BandSum total;
    QSet<quint64> bandReceivers, bandDxccs, hourReceivers;
    std::vector<bool> anyReceiver, anyDxcc;
    QHash<HeardKey, HeardReceiver> heard;
    const qint64 hoursFrom = std::max(period.fromSeconds, period.toSeconds - kHourChartSeconds);

    while (rows.step()) {
        const qint64 at = rows.integer(0);
        const int receiver = receivers.id(rows.rawText(1));
        const int locator = locators.id(rows.rawText(2));
        const int band = bands.id(rows.rawText(3));
        const std::optional<qint64> snr = rows.optionalInteger(4);
        const QByteArray dxccText = rows.rawText(5);
        const int dxcc = dxccText.isEmpty() ? -1 : dxccs.id(dxccText);

        if (size_t(band) >= bandSums.size())
            bandSums.resize(band + 1);
        for (BandSum *sum : {&bandSums[band], &total}) {
            ++sum->reports;
            addSnr(sum->bestSnr, snr);
            sum->lastHeard = std::max(sum->lastHeard, at);
        }
        bandReceivers.insert(pair(band, receiver));
        if (size_t(receiver) >= anyReceiver.size())
            anyReceiver.resize(receiver + 1);
        anyReceiver[receiver] = true;
        if (dxcc >= 0) {
            bandDxccs.insert(pair(band, dxcc));
            if (size_t(dxcc) >= anyDxcc.size())
                anyDxcc.resize(dxcc + 1);
            anyDxcc[dxcc] = true;
        }

        HeardReceiver &h = heard[HeardKey{receiver, locator, band}];
        if (h.reports++ == 0) {
            h.callsign = receivers.text(receiver);
            h.locator = locators.text(locator);
            h.band = bands.text(band);
        }
        addSnr(h.bestSnr, snr);
        h.lastHeard = std::max(h.lastHeard, at);

        if (at >= hoursFrom) {
            // Floor division: an instant before 1970 still falls in its hour.
            const qint64 hour = ((at % 86400 + 86400) % 86400) / 3600;
            hourReceivers.insert(pair(quint32(band * 24 + hour), receiver));
        }
    }

    ReachSnapshot snapshot;
    std::vector<qint64> receiversOf(bandSums.size()), dxccOf(bandSums.size());
    for (const quint64 key : std::as_const(bandReceivers))
        ++receiversOf[key >> 32];
    for (const quint64 key : std::as_const(bandDxccs))
        ++dxccOf[key >> 32];
    for (size_t band = 0; band < bandSums.size(); ++band) {
        const QString &name = bands.text(int(band));
        // A report whose frequency was no number has no band: it counts in the total only.
        if (name.isEmpty())
            continue;
        const BandSum &sum = bandSums[band];
        snapshot.bands.append({name, sum.reports, receiversOf[band], dxccOf[band], sum.bestSnr, sum.lastHeard});
    }
    std::sort(snapshot.bands.begin(), snapshot.bands.end(),
              [](const BandCounts &a, const BandCounts &b) { return bandBefore(a.band, b.band); });
    snapshot.total = {QString(), total.reports, qint64(std::count(anyReceiver.begin(), anyReceiver.end(), true)),
                      qint64(std::count(anyDxcc.begin(), anyDxcc.end(), true)), total.bestSnr, total.lastHeard};

    snapshot.receivers.reserve(heard.size());
    for (const HeardReceiver &h : std::as_const(heard))
        snapshot.receivers.append(h);
    std::sort(snapshot.receivers.begin(), snapshot.receivers.end(),
              [](const HeardReceiver &a, const HeardReceiver &b) {
                  if (a.band != b.band)
                      return bandBefore(a.band, b.band);
                  if (a.callsign != b.callsign)
                      return a.callsign < b.callsign;
                  return a.locator < b.locator;
              });

    QHash<quint32, qint64> cells;
    for (const quint64 key : std::as_const(hourReceivers))
        ++cells[quint32(key >> 32)];
    for (auto cell = cells.cbegin(); cell != cells.cend(); ++cell)
        snapshot.hours.append({bands.text(int(cell.key() / 24)), int(cell.key() % 24), cell.value()});
    std::sort(snapshot.hours.begin(), snapshot.hours.end(), [](const HourCount &a, const HourCount &b) {
        return a.band != b.band ? bandBefore(a.band, b.band) : a.hour < b.hour;
    });
    return snapshot;
}

void SqliteArchiveReader::forEachReport(const ArchivePeriod &period,
                                        const std::function<void(const ArchivedReport &)> &visit)
{
    Statement rows(m_db, R"sql(
        SELECT flow_start, sender, receiver, locator, frequency, band, mode, snr, snr_text, dxcc, stored_at
          FROM report WHERE flow_start >= ?1 AND flow_start < ?2 ORDER BY flow_start
    )sql");
    rows.bind(1, period.fromSeconds);
    rows.bind(2, period.toSeconds);
    ArchivedReport r;
    while (rows.step()) {
        r.flowStartSeconds = rows.integer(0);
        r.sender = rows.text(1);
        r.receiver = rows.text(2);
        r.locator = rows.text(3);
        r.frequency = rows.optionalInteger(4);
        r.band = rows.text(5);
        r.mode = rows.text(6);
        const std::optional<qint64> snr = rows.optionalInteger(7);
        r.snr = snr ? std::optional<int>(int(*snr)) : std::nullopt;
        r.snrText = rows.text(8);
        r.dxcc = rows.text(9);
        r.storedAt = rows.integer(10);
        visit(r);
    }
}

} // namespace

std::unique_ptr<ArchiveReader> openArchiveReader(const QString &fileName)
{
    try {
        return std::make_unique<SqliteArchiveReader>(fileName);
    } catch (const TavikError &e) {
        throw TavikError(QStringLiteral("The report archive %1 cannot be read: %2").arg(fileName, e.message()));
    }
}
