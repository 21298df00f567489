#include "alertsettings.h"

#include "platform/settingsstore.h"
#include "base/tavikerror.h"

#include <QHostAddress>
#include <QRegularExpression>

#include <type_traits>

using namespace alertsettings;

namespace {

// A value that is no text (a registry value of another type) reads as missing.
template<class Read>
std::invoke_result_t<Read> readOr(Read read, std::invoke_result_t<Read> fallback)
{
    try {
        return read();
    } catch (const TavikError &) {
        return fallback;
    }
}

int readNumber(const SettingsStore &s, const QString &ident, int fallback, int low, int high)
{
    const int n = readOr([&] { return s.ReadInteger(kSection, ident, fallback); }, fallback);
    return n >= low && n <= high ? n : fallback;
}

bool readFlag(const SettingsStore &s, const QString &ident, bool fallback)
{
    return readOr([&] { return s.ReadBool(kSection, ident, fallback); }, fallback);
}

QTime readTime(const SettingsStore &s, const QString &ident, QTime fallback)
{
    const QString text = readOr([&] { return s.ReadString(kSection, ident, QString()); }, QString());
    const QTime time = QTime::fromString(text.trimmed(), QStringLiteral("HH:mm"));
    return time.isValid() ? time : fallback;
}

} // namespace

QStringList alertsettings::allNames()
{
    return {kNewEntity, kEntityPerBand, kRecord, kOpening, kOpeningKm, kOpeningHours, kOpeningReceivers,
            kWatch, kWatchList, kSilence, kSilenceMinutes, kUnheard, kUnheardCount, kUnheardMinutes,
            kNotify, kSound, kQuiet, kQuietFrom, kQuietTo, kTray, kAutostart, kWsjtxListen, kWsjtxAddress,
            kWsjtxPort};
}

bool alertsettings::wsjtxListenEverSet(const SettingsStore &s)
{
    return readOr([&] { return s.value(kSection, kWsjtxListen).has_value(); }, true);
}

AlertSettings AlertSettings::load(const SettingsStore &s)
{
    const AlertSettings d;
    AlertSettings a;
    a.newEntity = readFlag(s, kNewEntity, d.newEntity);
    a.entityPerBand = readFlag(s, kEntityPerBand, d.entityPerBand);
    a.record = readFlag(s, kRecord, d.record);
    a.opening = readFlag(s, kOpening, d.opening);
    a.openingKm = readNumber(s, kOpeningKm, d.openingKm, 1, 20000);
    a.openingHours = readNumber(s, kOpeningHours, d.openingHours, 1, 168);
    a.openingReceivers = readNumber(s, kOpeningReceivers, d.openingReceivers, 1, 1000);
    a.watch = readFlag(s, kWatch, d.watch);
    a.watchList = watchListFromText(readOr([&] { return s.ReadString(kSection, kWatchList, QString()); }, QString()));
    a.silence = readFlag(s, kSilence, d.silence);
    a.silenceMinutes = readNumber(s, kSilenceMinutes, d.silenceMinutes, 5, 24 * 60);
    a.unheard = readFlag(s, kUnheard, d.unheard);
    a.unheardCount = readNumber(s, kUnheardCount, d.unheardCount, 1, 1000);
    a.unheardMinutes = readNumber(s, kUnheardMinutes, d.unheardMinutes, 1, 24 * 60);
    a.notify = readFlag(s, kNotify, d.notify);
    a.sound = readFlag(s, kSound, d.sound);
    a.quiet = readFlag(s, kQuiet, d.quiet);
    a.quietFrom = readTime(s, kQuietFrom, d.quietFrom);
    a.quietTo = readTime(s, kQuietTo, d.quietTo);
    a.tray = readFlag(s, kTray, d.tray);
    a.autostart = readFlag(s, kAutostart, d.autostart);
    a.wsjtxListen = readFlag(s, kWsjtxListen, d.wsjtxListen);
    const QString address = readOr([&] { return s.ReadString(kSection, kWsjtxAddress, QString()); }, QString());
    a.wsjtxAddress = isWsjtxAddress(address) ? address.trimmed() : d.wsjtxAddress;
    a.wsjtxPort = quint16(readNumber(s, kWsjtxPort, d.wsjtxPort, 1, 65535));
    return a;
}

void AlertSettings::save(SettingsStore &s) const
{
    s.WriteBool(kSection, kNewEntity, newEntity);
    s.WriteBool(kSection, kEntityPerBand, entityPerBand);
    s.WriteBool(kSection, kRecord, record);
    s.WriteBool(kSection, kOpening, opening);
    s.WriteInteger(kSection, kOpeningKm, openingKm);
    s.WriteInteger(kSection, kOpeningHours, openingHours);
    s.WriteInteger(kSection, kOpeningReceivers, openingReceivers);
    s.WriteBool(kSection, kWatch, watch);
    s.WriteString(kSection, kWatchList, watchList.join(u' '));
    s.WriteBool(kSection, kSilence, silence);
    s.WriteInteger(kSection, kSilenceMinutes, silenceMinutes);
    s.WriteBool(kSection, kUnheard, unheard);
    s.WriteInteger(kSection, kUnheardCount, unheardCount);
    s.WriteInteger(kSection, kUnheardMinutes, unheardMinutes);
    s.WriteBool(kSection, kNotify, notify);
    s.WriteBool(kSection, kSound, sound);
    s.WriteBool(kSection, kQuiet, quiet);
    s.WriteString(kSection, kQuietFrom, quietFrom.toString(QStringLiteral("HH:mm")));
    s.WriteString(kSection, kQuietTo, quietTo.toString(QStringLiteral("HH:mm")));
    s.WriteBool(kSection, kTray, tray);
    s.WriteBool(kSection, kAutostart, autostart);
    s.WriteBool(kSection, kWsjtxListen, wsjtxListen);
    s.WriteString(kSection, kWsjtxAddress, wsjtxAddress);
    s.WriteInteger(kSection, kWsjtxPort, wsjtxPort);
}

bool AlertSettings::isQuietAt(QTime t) const
{
    if (!quiet || quietFrom == quietTo)
        return false;
    // "22:00 to 07:00" runs over midnight.
    return quietFrom < quietTo ? t >= quietFrom && t < quietTo : t >= quietFrom || t < quietTo;
}

bool isWsjtxAddress(const QString &text)
{
    return !QHostAddress(text.trimmed()).isNull();
}

QStringList watchListFromText(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    QStringList list = text.toUpper().split(separators, Qt::SkipEmptyParts);
    list.removeDuplicates();
    return list;
}
