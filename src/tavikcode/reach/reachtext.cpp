#include "reachtext.h"

#include "archive/bandplan.h"

#include <QDateTime>
#include <QTimeZone>

#include <cmath>

double distanceIn(double km, DistanceUnit unit)
{
    return unit == DistanceUnit::Miles ? km / kKilometresPerMile : km;
}

QString unitSymbol(DistanceUnit unit)
{
    return unit == DistanceUnit::Miles ? QStringLiteral("mi") : QStringLiteral("km");
}

QString distanceText(double km, DistanceUnit unit)
{
    return QString::number(std::llround(distanceIn(km, unit))) + u' ' + unitSymbol(unit);
}

QString bearingText(double degrees)
{
    return QString::number(std::llround(degrees) % 360) + u'\u00B0';
}

QString snrText(const std::optional<int> &snr)
{
    return snr ? QString::number(*snr) + QStringLiteral(" dB") : QString();
}

QString utcText(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, QTimeZone::utc()).toString(QStringLiteral("yyyy-MM-dd hh:mm"));
}

QString frequencyRangeText(const FrequencyRange &range)
{
    if (range.lowHz == range.highHz)
        return frequencyText(range.lowHz);
    return frequencyText(range.lowHz) + QStringLiteral(" to ") + frequencyText(range.highHz);
}

QString unitKey(DistanceUnit unit)
{
    return unitSymbol(unit);
}

DistanceUnit unitFromKey(const QString &key)
{
    return key == QStringLiteral("mi") ? DistanceUnit::Miles : DistanceUnit::Kilometres;
}
