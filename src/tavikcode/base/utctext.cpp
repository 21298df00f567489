#include "utctext.h"

#include <QDateTime>
#include <QTimeZone>

QString utcText(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, QTimeZone::utc()).toString(QStringLiteral("yyyy-MM-dd hh:mm"));
}
