#include "archive/bigarchive.h"

#include "archive/archiveschema.h"
#include "archive/archivestore.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <cstdio>
#include <random>

namespace bigarchive {

namespace {

// Bump when the generated data changes.
constexpr int kGeneratorVersion = 1;

struct Band
{
    const char16_t *name;
    qint64 hertz;
    int weight;
};

constexpr Band kBands[] = {
    {u"160m", 1840000, 3},  {u"80m", 3573000, 8},   {u"40m", 7074000, 20}, {u"30m", 10136000, 8},
    {u"20m", 14074000, 30}, {u"17m", 18100000, 8},  {u"15m", 21074000, 8}, {u"12m", 24915000, 3},
    {u"10m", 28074000, 8},  {u"6m", 50313000, 3},   {u"2m", 144174000, 1},
};

const char16_t *const kModes[] = {u"FT8", u"FT8", u"FT8", u"FT8", u"FT8", u"FT8", u"FT8", u"FT8", u"FT4", u"WSPR"};

struct Entity
{
    const char16_t *prefix;
    const char16_t *dxcc;
};

constexpr Entity kEntities[] = {
    {u"DL", u"Fed. Rep. of Germany"}, {u"G", u"England"},      {u"M", u"England"},       {u"K", u"United States"},
    {u"W", u"United States"},         {u"N", u"United States"}, {u"JA", u"Japan"},        {u"I", u"Italy"},
    {u"VE", u"Canada"},               {u"VK", u"Australia"},    {u"PY", u"Brazil"},       {u"EA", u"Spain"},
    {u"F", u"France"},                {u"PA", u"Netherlands"},  {u"SM", u"Sweden"},       {u"OH", u"Finland"},
    {u"SP", u"Poland"},               {u"OK", u"Czech Republic"}, {u"ON", u"Belgium"},    {u"UA", u"European Russia"},
    {u"ZL", u"New Zealand"},          {u"ZS", u"South Africa"}, {u"LU", u"Argentina"},    {u"HB9", u"Switzerland"},
    {u"OE", u"Austria"},              {u"LA", u"Norway"},       {u"OZ", u"Denmark"},      {u"EI", u"Ireland"},
    {u"GM", u"Scotland"},             {u"CT", u"Portugal"},     {u"YO", u"Romania"},      {u"HA", u"Hungary"},
    {u"9A", u"Croatia"},              {u"S5", u"Slovenia"},     {u"4X", u"Israel"},       {u"VU", u"India"},
    {u"BY", u"China"},                {u"HL", u"Republic of Korea"}, {u"XE", u"Mexico"},  {u"KH6", u"Hawaii"},
};

struct Receiver
{
    QString callsign;
    QString dxcc;
    QString locators[2];
};

QString locator(std::mt19937 &r)
{
    QString text(6, Qt::Uninitialized);
    text[0] = QChar(char16_t(u'A' + r() % 18));
    text[1] = QChar(char16_t(u'A' + r() % 18));
    text[2] = QChar(char16_t(u'0' + r() % 10));
    text[3] = QChar(char16_t(u'0' + r() % 10));
    text[4] = QChar(char16_t(u'a' + r() % 24));
    text[5] = QChar(char16_t(u'a' + r() % 24));
    return text;
}

std::vector<Receiver> receivers(std::mt19937 &r)
{
    std::vector<Receiver> list;
    list.reserve(kReceivers);
    for (int i = 0; i < kReceivers; ++i) {
        const Entity &e = kEntities[r() % std::size(kEntities)];
        Receiver rx;
        rx.callsign = QString::fromUtf16(e.prefix) + QString::number(r() % 10) + QString::number(i, 36).toUpper();
        rx.dxcc = QString::fromUtf16(e.dxcc);
        rx.locators[0] = locator(r);
        // One in ten moves now and then.
        rx.locators[1] = r() % 10 == 0 ? locator(r) : rx.locators[0];
        list.push_back(std::move(rx));
    }
    return list;
}

void generate(const QString &file)
{
    std::mt19937 r(2026);
    const std::vector<Receiver> rx = receivers(r);
    int bandWeights = 0;
    for (const Band &b : kBands)
        bandWeights += b.weight;
    std::uniform_real_distribution<double> unit(0.0, 1.0);

    ArchiveStore store;
    store.open(file, false, QDateTime::currentDateTime());
    const qint64 start = kBigArchiveEnd - 365 * 86400;
    const qint64 batch = 10000;
    QList<ArchivedReport> reports;
    for (qint64 n = 0; n < kReports; n += batch) {
        reports.clear();
        for (qint64 i = n; i < n + batch; ++i) {
            // Some receivers hear the station often, most now and then.
            const Receiver &who = rx[size_t(std::pow(unit(r), 2.0) * kReceivers)];
            int pick = int(r() % unsigned(bandWeights));
            const Band *band = kBands;
            while (pick >= band->weight)
                pick -= (band++)->weight;
            ArchivedReport a;
            a.flowStartSeconds = start + i * 365 * 86400 / kReports + qint64(r() % 15);
            a.sender = r() % 50 == 0 ? QStringLiteral("G4XYZ/P") : QStringLiteral("G4XYZ");
            a.receiver = who.callsign;
            a.locator = who.locators[r() % 20 == 0 ? 1 : 0];
            a.frequency = band->hertz + qint64(r() % 3000);
            a.band = QString::fromUtf16(band->name);
            a.mode = QString::fromUtf16(kModes[r() % std::size(kModes)]);
            a.snr = int(r() % 40) - 25;
            a.snrText = QString::number(*a.snr);
            a.dxcc = who.dxcc;
            a.storedAt = a.flowStartSeconds + 300;
            reports.append(std::move(a));
        }
        store.store(reports, {}, ArchiveStore::Origin::Served);
        if (n % 200000 == 0)
            std::fprintf(stderr, "bigarchive: %lld reports\n", static_cast<long long>(n));
    }
    store.close();
}

} // namespace

QString path()
{
    const QString file = QDir::temp().filePath(QStringLiteral("tavik-bench-archive-g%1-s%2.sqlite")
                                                   .arg(kGeneratorVersion)
                                                   .arg(kArchiveSchemaVersion));
    if (QFile::exists(file))
        return file;
    const QString partial = file + QStringLiteral(".partial");
    QFile::remove(partial);
    QFile::remove(partial + QStringLiteral("-wal"));
    generate(partial);
    QFile::rename(partial, file);
    return file;
}

} // namespace bigarchive
