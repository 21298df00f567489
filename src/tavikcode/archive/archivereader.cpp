#include "archivereader.h"
#include "alerttables.h"

#include "archiveschema.h"
#include "bandplan.h"
#include "sqlitedb.h"
#include "geo/geodesy.h"
#include "geo/locator.h"

#include <QHash>
#include <QSet>

#include <sqlite3.h>

#include <algorithm>
#include <numeric>
#include <memory>
#include <tuple>
#include <type_traits>
#include <vector>

namespace {

constexpr qint64 kHourChartSeconds = 7 * 86400;

// Bytes kept for as long as the arena lives, in a few large blocks.
class ByteArena
{
public:
    QByteArrayView keep(QByteArrayView bytes)
    {
        if (m_left < bytes.size()) {
            const qsizetype size = std::max<qsizetype>(kBlock, bytes.size());
            m_blocks.push_back(std::make_unique<char[]>(size_t(size)));
            m_next = m_blocks.back().get();
            m_left = size;
        }
        std::copy(bytes.begin(), bytes.end(), m_next);
        const QByteArrayView kept(m_next, bytes.size());
        m_next += bytes.size();
        m_left -= bytes.size();
        return kept;
    }

private:
    static constexpr qsizetype kBlock = 256 * 1024;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char *m_next = nullptr;
    qsizetype m_left = 0;
};

// Texts of one column by number: each text's UTF-8 kept once, however many
// rows repeat it; made QStrings only at the end.
class Texts
{
public:
    qint32 id(QByteArrayView raw)
    {
        if (const auto found = m_ids.constFind(raw); found != m_ids.constEnd())
            return *found;
        const qint32 id = qint32(m_raw.size());
        m_raw.push_back(m_arena.keep(raw));
        m_ids.insert(m_raw.back(), id);
        return id;
    }
    QByteArrayView raw(qint32 id) const { return m_raw[size_t(id)]; }
    QString text(qint32 id) const { return QString::fromUtf8(raw(id)); }
    qint32 size() const { return qint32(m_raw.size()); }
    QStringList texts() const
    {
        QStringList list;
        list.reserve(qsizetype(m_raw.size()));
        for (const QByteArrayView raw : m_raw)
            list.append(QString::fromUtf8(raw));
        return list;
    }

    // Appends every text to the packed texts; returns the place of the first.
    qint32 appendTo(PackedTexts &texts) const
    {
        const qint32 first = qint32(texts.size());
        for (const QByteArrayView raw : m_raw)
            texts.append(QString::fromUtf8(raw));
        return first;
    }

private:
    ByteArena m_arena;
    std::vector<QByteArrayView> m_raw;
    QHash<QByteArrayView, qint32> m_ids;
};

// Each of count texts' place in their order, from the first'th of the packed texts.
std::vector<qint32> ranks(const PackedTexts &texts, qint32 first, qint32 count)
{
    std::vector<qint32> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), first);
    std::sort(order.begin(), order.end(), [&](qint32 a, qint32 b) { return texts.at(a) < texts.at(b); });
    std::vector<qint32> rank(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        rank[size_t(order[i] - first)] = qint32(i);
    return rank;
}

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
        // A period is one range read in order, each page once: a small cache
        // serves it as well as a large one (the default holds 2 MB).
        m_db.exec("PRAGMA cache_size = -256");
        checkArchiveVersion(m_db);
    }

    ReachSnapshot reach(const ArchivePeriod &period) override { return cancellable([&] { return reachOf(period); }); }
    void forEachReport(const ArchivePeriod &period,
                       const std::function<void(const ArchivedReport &)> &visit) override
    {
        cancellable([&] { visitReports(period, visit); });
    }
    ComparisonReports comparison(const ArchivePeriod &period, const QString &operatorCallsign,
                                 const QString &referenceCallsign, qint64 reachSeconds) override
    {
        return cancellable([&] { return comparisonOf(period, operatorCallsign, referenceCallsign, reachSeconds); });
    }
    QList<TransmissionSummary> transmissions(qsizetype limit, const QString &homeLocator) override
    {
        return cancellable([&] { return transmissionsOf(limit, homeLocator); });
    }
    QList<Alert> alerts(qsizetype limit) override
    {
        return cancellable([&] { return readAlertList(m_db, limit); });
    }
    void setCancelFlag(const CancelFlag *flag) override
    {
        m_cancel = flag;
        // SQLite asks between steps of its machine, also before a statement's first row.
        sqlite3_progress_handler(m_db.handle(), flag ? 1000 : 0, flag ? &stopWhenSet : nullptr,
                                 const_cast<CancelFlag *>(flag));
    }

