#pragma once

#include "wsjtxmessage.h"

#include <QDateTime>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>

class QUdpSocket;

// Listens for WSJT-X's UDP messages and never sends anything back. A
// multicast group is joined on every interface, loopback included, with the
// port shared, so that loggers and maps on the same group keep hearing it; a
// unicast port is bound only when no other program holds it.
class WsjtxListener : public QObject
{
    Q_OBJECT

public:
    enum class State { Stopped, Listening, PortInUse, Failed };

    explicit WsjtxListener(QObject *parent = nullptr);
    ~WsjtxListener() override;

    // Stops any earlier listening first. Port 0 lets the system choose (tests).
    // Returns whether the listener is now listening.
    bool start(const QHostAddress &address, quint16 port);
    void stop();

    State state() const { return m_state; }
    bool isMulticast() const { return m_multicast; }
    quint16 localPort() const;
    // The interfaces on which the group was joined (multicast only).
    QStringList joinedInterfaces() const { return m_joined; }
    // Datagrams that could not be read, since the listener was made.
    qint64 droppedCount() const { return m_dropped; }

signals:
    // A Heartbeat, Status or Close (other types are passed over), with the
    // time it came by the program's clock.
    void messageReceived(const WsjtxMessage &message, const QDateTime &at);
    // A fault to tell the operator, in plain words; the same text only once.
    void problem(const QString &text);
    // The first datagram that could not be read (for the log); later ones
    // are only counted.
    void firstDropped(const QString &text);

private:
    void readPending();
    void report(const QString &text);

    QPointer<QUdpSocket> m_socket;
    State m_state = State::Stopped;
    bool m_multicast = false;
    QStringList m_joined;
    qint64 m_dropped = 0;
    QString m_lastProblem;
};
