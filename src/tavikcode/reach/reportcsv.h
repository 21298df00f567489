#pragma once

#include "archive/archivereader.h"
#include "parts/csvfield.h"
#include "geo/geodesy.h"

#include <QByteArray>
#include <QHash>
#include <QIODevice>
#include <QString>

#include <optional>

// The period's reports as CSV (RFC 4180): UTF-8, a header row, CR LF line
// ends, every archived field as stored, the reception time also as UTC text,
// then distance and bearing from the operator's locator (empty without one
// or for a value that is no locator). Every text goes through csvField.

QByteArray reportCsvHeader();
QByteArray reportCsvRow(const ArchivedReport &report, const std::optional<GeoPath> &path);

// Writes the header, then one row per report; works out the path of each
// locator once.
class ReportCsvWriter
{
public:
    ReportCsvWriter(QIODevice &device, std::optional<GeoPosition> home);

    // Throws TavikError when the device takes fewer bytes than given.
    void write(const ArchivedReport &report);
    qint64 rows() const { return m_rows; }

private:
    void put(const QByteArray &bytes);

    QIODevice &m_device;
    std::optional<GeoPosition> m_home;
    QHash<QString, std::optional<GeoPath>> m_paths;
    qint64 m_rows = 0;
};