private:
    static int stopWhenSet(void *flag) { return static_cast<const CancelFlag *>(flag)->isSet() ? 1 : 0; }

    // The statement a set flag stopped ends as a cancellation, not as a fault
    // of the archive. Either way the page cache is given back: the reader is
    // idle between a window's queries, which read their period anew.
    template<typename Work> std::invoke_result_t<Work> cancellable(Work work)
    {
        struct ReleaseCache
        {
            sqlite3 *db;
            ~ReleaseCache() { sqlite3_db_release_memory(db); }
        } release{m_db.handle()};
        try {
            return work();
        } catch (const SqliteError &e) {
            if (e.code() == SQLITE_INTERRUPT && m_cancel && m_cancel->isSet())
                throw QueryCancelled();
            throw;
        }
    }
    // Between the steps that run no SQL.
    void checkCancelled() const
    {
        if (m_cancel)
            m_cancel->check();
    }

    ReachSnapshot reachOf(const ArchivePeriod &period);
    void visitReports(const ArchivePeriod &period, const std::function<void(const ArchivedReport &)> &visit);
    ComparisonReports comparisonOf(const ArchivePeriod &period, const QString &operatorCallsign,
                                   const QString &referenceCallsign, qint64 reachSeconds);

    QList<TransmissionSummary> transmissionsOf(qsizetype limit, const QString &homeLocator);

    SqliteDb m_db;
    const CancelFlag *m_cancel = nullptr;
};

