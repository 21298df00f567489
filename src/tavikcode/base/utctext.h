#pragma once

#include <QString>

// "2026-12-07 13:45" of seconds since 1970 UTC.
QString utcText(qint64 seconds);
