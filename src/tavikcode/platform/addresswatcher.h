#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// The machine's local IPv4 address: the first IPv4 address of an interface
// that is up, running and not a loopback; empty when there is none.
QString firstLocalIPv4Address();

// Watches the machine's local address. Every 500 ms, on the user-interface
// thread, it looks the address up afresh; it is online while that address is
// neither empty nor a loopback address, and emits statusChanged() whenever
// the online flag flips.
class AddressWatcher : public QObject
{
    Q_OBJECT

public:
    using Lookup = std::function<QString()>;

    explicit AddressWatcher(Lookup lookup = firstLocalIPv4Address, QObject *parent = nullptr);

    // Checks at once, then every 500 ms.
    void start();
    void stop();

    bool online() const { return m_online; }
    QString currentAddress() const { return m_current; }
    // Looks the address up at once and returns it (empty when there is none).
    QString lookupNow() const { return m_lookup(); }

    // One check; the timer calls it, tests call it directly.
    void check();

signals:
    void statusChanged();

private:
    Lookup m_lookup;
    QTimer m_timer;
    QString m_current;
    bool m_online = false;
};

// The look-up the program's watcher uses: firstLocalIPv4Address, unless the
// environment variable TAVIK_LOCAL_ADDRESS names an address to report in its
// place, as the demonstration does on a machine without a network. The
// variable is read once, when the look-up is made.
AddressWatcher::Lookup programAddressLookup();