ReachSnapshot SqliteArchiveReader::reachOf(const ArchivePeriod &period)
{
    checkCancelled();
    Statement rows(m_db, R"sql(
        SELECT flow_start, receiver, locator, band, snr, dxcc, frequency FROM report
         WHERE flow_start >= ?1 AND flow_start < ?2
    )sql");
    rows.bind(1, period.fromSeconds);
    rows.bind(2, period.toSeconds);

    // One pass over the period's rows: each text becomes a number once, and
    // everything is counted by number. A month of a busy station is 90,000
    // rows of receivers: they are worked on in place, made the snapshot's
    // rows in the end.
    struct Sum
    {
        qint64 reports = 0;
        std::optional<int> bestSnr;
        qint64 lastHeard = 0;
        std::optional<FrequencyRange> frequencies;
        void add(qint64 at, const std::optional<qint64> &snr)
        {
            ++reports;
            addSnr(bestSnr, snr);
            lastHeard = std::max(lastHeard, at);
        }
        void addFrequency(qint64 hertz)
        {
            if (!frequencies)
                frequencies = FrequencyRange{hertz, hertz};
            frequencies->add(hertz);
        }
    };
    Texts receivers, locators, bands, dxccs;
    QList<HeardRow> heard;            // texts by the numbers of their own column until the end
    std::vector<qint32> nextOfSame;   // by row: the receiver's next row, -1 after its last
    std::vector<qint32> lastDxcc;     // by row: the DXCC number of its last report, -1 for none
    std::vector<qint32> firstOf;      // by receiver number: its first row, -1 before it has one
    std::vector<FrequencyRange> heardFrequencies;
    std::vector<Sum> bandSums;
    std::vector<char> offPlan; // by band number: a band the plan does not name, whose frequencies tell
    Sum total;
    QSet<quint64> bandDxccs;
    std::vector<quint64> hourReceivers; // (band and hour, receiver), once or more each
    std::vector<char> anyDxcc;
    qint32 band = -1; // the last row's, which the next row mostly shares
    const qint64 hoursFrom
        = std::max(period.fromSeconds, std::min(period.toSeconds, period.chartEndSeconds) - kHourChartSeconds);

    while (rows.step()) {
        const qint64 at = rows.integer(0);
        const qint32 receiver = receivers.id(rows.rawText(1));
        const qint32 locator = locators.id(rows.rawText(2));
        if (const QByteArray name = rows.rawText(3); band < 0 || bands.raw(band) != name) {
            band = bands.id(name);
            if (size_t(band) >= bandSums.size()) {
                bandSums.resize(size_t(band) + 1);
                offPlan.push_back(!bandPlanEdges(bands.text(band)).has_value());
            }
        }
        // A receiver is heard from a few locators and bands at most.
        if (size_t(receiver) >= firstOf.size())
            firstOf.resize(size_t(receiver) + 1, -1);
        qint32 place = firstOf[size_t(receiver)];
        while (place >= 0 && !(heard[place].locator == locator && heard[place].band == band))
            place = nextOfSame[size_t(place)];
        if (place < 0) {
            place = qint32(heard.size());
            heard.append({receiver, locator, band});
            nextOfSame.push_back(firstOf[size_t(receiver)]);
            firstOf[size_t(receiver)] = place;
            lastDxcc.push_back(-1);
        }
        HeardRow &h = heard[place];
        const std::optional<qint64> snr = rows.optionalInteger(4);
        ++h.reports;
        if (snr && (h.bestSnr == HeardRow::kNoSnr || *snr > h.bestSnr))
            h.bestSnr = qint32(*snr);
        h.lastHeard = std::max(h.lastHeard, at);
        bandSums[size_t(band)].add(at, snr);
        total.add(at, snr);
        if (offPlan[size_t(band)]) {
            if (const qint64 hertz = rows.integer(6); hertz != kNoFrequency) {
                if (h.frequencies < 0) {
                    h.frequencies = qint32(heardFrequencies.size());
                    heardFrequencies.push_back({hertz, hertz});
                }
                heardFrequencies[size_t(h.frequencies)].add(hertz);
                bandSums[size_t(band)].addFrequency(hertz);
            }
        }

        // A receiver's DXCC value rarely changes: looked up only when it does.
        const QByteArray dxcc = rows.rawText(5);
        qint32 &dxccOfRow = lastDxcc[size_t(place)];
        if (!dxcc.isEmpty() && (dxccOfRow < 0 || dxccs.raw(dxccOfRow) != dxcc)) {
            dxccOfRow = dxccs.id(dxcc);
            bandDxccs.insert(pair(quint32(band), quint32(dxccOfRow)));
            if (size_t(dxccOfRow) >= anyDxcc.size())
                anyDxcc.resize(size_t(dxccOfRow) + 1);
            anyDxcc[size_t(dxccOfRow)] = 1;
        }
        if (at >= hoursFrom) {
            // Floor division: an instant before 1970 still falls in its hour.
            const qint64 hour = ((at % 86400 + 86400) % 86400) / 3600;
            hourReceivers.push_back(pair(quint32(band * 24 + hour), quint32(receiver)));
        }
    }
    nextOfSame = {};
    lastDxcc = {};
    firstOf = {};

    checkCancelled();
    // Band order, then the names of bands outside the table.
    std::vector<qint32> bandOrder(size_t(bands.size()));
    std::iota(bandOrder.begin(), bandOrder.end(), 0);
    std::sort(bandOrder.begin(), bandOrder.end(),
              [&](qint32 a, qint32 b) { return bandPlanBefore(bands.text(a), bands.text(b)); });
    std::vector<qint32> bandRankOf(size_t(bands.size()));
    for (size_t i = 0; i < bandOrder.size(); ++i)
        bandRankOf[size_t(bandOrder[i])] = qint32(i);

    // Distinct receivers of each band and of all, from the heard rows.
    std::vector<qint64> receiversOf(size_t(bands.size())), dxccOf(size_t(bands.size()));
    std::vector<std::vector<char>> onBand(size_t(bands.size()), std::vector<char>(size_t(receivers.size())));
    std::vector<char> anyReceiver(size_t(receivers.size()));
    for (const HeardRow &h : std::as_const(heard)) {
        char &on = onBand[size_t(h.band)][size_t(h.callsign)];
        receiversOf[size_t(h.band)] += !on;
        on = 1;
        anyReceiver[size_t(h.callsign)] = 1;
    }
    onBand = {};
    for (const quint64 key : std::as_const(bandDxccs))
        ++dxccOf[size_t(key >> 32)];

    ReachSnapshot snapshot;
    for (const qint32 band : bandOrder) {
        // A report whose frequency was no number has no band: it counts in the total only.
        if (bands.raw(band).isEmpty())
            continue;
        const Sum &sum = bandSums[size_t(band)];
        snapshot.bands.append({bands.text(band), sum.reports, receiversOf[size_t(band)], dxccOf[size_t(band)],
                               sum.bestSnr, sum.lastHeard, sum.frequencies});
    }
    snapshot.total = {QString(), total.reports, qint64(std::count(anyReceiver.begin(), anyReceiver.end(), 1)),
                      qint64(std::count(anyDxcc.begin(), anyDxcc.end(), 1)), total.bestSnr, total.lastHeard};

    // One table of texts: the callsigns, then the locators, then the bands.
    const qint32 receiversAt = receivers.appendTo(snapshot.texts);
    const qint32 locatorsAt = locators.appendTo(snapshot.texts);
    const qint32 bandsAt = bands.appendTo(snapshot.texts);

    checkCancelled();
    // By band, callsign and locator, compared as numbers once each text has its place.
    const std::vector<qint32> receiverRank = ranks(snapshot.texts, receiversAt, receivers.size());
    const std::vector<qint32> locatorRank = ranks(snapshot.texts, locatorsAt, locators.size());
    std::sort(heard.begin(), heard.end(), [&](const HeardRow &a, const HeardRow &b) {
        return std::tuple(bandRankOf[size_t(a.band)], receiverRank[size_t(a.callsign)], locatorRank[size_t(a.locator)])
            < std::tuple(bandRankOf[size_t(b.band)], receiverRank[size_t(b.callsign)], locatorRank[size_t(b.locator)]);
    });
    for (HeardRow &h : heard) {
        h.callsign += receiversAt;
        h.locator += locatorsAt;
        h.band += bandsAt;
    }
    heard.squeeze();
    snapshot.rows = std::move(heard);
    snapshot.frequencies = QList<FrequencyRange>(heardFrequencies.begin(), heardFrequencies.end());

    checkCancelled();
    std::sort(hourReceivers.begin(), hourReceivers.end());
    hourReceivers.erase(std::unique(hourReceivers.begin(), hourReceivers.end()), hourReceivers.end());
    std::vector<quint32> cells;
    QHash<quint32, qint64> cellReceivers;
    for (const quint64 key : hourReceivers) {
        if (cellReceivers[quint32(key >> 32)]++ == 0)
            cells.push_back(quint32(key >> 32));
    }
    std::sort(cells.begin(), cells.end(), [&](quint32 a, quint32 b) {
        return std::pair(bandRankOf[a / 24], a % 24) < std::pair(bandRankOf[b / 24], b % 24);
    });
    for (const quint32 cell : cells)
        snapshot.hours.append({bands.text(qint32(cell / 24)), int(cell % 24), cellReceivers.value(cell)});
    return snapshot;
}

