#include "addresswatcher.h"

#include <QHostAddress>
#include <QNetworkInterface>

QString firstLocalIPv4Address()
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning)
            || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const QList<QNetworkAddressEntry> entries = interface.addressEntries();
        for (const QNetworkAddressEntry &entry : entries) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol && !entry.ip().isLoopback())
                return entry.ip().toString();
        }
    }
    return {};
}

AddressWatcher::AddressWatcher(Lookup lookup, QObject *parent)
    : QObject(parent), m_lookup(std::move(lookup))
{
    m_timer.setInterval(500);
    connect(&m_timer, &QTimer::timeout, this, &AddressWatcher::check);
}

void AddressWatcher::start()
{
    // The first check comes at once, so that the window's activation, which
    // follows within milliseconds, already knows whether the machine is online.
    check();
    m_timer.start();
}

void AddressWatcher::stop()
{
    m_timer.stop();
}

void AddressWatcher::check()
{
    const bool wasOnline = m_online;
    m_current = m_lookup();
    m_online = !m_current.isEmpty() && m_current != QStringLiteral("127.0.0.1") && m_current != QStringLiteral("::1");
    if (m_online != wasOnline)
        emit statusChanged();
}

AddressWatcher::Lookup programAddressLookup()
{
    const QString fixed = qEnvironmentVariable("TAVIK_LOCAL_ADDRESS").trimmed();
    if (fixed.isEmpty())
        return firstLocalIPv4Address;
    return [fixed] { return fixed; };
}
