#pragma once

#include "alerts/alertrules.h"
#include "geo/locator.h"

#include "../../testsupport.h"

// Receivers, reports and passes of the alert tests, heard from IO91wm
// (London): Sydney 16,987 km, Tokyo about 9,500 km, Boston about 5,300 km,
// Berlin 932 km.
namespace alertfixture {

inline constexpr qint64 kStart = 1796644800; // 2026-12-07 12:00 UTC
inline constexpr qint64 k20m = 14074000, k40m = 7074000, k10m = 28074000;

struct Station
{
    const char *call;
    const char *locator;
    const char *dxcc;
};
inline constexpr Station kSydney{"VK2XYZ", "QF56od", "Australia"};
inline constexpr Station kTokyo{"JA1ABC", "PM95vq", "Japan"};
inline constexpr Station kBoston{"W1AW", "FN42", "United States"};
inline constexpr Station kCape{"ZS1ABC", "JF96", "South Africa"};
inline constexpr Station kBerlin{"DL1ABC", "JO62qm", "Fed. Rep. of Germany"};

inline ArchivedReport report(qint64 time, const Station &s, qint64 hertz = k20m, const char *snr = "-10")
{
    ArchivedReport r;
    r.flowStartSeconds = time;
    r.sender = QStringLiteral("G4XYZ");
    r.receiver = QString::fromLatin1(s.call);
    r.locator = QString::fromLatin1(s.locator);
    r.frequency = hertz;
    r.mode = QStringLiteral("FT8");
    r.snrText = QString::fromLatin1(snr);
    r.snr = r.snrText.toInt();
    r.dxcc = QString::fromUtf8(s.dxcc);
    return r;
}

inline std::optional<GeoPosition> home()
{
    return locatorPosition(u"IO91wm");
}

inline double kmTo(const Station &s)
{
    return geodesicPath(*home(), *locatorPosition(QString::fromLatin1(s.locator))).distanceKm;
}

// Judges passes in turn, keeping the state between them.
struct Judge
{
    AlertSettings settings;
    AlertState state;
    std::optional<GeoPosition> at = home();

    Judgement pass(QList<ArchivedReport> reports, qint64 now, bool afterStart = false)
    {
        Judgement j = judgePass(settings, state, {std::move(reports), at, now, afterStart});
        state = j.state;
        return j;
    }
    // The first pass of all, which only learns.
    void learn(QList<ArchivedReport> reports, qint64 now = kStart)
    {
        const Judgement j = pass(std::move(reports), now);
        ASSERT_EQ(j.alerts.size(), 1);
        ASSERT_EQ(j.alerts[0].rule, AlertRule::FirstLook);
    }
};

inline QStringList texts(const QList<Alert> &alerts)
{
    QStringList t;
    for (const Alert &a : alerts)
        t << a.text;
    return t;
}

} // namespace alertfixture
