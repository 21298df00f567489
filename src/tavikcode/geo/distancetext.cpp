#include "distancetext.h"

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

QString unitKey(DistanceUnit unit)
{
    return unitSymbol(unit);
}

DistanceUnit unitFromKey(const QString &key)
{
    return key == QStringLiteral("mi") ? DistanceUnit::Miles : DistanceUnit::Kilometres;
}
