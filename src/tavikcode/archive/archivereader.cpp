#include "archivereader.h"

#include "archiveschema.h"
#include "bandplan.h"
#include "sqlitedb.h"

#include <QHash>
#include <QSet>

#include <sqlite3.h>

#include <algorithm>
#include <numeric>
#include <string_view>
#include <unordered_map>
#include <tuple>
#include <vector>

namespace {

constexpr qint64 kHourChartSeconds = 7 * 86400;

// Texts of one column, each made a QString once, however many rows repeat it.
class Texts
{
public:
    int id(const QByteArray &raw)
    {
        const std::string_view view(raw.constData(), size_t(raw.size()));
        if (const auto found = m_ids.find(view); found != m_ids.end())
            return found->second;
        const int id = int(m_texts.size());
        m_raw.append(QByteArray(raw.constData(), raw.size()));
        // The copy's bytes stay where they are as the list grows.
        m_ids.emplace(std::string_view(m_raw.constLast().constData(), size_t(raw.size())), id);
        m_texts.append(QString::fromUtf8(raw));
        return id;
    }
    const QString &text(int id) const { return m_texts.at(id); }
    const QList<QString> &texts() const { return m_texts; }
    const QByteArray &raw(int id) const { return m_raw.at(id); }
    int size() const { return int(m_texts.size()); }

    // Each id's place in the order of the texts.
    std::vector<int> ranks() const
    {
        std::vector<int> order(m_texts.size());
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [this](int a, int b) { return m_texts.at(a) < m_texts.at(b); });
        std::vector<int> rank(order.size());
        for (size_t i = 0; i < order.size(); ++i)
            rank[order[i]] = int(i);
        return rank;
    }

private:
    std::unordered_map<std::string_view, int> m_ids;
    QList<QByteArray> m_raw;
    QList<QString> m_texts;
};

quint64 pair(quint32 high, quint32 low)
{
    return (quint64(high) << 32) | low;
}

