#include "pairscsv.h"

#include "geo/locator.h"
#include "parts/csvfield.h"
#include "base/tavikerror.h"

#include <QDateTime>
#include <QStringList>
#include <QTimeZone>

namespace {

QString utcText(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, QTimeZone::utc()).toString(QStringLiteral("yyyy-MM-ddThh:mm:ssZ"));
}

void put(QIODevice &device, const QByteArray &bytes)
{
    if (device.write(bytes) != bytes.size())
        throw TavikError(QStringLiteral("The export could not be written: ") + device.errorString());
}

} // namespace

QByteArray pairsCsvHeader()
{
    return QByteArrayLiteral("receiver,locator,band,mode,operator_time_utc,reference_time_utc,operator_snr,"
                             "reference_snr,difference_db,distance_km,bearing_deg\r\n");
}

qint64 writePairsCsv(QIODevice &device, const CompareData &data)
{
    put(device, pairsCsvHeader());
    const ComparisonReports &in = *data.reports;
    std::vector<std::optional<std::optional<GeoPath>>> paths(static_cast<size_t>(in.locators.size()));
    QByteArray block;
    for (const ReportPair &pair : data.pairs) {
        const StationReport &o = in.ofOperator[size_t(pair.operatorReport)];
        const StationReport &r = in.ofReference[size_t(pair.referenceReport)];
        std::optional<std::optional<GeoPath>> &path = paths[size_t(o.locator)];
        if (!path) {
            const std::optional<GeoPosition> position = locatorPosition(in.locators[o.locator]);
            path = data.home && position ? std::optional<GeoPath>(geodesicPath(*data.home, *position)) : std::nullopt;
        }
        const QString fields[] = {
            csvField(in.receivers[o.receiver]),
            csvField(in.locators[o.locator]),
            csvField(in.bands[o.band]),
            csvField(in.modes[o.mode]),
            utcText(o.flowStartSeconds),
            utcText(r.flowStartSeconds),
            QString::number(*o.snr),
            QString::number(*r.snr),
            QString::number(data.difference(pair)),
            *path ? QString::number((*path)->distanceKm, 'f', 1) : QString(),
            *path ? QString::number((*path)->bearingDegrees, 'f', 1) : QString(),
        };
        block += QStringList(std::begin(fields), std::end(fields)).join(u',').toUtf8() + "\r\n";
        if (block.size() > 64 * 1024) {
            put(device, block);
            block.clear();
        }
    }
    put(device, block);
    return qint64(data.pairs.size());
}
