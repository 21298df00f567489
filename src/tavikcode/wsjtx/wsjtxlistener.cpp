#include "wsjtxlistener.h"

#include "base/clock.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QUdpSocket>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool carries(const QNetworkInterface &iface, QAbstractSocket::NetworkLayerProtocol protocol)
{
    const auto entries = iface.addressEntries();
    return std::any_of(entries.cbegin(), entries.cend(),
                       [&](const QNetworkAddressEntry &e) { return e.ip().protocol() == protocol; });
}

} // namespace

WsjtxListener::WsjtxListener(QObject *parent) : QObject(parent) {}

WsjtxListener::~WsjtxListener()
{
    stop();
}

bool WsjtxListener::start(const QHostAddress &address, quint16 port)
{
    stop();
    m_multicast = address.isMulticast();
    auto *socket = new QUdpSocket(this);
    // A group is shared by design; a unicast port is never taken from its holder.
    const bool bound = m_multicast
        ? socket->bind(address.protocol() == QAbstractSocket::IPv6Protocol ? QHostAddress(QHostAddress::AnyIPv6)
                                                                          : QHostAddress(QHostAddress::AnyIPv4),
                       port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)
        : socket->bind(address, port, QUdpSocket::DontShareAddress);
    if (!bound) {
        const QString where = address.toString() + u" port "_s + QString::number(port);
        if (socket->error() == QAbstractSocket::AddressInUseError) {
            m_state = State::PortInUse;
            report(m_multicast
                       ? u"Another program holds UDP port %1 without sharing it, so WSJT-X cannot be heard on "
                         u"group %2. Close that program or let it share the port."_s.arg(port).arg(address.toString())
                       : u"Another program is already listening for WSJT-X on %1, so this program cannot hear it "
                         u"there. To hear WSJT-X in both, set WSJT-X's UDP Server to a multicast group such as "
                         u"239.255.0.1 and give both programs that group."_s.arg(where));
        } else {
            m_state = State::Failed;
            report(u"Cannot listen for WSJT-X on %1: %2"_s.arg(where, socket->errorString()));
        }
        delete socket;
        return false;
    }
    m_socket = socket;
    m_state = State::Listening;
    m_lastProblem.clear();
    if (m_multicast) {
        // Every interface that can carry the group, loopback included: WSJT-X
        // on the same machine sends on loopback or on its chosen interface.
        const auto interfaces = QNetworkInterface::allInterfaces();
        for (const QNetworkInterface &iface : interfaces) {
            const auto flags = iface.flags();
            if (!flags.testFlag(QNetworkInterface::IsUp) || !carries(iface, address.protocol())
                || !(flags.testFlag(QNetworkInterface::CanMulticast) || flags.testFlag(QNetworkInterface::IsLoopBack)))
                continue;
            if (socket->joinMulticastGroup(address, iface))
                m_joined << iface.name();
        }
        if (m_joined.isEmpty() && socket->joinMulticastGroup(address))
            m_joined << QString();
        if (m_joined.isEmpty())
            report(u"Cannot join the multicast group %1 on any network interface: %2"_s.arg(address.toString(),
                                                                                          socket->errorString()));
    }
    connect(socket, &QUdpSocket::readyRead, this, &WsjtxListener::readPending);
    return true;
}

void WsjtxListener::stop()
{
    if (m_socket) {
        // Closing leaves every group joined; deleteLater, as stop() may come
        // from a slot of a message this socket is still handing out.
        m_socket->disconnect(this);
        m_socket->close();
        m_socket->deleteLater();
    }
    m_socket = nullptr;
    m_state = State::Stopped;
    m_joined.clear();
}

quint16 WsjtxListener::localPort() const
{
    return m_socket ? m_socket->localPort() : 0;
}

void WsjtxListener::readPending()
{
    const QPointer<QUdpSocket> socket = m_socket;
    while (socket && socket == m_socket && socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket->receiveDatagram();
        if (!datagram.isValid())
            break;
        const WsjtxDecodeResult result = decodeWsjtxDatagram(datagram.data());
        if (!result.message) {
            if (m_dropped++ == 0) {
                emit firstDropped(u"WSJT-X listener: a datagram of %1 bytes from %2 was dropped (%3); "
                                  u"later ones are counted only"_s.arg(datagram.data().size())
                                      .arg(datagram.senderAddress().toString(),
                                           wsjtxDecodeErrorText(result.error)));
            }
            continue;
        }
        if (std::holds_alternative<WsjtxIgnored>(*result.message))
            continue;
        emit messageReceived(*result.message, Clock::nowUtc());
    }
}

void WsjtxListener::report(const QString &text)
{
    if (text == m_lastProblem)
        return;
    m_lastProblem = text;
    emit problem(text);
}
