#include "clock.h"

#include <optional>

namespace {
std::optional<QDateTime> &fixed()
{
    static std::optional<QDateTime> instant;
    return instant;
}
} // namespace

namespace Clock {

QDateTime nowLocal()
{
    return fixed() ? fixed()->toLocalTime() : QDateTime::currentDateTime();
}

QDateTime nowUtc()
{
    return fixed() ? fixed()->toUTC() : QDateTime::currentDateTimeUtc();
}

void set(const QDateTime &instant)
{
    fixed() = instant;
}

void advance(qint64 seconds)
{
    fixed() = nowUtc().addSecs(seconds);
}

void reset()
{
    fixed().reset();
}

bool isFixed()
{
    return fixed().has_value();
}

} // namespace Clock