void SqliteArchiveReader::visitReports(const ArchivePeriod &period,
                                       const std::function<void(const ArchivedReport &)> &visit)
{
    checkCancelled();
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
        checkCancelled();
    }
}

ComparisonReports SqliteArchiveReader::comparisonOf(const ArchivePeriod &period, const QString &operatorCallsign,
                                                    const QString &referenceCallsign, qint64 reachSeconds)
{
    Texts receivers, locators, bands, modes;
    // A receiver mostly keeps its locator, and band and mode repeat: each is
    // looked up only when it differs from the one before.
    const auto same = [](const Texts &texts, qint32 id, const QByteArray &raw) {
        return id >= 0 && texts.raw(id) == raw;
    };
    std::vector<qint32> locatorOf; // by receiver: its last locator
    // Each station's reports of a span in key order (flow_start first): one
    // range of its table, counted first so that the list is made to measure.
    const auto read = [&](const char *table, const ArchivePeriod &span, const QString &sender,
                          std::vector<StationReport> &into) {
        const QByteArray where = QByteArrayLiteral(" FROM ") + table
            + " WHERE flow_start >= ?1 AND flow_start < ?2 AND sender = ?3";
        Statement count(m_db, QByteArray("SELECT count(*)" + where).constData());
        count.bind(1, span.fromSeconds);
        count.bind(2, span.toSeconds);
        count.bind(3, sender);
        if (count.step())
            into.reserve(size_t(count.integer(0)));
        checkCancelled();
        const QByteArray select = "SELECT flow_start, receiver, locator, band, mode, snr" + where + " ORDER BY flow_start";
        Statement rows(m_db, select.constData());
        rows.bind(1, span.fromSeconds);
        rows.bind(2, span.toSeconds);
        rows.bind(3, sender);
        qint32 band = -1, mode = -1;
        while (rows.step() && into.size() < into.capacity()) {
            StationReport r;
            r.flowStartSeconds = rows.integer(0);
            r.receiver = receivers.id(rows.rawText(1));
            if (size_t(r.receiver) >= locatorOf.size())
                locatorOf.resize(size_t(r.receiver) + 1, -1);
            qint32 &locator = locatorOf[size_t(r.receiver)];
            if (const QByteArray raw = rows.rawText(2); !same(locators, locator, raw))
                locator = locators.id(raw);
            r.locator = locator;
            if (const QByteArray raw = rows.rawText(3); !same(bands, band, raw))
                band = bands.id(raw);
            r.band = band;
            if (const QByteArray raw = rows.rawText(4); !same(modes, mode, raw))
                mode = modes.id(raw);
            r.mode = mode;
            if (const std::optional<qint64> snr = rows.optionalInteger(5))
                r.snr = int(*snr);
            into.push_back(r);
        }
    };
    // The counts and the rows of one moment of the archive.
    struct ReadTogether
    {
        SqliteDb &db;
        explicit ReadTogether(SqliteDb &d) : db(d) { db.exec("BEGIN"); }
        ~ReadTogether()
        {
            try {
                db.exec("COMMIT");
            } catch (const std::exception &) {
            }
        }
    } together(m_db);
    ComparisonReports result;
    read("reference_report", period, referenceCallsign, result.ofReference);
    checkCancelled();
    // Only the operator's reports near the reference's can pair, or count.
    if (!result.ofReference.empty()) {
        const qint64 first = result.ofReference.front().flowStartSeconds;
        const qint64 last = result.ofReference.back().flowStartSeconds;
        const ArchivePeriod span{std::max(period.fromSeconds, first - reachSeconds),
                                 std::min(period.toSeconds, last + reachSeconds + 1)};
        read("report", span, operatorCallsign, result.ofOperator);
    }
    result.receivers = receivers.texts();
    result.locators = locators.texts();
    result.bands = bands.texts();
    result.modes = modes.texts();
    return result;
}

} // namespace

