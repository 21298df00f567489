#include "reportcsv.h"

#include "geo/locator.h"
#include "base/tavikerror.h"

#include <QDateTime>
#include <QStringList>
#include <QTimeZone>

QByteArray reportCsvHeader()
{
    return QByteArrayLiteral("flow_start_seconds,flow_start_utc,sender,receiver,locator,frequency_hz,band,mode,"
                             "snr,snr_text,dxcc,stored_at_seconds,distance_km,bearing_deg\r\n");
}

QByteArray reportCsvRow(const ArchivedReport &report, const std::optional<GeoPath> &path)
{
    const QString utc = QDateTime::fromSecsSinceEpoch(report.flowStartSeconds, QTimeZone::utc())
                            .toString(QStringLiteral("yyyy-MM-ddThh:mm:ssZ"));
    const QString fields[] = {
        QString::number(report.flowStartSeconds),
        utc,
        csvField(report.sender),
        csvField(report.receiver),
        csvField(report.locator),
        report.frequency ? QString::number(*report.frequency) : QString(),
        csvField(report.band),
        csvField(report.mode),
        report.snr ? QString::number(*report.snr) : QString(),
        csvField(report.snrText),
        csvField(report.dxcc),
        QString::number(report.storedAt),
        path ? QString::number(path->distanceKm, 'f', 1) : QString(),
        path ? QString::number(path->bearingDegrees, 'f', 1) : QString(),
    };
    return QStringList(std::begin(fields), std::end(fields)).join(u',').toUtf8() + "\r\n";
}

ReportCsvWriter::ReportCsvWriter(QIODevice &device, std::optional<GeoPosition> home)
    : m_device(device), m_home(home)
{
    put(reportCsvHeader());
}

void ReportCsvWriter::write(const ArchivedReport &report)
{
    std::optional<GeoPath> path;
    if (m_home) {
        auto it = m_paths.constFind(report.locator);
        if (it == m_paths.constEnd()) {
            const auto position = locatorPosition(report.locator);
            it = m_paths.insert(report.locator,
                                position ? std::optional<GeoPath>(geodesicPath(*m_home, *position)) : std::nullopt);
        }
        path = *it;
    }
    put(reportCsvRow(report, path));
    ++m_rows;
}

void ReportCsvWriter::put(const QByteArray &bytes)
{
    if (m_device.write(bytes) != bytes.size())
        throw TavikError(QStringLiteral("The export could not be written: ") + m_device.errorString());
}