void addSnr(std::optional<int> &best, const std::optional<qint64> &snr)
{
    if (snr && (!best || *snr > *best))
        best = int(*snr);
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
    ComparisonReports comparison(const ArchivePeriod &period, const QString &operatorCallsign,
                                 const QString &referenceCallsign) override;
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

    // One pass over the period's rows: each text becomes a number once, and
    // everything is counted by number.
    struct Sum
    {
        qint64 reports = 0;
        std::optional<int> bestSnr;
        qint64 lastHeard = 0;
        void add(qint64 at, const std::optional<qint64> &snr)
        {
            ++reports;
            addSnr(bestSnr, snr);
            lastHeard = std::max(lastHeard, at);
        }
    };
    struct Heard : Sum
    {
        int receiver = 0;
        int locator = 0;
        int band = 0;
        int lastDxcc = -1;
    };
    Texts receivers, locators, bands, dxccs;
    std::vector<Heard> heard;
    std::vector<std::vector<int>> heardOf; // by receiver number: its places in heard
    std::vector<Sum> bandSums;
    Sum total;
    QSet<quint64> bandDxccs, hourReceivers;
    std::vector<char> anyDxcc;
    int band = -1; // the last row's, which the next row mostly shares
    const qint64 hoursFrom = std::max(period.fromSeconds, period.toSeconds - kHourChartSeconds);

    while (rows.step()) {
        const qint64 at = rows.integer(0);
        const int receiver = receivers.id(rows.rawText(1));
        const int locator = locators.id(rows.rawText(2));
        if (const QByteArray name = rows.rawText(3); band < 0 || bands.raw(band) != name) {
            band = bands.id(name);
            if (size_t(band) >= bandSums.size())
                bandSums.resize(band + 1);
        }
        // A receiver is heard from a few locators and bands at most.
        if (size_t(receiver) >= heardOf.size())
            heardOf.resize(receiver + 1);
        std::vector<int> &ofReceiver = heardOf[receiver];
        const auto known = std::find_if(ofReceiver.begin(), ofReceiver.end(), [&](int i) {
            return heard[i].locator == locator && heard[i].band == band;
        });
        int place;
        if (known != ofReceiver.end()) {
            place = *known;
        } else {
            place = int(heard.size());
            ofReceiver.push_back(place);
            heard.push_back(Heard{{}, receiver, locator, band});
        }
        Heard &h = heard[place];
        const std::optional<qint64> snr = rows.optionalInteger(4);
        h.add(at, snr);
        bandSums[band].add(at, snr);
        total.add(at, snr);

        // A receiver's DXCC value rarely changes: looked up only when it does.
        const QByteArray dxcc = rows.rawText(5);
        if (!dxcc.isEmpty() && (h.lastDxcc < 0 || dxccs.raw(h.lastDxcc) != dxcc)) {
            h.lastDxcc = dxccs.id(dxcc);
            bandDxccs.insert(pair(band, h.lastDxcc));
            if (size_t(h.lastDxcc) >= anyDxcc.size())
                anyDxcc.resize(h.lastDxcc + 1);
            anyDxcc[h.lastDxcc] = 1;
        }
        if (at >= hoursFrom) {
            // Floor division: an instant before 1970 still falls in its hour.
            const qint64 hour = ((at % 86400 + 86400) % 86400) / 3600;
            hourReceivers.insert(pair(quint32(band * 24 + hour), receiver));
        }
    }

    // Band order, then the names of bands outside the table.
    std::vector<int> bandOrder(bands.size());
    std::iota(bandOrder.begin(), bandOrder.end(), 0);
    std::sort(bandOrder.begin(), bandOrder.end(),
              [&](int a, int b) { return bandPlanBefore(bands.text(a), bands.text(b)); });
    std::vector<int> bandRankOf(bands.size());
    for (size_t i = 0; i < bandOrder.size(); ++i)
        bandRankOf[bandOrder[i]] = int(i);

    // Distinct receivers of each band and of all, from the heard rows.
    std::vector<qint64> receiversOf(bands.size()), dxccOf(bands.size());
    std::vector<std::vector<char>> onBand(bands.size(), std::vector<char>(receivers.size()));
    std::vector<char> anyReceiver(receivers.size());
    for (const Heard &h : heard) {
        receiversOf[h.band] += !onBand[h.band][h.receiver];
        onBand[h.band][h.receiver] = 1;
        anyReceiver[h.receiver] = 1;
    }
    for (const quint64 key : std::as_const(bandDxccs))
        ++dxccOf[key >> 32];

    ReachSnapshot snapshot;
    for (const int band : bandOrder) {
        // A report whose frequency was no number has no band: it counts in the total only.
        if (bands.text(band).isEmpty())
            continue;
        const Sum &sum = bandSums[band];
        snapshot.bands.append(
            {bands.text(band), sum.reports, receiversOf[band], dxccOf[band], sum.bestSnr, sum.lastHeard});
    }
    snapshot.total = {QString(), total.reports, qint64(std::count(anyReceiver.begin(), anyReceiver.end(), 1)),
                      qint64(std::count(anyDxcc.begin(), anyDxcc.end(), 1)), total.bestSnr, total.lastHeard};

    // By band, callsign and locator, compared as numbers once each text has its place.
    const std::vector<int> receiverRank = receivers.ranks();
    const std::vector<int> locatorRank = locators.ranks();
    std::sort(heard.begin(), heard.end(), [&](const Heard &a, const Heard &b) {
        return std::tuple(bandRankOf[a.band], receiverRank[a.receiver], locatorRank[a.locator])
            < std::tuple(bandRankOf[b.band], receiverRank[b.receiver], locatorRank[b.locator]);
    });
    snapshot.receivers.reserve(qsizetype(heard.size()));
    for (const Heard &h : heard) {
        snapshot.receivers.append({receivers.text(h.receiver), locators.text(h.locator), bands.text(h.band), h.reports,
                                   h.bestSnr, h.lastHeard});
    }

    std::vector<quint32> cells;
    QHash<quint32, qint64> cellReceivers;
    for (const quint64 key : std::as_const(hourReceivers)) {
        if (cellReceivers[quint32(key >> 32)]++ == 0)
            cells.push_back(quint32(key >> 32));
    }
    std::sort(cells.begin(), cells.end(), [&](quint32 a, quint32 b) {
        return std::pair(bandRankOf[a / 24], a % 24) < std::pair(bandRankOf[b / 24], b % 24);
    });
    for (const quint32 cell : cells)
        snapshot.hours.append({bands.text(int(cell / 24)), int(cell % 24), cellReceivers.value(cell)});
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
        const qint64 frequency = rows.integer(4);
        r.frequency = frequency == kNoFrequency ? std::nullopt : std::optional<qint64>(frequency);
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

ComparisonReports SqliteArchiveReader::comparison(const ArchivePeriod &period, const QString &operatorCallsign,
                                                  const QString &referenceCallsign)
{
    // Both stations in one pass over the period, told apart by their sender.
    Statement rows(m_db, R"sql(
        SELECT sender = ?3, flow_start, receiver, locator, band, mode, snr FROM report
         WHERE flow_start >= ?1 AND flow_start < ?2 AND sender IN (?3, ?4) ORDER BY flow_start
    )sql");
    rows.bind(1, period.fromSeconds);
    rows.bind(2, period.toSeconds);
    rows.bind(3, operatorCallsign);
    rows.bind(4, referenceCallsign);
    Texts receivers, locators, bands, modes;
    // A receiver mostly keeps its locator, and band and mode repeat: each is
    // looked up only when it differs from the one before.
    const auto same = [](const Texts &texts, int id, const QByteArray &raw) { return id >= 0 && texts.raw(id) == raw; };
    std::vector<int> locatorOf; // by receiver: its last locator
    int band = -1, mode = -1;
    ComparisonReports result;
    while (rows.step()) {
        StationReport r;
        r.flowStartSeconds = rows.integer(1);
        r.receiver = receivers.id(rows.rawText(2));
        if (size_t(r.receiver) >= locatorOf.size())
            locatorOf.resize(size_t(r.receiver) + 1, -1);
        int &locator = locatorOf[size_t(r.receiver)];
        if (const QByteArray raw = rows.rawText(3); !same(locators, locator, raw))
            locator = locators.id(raw);
        r.locator = locator;
        if (const QByteArray raw = rows.rawText(4); !same(bands, band, raw))
            band = bands.id(raw);
        r.band = band;
        if (const QByteArray raw = rows.rawText(5); !same(modes, mode, raw))
            mode = modes.id(raw);
        r.mode = mode;
        if (const std::optional<qint64> snr = rows.optionalInteger(6))
            r.snr = int(*snr);
        (rows.integer(0) ? result.ofOperator : result.ofReference).push_back(r);
    }
    result.receivers = receivers.texts();
    result.locators = locators.texts();
    result.bands = bands.texts();
    result.modes = modes.texts();
    return result;
}

} // namespace

ComparisonReports ArchiveReader::comparison(const ArchivePeriod &, const QString &, const QString &)
{
    throw TavikError(QStringLiteral("This archive keeps no reports to compare"));
}

std::unique_ptr<ArchiveReader> openArchiveReader(const QString &fileName)
{
    try {
        return std::make_unique<SqliteArchiveReader>(fileName);
    } catch (const TavikError &e) {
        throw TavikError(QStringLiteral("The report archive %1 cannot be read: %2").arg(fileName, e.message()));
    }
}