HeardReceiver ReachSnapshot::receiver(qsizetype row) const
{
    const HeardRow &r = rows.at(row);
    return {texts.at(r.callsign).toString(), texts.at(r.locator).toString(), texts.at(r.band).toString(), r.reports,
            r.snr(), r.lastHeard,
            r.frequencies >= 0 ? std::optional<FrequencyRange>(frequencies.at(r.frequencies)) : std::nullopt};
}

QList<HeardReceiver> ReachSnapshot::receivers() const
{
    QList<HeardReceiver> list;
    list.reserve(rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i)
        list.append(receiver(i));
    return list;
}

void ReachSnapshot::setReceivers(const QList<HeardReceiver> &receivers)
{
    texts.clear();
    rows.clear();
    frequencies.clear();
    QHash<QString, qint32> places;
    const auto place = [&](const QString &text) {
        auto it = places.constFind(text);
        if (it == places.constEnd()) {
            it = places.insert(text, texts.append(text));
        }
        return *it;
    };
    for (const HeardReceiver &h : receivers) {
        HeardRow row{place(h.callsign), place(h.locator), place(h.band), -1, qint32(h.reports),
                     h.bestSnr.value_or(HeardRow::kNoSnr), h.lastHeard};
        if (h.frequencies) {
            row.frequencies = qint32(frequencies.size());
            frequencies.append(*h.frequencies);
        }
        rows.append(row);
    }
}

