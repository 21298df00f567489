#pragma once

#include "demoonair.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <optional>

class QTimer;
class QUdpSocket;

// The stand-in playing WSJT-X for the demo: sends to a listener what WSJT-X
// 2.6.1 would while the demo station follows its OnAir rounds: a heartbeat
// every 15 s, a status at each change (and, for a benchmark, every few
// seconds too) and a Close at the end. It only sends; it reads nothing.
class WsjtxPlay : public QObject
{
    Q_OBJECT

public:
    static inline const QByteArray id = "WSJT-X";

    // deCall and deGrid: the operator's callsign and locator, as WSJT-X's
    // settings hold them.
    WsjtxPlay(const demo::OnAir &onAir, const QString &deCall, const QString &deGrid,
        QObject *parent = nullptr);
    ~WsjtxPlay() override;

    // A status every that many seconds besides those at each change; 0: none.
    void setStatusEvery(int seconds);

    // Sends to that address (a multicast group goes out on loopback) and
    // starts the clock. False, with errorString(), when the socket fails.
    bool start(const QHostAddress &address, quint16 port);
    QString errorString() const { return m_error; }

    // Sends the Close, as WSJT-X does when it ends.
    void close();

    // The datagrams themselves (schema 2, as WSJT-X sends them first).
    static QByteArray heartbeat();
    static QByteArray status(const demo::OnAirState &state, const QString &deCall, const QString &deGrid);
    static QByteArray closing();

private:
    void send(const QByteArray &datagram);
    void sendStatus();
    void changeDue();

    demo::OnAir m_onAir;
    QString m_deCall;
    QString m_deGrid;
    QUdpSocket *m_socket;
    QTimer *m_heartbeat;
    QTimer *m_repeat;
    QTimer *m_change;
    QHostAddress m_address;
    quint16 m_port = 0;
    std::optional<demo::OnAirState> m_sent;
    QString m_error;
};
