#include "transmission.h"

qint64 halfPeriodMs(QStringView mode)
{
    const auto is = [&](QStringView name) { return mode.compare(name, Qt::CaseInsensitive) == 0; };
    if (is(u"FT8"))
        return 7'500;
    if (is(u"FT4"))
        return 3'750;
    if (is(u"WSPR") || is(u"FST4W"))
        return 60'000;
    return 30'000;
}

bool reportBelongsTo(const Transmission &transmission, const QDateTime &heard, QStringView band,
                     QStringView mode)
{
    if (band != transmission.band || mode.compare(transmission.mode, Qt::CaseInsensitive) != 0)
        return false;
    const qint64 half = halfPeriodMs(mode);
    return heard >= transmission.start.addMSecs(-half)
           && (!transmission.end.isValid() || heard <= transmission.end.addMSecs(half));
}