ComparisonReports ArchiveReader::comparison(const ArchivePeriod &, const QString &, const QString &, qint64)
{
    throw TavikError(QStringLiteral("This archive keeps no reports to compare"));
}

// Each transmission with the operator's reports that belong to it: one
// range of the report table's key (flow_start first) a transmission.
QList<TransmissionSummary> SqliteArchiveReader::transmissionsOf(qsizetype limit, const QString &homeLocator)
{
    const std::optional<GeoPosition> home = locatorPosition(homeLocator);
    Statement list(m_db, "SELECT start_ms, end_ms, dial_hz, band, mode, tx_df FROM transmission "
                         "ORDER BY start_ms DESC LIMIT ?1");
    Statement heard(m_db, "SELECT flow_start, receiver, locator, band, mode, snr FROM report "
                          "WHERE flow_start BETWEEN ?1 AND ?2");
    list.bind(1, qint64(limit));
    QList<TransmissionSummary> summaries;
    while (list.step()) {
        TransmissionSummary s;
        Transmission &t = s.transmission;
        t.start = QDateTime::fromMSecsSinceEpoch(list.integer(0), Qt::UTC);
        t.end = QDateTime::fromMSecsSinceEpoch(list.integer(1), Qt::UTC);
        t.dialHz = quint64(list.integer(2));
        t.band = list.text(3);
        t.mode = list.text(4);
        t.txDf = quint32(list.integer(5));
        const qint64 half = halfPeriodMs(t.mode);
        heard.bind(1, (list.integer(0) - half) / 1000 - 1);
        heard.bind(2, (list.integer(1) + half) / 1000 + 1);
        QSet<QString> receivers;
        QList<qint64> snrs;
        double farthest = -1;
        while (heard.step()) {
            if (!reportBelongsTo(t, QDateTime::fromSecsSinceEpoch(heard.integer(0), Qt::UTC), heard.text(3),
                                 heard.text(4)))
                continue;
            const QString receiver = heard.text(1);
            receivers.insert(receiver.toUpper());
            if (const std::optional<qint64> snr = heard.optionalInteger(5))
                snrs.append(*snr);
            const std::optional<GeoPosition> at = home ? locatorPosition(heard.text(2)) : std::nullopt;
            if (at) {
                const double km = geodesicPath(*home, *at).distanceKm;
                if (km > farthest) {
                    farthest = km;
                    s.farthestCallsign = receiver;
                    s.farthestLocator = heard.text(2);
                    s.farthestKm = km;
                }
            }
        }
        heard.reset();
        s.receivers = receivers.size();
        if (!snrs.isEmpty()) {
            std::sort(snrs.begin(), snrs.end());
            const qsizetype mid = snrs.size() / 2;
            s.medianSnr = snrs.size() % 2 ? double(snrs.at(mid)) : (snrs.at(mid - 1) + snrs.at(mid)) / 2.0;
        }
        summaries.append(std::move(s));
        checkCancelled();
    }
    return summaries;
}

QList<Alert> ArchiveReader::alerts(qsizetype)
{
    throw TavikError(QStringLiteral("This archive keeps no alerts"));
}

QList<TransmissionSummary> ArchiveReader::transmissions(qsizetype, const QString &)
{
    throw TavikError(QStringLiteral("This archive keeps no transmissions"));
}

std::unique_ptr<ArchiveReader> openArchiveReader(const QString &fileName)
{
    try {
        return std::make_unique<SqliteArchiveReader>(fileName);
    } catch (const TavikError &e) {
        throw TavikError(QStringLiteral("The report archive %1 cannot be read: %2").arg(fileName, e.message()));
    }
}
