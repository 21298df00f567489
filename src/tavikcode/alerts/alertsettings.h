#pragma once

#include <QString>
#include <QStringList>
#include <QTime>

class SettingsStore;

// The alert rules, how alerts are told, the tray icon and the start at
// login, kept beside the main window's values in section "Orlix".
namespace alertsettings {

inline const QString kSection = QStringLiteral("Orlix");
inline const QString kNewEntity = QStringLiteral("TavikAlertNewEntity");
inline const QString kEntityPerBand = QStringLiteral("TavikAlertEntityPerBand");
inline const QString kRecord = QStringLiteral("TavikAlertRecord");
inline const QString kOpening = QStringLiteral("TavikAlertOpening");
inline const QString kOpeningKm = QStringLiteral("TavikAlertOpeningKm");
inline const QString kOpeningHours = QStringLiteral("TavikAlertOpeningHours");
inline const QString kOpeningReceivers = QStringLiteral("TavikAlertOpeningReceivers");
inline const QString kWatch = QStringLiteral("TavikAlertWatch");
inline const QString kWatchList = QStringLiteral("TavikAlertWatchList"); // "VK* ZL1ABC"
inline const QString kSilence = QStringLiteral("TavikAlertSilence");
inline const QString kSilenceMinutes = QStringLiteral("TavikAlertSilenceMinutes");
inline const QString kUnheard = QStringLiteral("TavikAlertUnheard");
inline const QString kUnheardCount = QStringLiteral("TavikAlertUnheardCount");
inline const QString kUnheardMinutes = QStringLiteral("TavikAlertUnheardMinutes");
inline const QString kNotify = QStringLiteral("TavikAlertNotify");
inline const QString kSound = QStringLiteral("TavikAlertSound");
inline const QString kQuiet = QStringLiteral("TavikAlertQuiet");
inline const QString kQuietFrom = QStringLiteral("TavikAlertQuietFrom"); // "22:00", local time
inline const QString kQuietTo = QStringLiteral("TavikAlertQuietTo");
inline const QString kTray = QStringLiteral("TavikTrayIcon");
inline const QString kAutostart = QStringLiteral("TavikAutostart");
// The link to WSJT-X: whether to listen to its UDP messages, and where.
inline const QString kWsjtxListen = QStringLiteral("TavikWsjtxListen");    // "1" or "0"; off by default
inline const QString kWsjtxAddress = QStringLiteral("TavikWsjtxAddress");  // unicast address or multicast group
inline const QString kWsjtxPort = QStringLiteral("TavikWsjtxPort");
inline const QString kDefaultWsjtxAddress = QStringLiteral("127.0.0.1");  // as WSJT-X is installed
inline constexpr quint16 kDefaultWsjtxPort = 2237;

// Every value above, in the order "/RESET" deletes them.
QStringList allNames();

// Whether the listen setting was ever stored: until it is, the settings
// dialog proposes WSJT-X's own UDP server.
bool wsjtxListenEverSet(const SettingsStore &store);

} // namespace alertsettings

// What the rules look for and how their alerts are told.
struct AlertSettings
{
    bool newEntity = true;
    bool entityPerBand = false;   // also the first report of an entity on each band
    bool record = true;
    bool opening = true;
    int openingKm = 3000;         // D
    int openingHours = 3;         // H
    int openingReceivers = 2;     // N
    bool watch = true;
    QStringList watchList;        // callsigns, or prefixes with '*' ("VK*")
    bool silence = false;
    int silenceMinutes = 60;      // M
    bool unheard = true;
    int unheardCount = 10;        // N transmissions on one band
    int unheardMinutes = 30;      // within M minutes, none heard

    bool notify = true;           // desktop notifications (else the alert list alone)
    bool sound = false;
    bool quiet = false;
    QTime quietFrom{22, 0};
    QTime quietTo{7, 0};

    bool tray = true;
    bool autostart = false;

    bool wsjtxListen = false;
    QString wsjtxAddress = alertsettings::kDefaultWsjtxAddress;
    quint16 wsjtxPort = alertsettings::kDefaultWsjtxPort;

    bool operator==(const AlertSettings &) const = default;

    // Values missing or out of range take their defaults.
    static AlertSettings load(const SettingsStore &store);
    void save(SettingsStore &store) const;

    // Whether notifications are held back at this local time of day.
    bool isQuietAt(QTime localTime) const;
};

// Whether the text is an address the listener can use (IPv4 or IPv6, no name).
bool isWsjtxAddress(const QString &text);

// The watched list as typed ("vk*, ZL1ABC"): capitals, split at blanks and
// commas, empty entries dropped.
QStringList watchListFromText(const QString &text);
