#include "wsjtxplay.h"

#include <QDateTime>
#include <QNetworkInterface>
#include <QTimer>
#include <QUdpSocket>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

constexpr quint32 magic = 0xadbccbda;
constexpr quint32 schema = 2;

class Writer
{
public:
    Writer(quint32 type)
    {
        u32(magic);
        u32(schema);
        u32(type);
        utf8(WsjtxPlay::id);
    }
    void u32(quint32 value)
    {
        char bytes[4];
        qToBigEndian(value, bytes);
        m_data.append(bytes, 4);
    }
    void u64(quint64 value)
    {
        char bytes[8];
        qToBigEndian(value, bytes);
        m_data.append(bytes, 8);
    }
    void u8(quint8 value) { m_data.append(char(value)); }
    void boolean(bool value) { u8(value ? 1 : 0); }
    void utf8(const QByteArray &text)
    {
        u32(quint32(text.size()));
        m_data.append(text);
    }
    void utf8(const QString &text) { utf8(text.toUtf8()); }
    QByteArray data() const { return m_data; }

private:
    QByteArray m_data;
};

constexpr quint64 dialOf(demo::Band band)
{
    return band == demo::B40m ? 7'074'000 : 14'074'000;
}

} // namespace

WsjtxPlay::WsjtxPlay(const demo::OnAir &onAir, const QString &deCall, const QString &deGrid, QObject *parent)
    : QObject(parent)
    , m_onAir(onAir)
    , m_deCall(deCall)
    , m_deGrid(deGrid)
    , m_socket(new QUdpSocket(this))
    , m_heartbeat(new QTimer(this))
    , m_repeat(new QTimer(this))
    , m_change(new QTimer(this))
{
    m_heartbeat->setInterval(15'000);
    connect(m_heartbeat, &QTimer::timeout, this, [this] { send(heartbeat()); });
    connect(m_repeat, &QTimer::timeout, this, &WsjtxPlay::sendStatus);
    m_change->setSingleShot(true);
    m_change->setTimerType(Qt::PreciseTimer);
    connect(m_change, &QTimer::timeout, this, &WsjtxPlay::changeDue);
}

WsjtxPlay::~WsjtxPlay() = default;

void WsjtxPlay::setStatusEvery(int seconds)
{
    if (seconds > 0)
        m_repeat->start(seconds * 1000);
    else
        m_repeat->stop();
}

bool WsjtxPlay::start(const QHostAddress &address, quint16 port)
{
    if (address.isMulticast()) {
        // On this machine only, whatever its other interfaces.
        m_socket->bind(QHostAddress(QHostAddress::AnyIPv4), 0);
        m_socket->setSocketOption(QAbstractSocket::MulticastTtlOption, 1);
        m_socket->setSocketOption(QAbstractSocket::MulticastLoopbackOption, 1);
        const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
        for (const QNetworkInterface &interface : interfaces) {
            if (interface.flags().testFlag(QNetworkInterface::IsLoopBack))
                m_socket->setMulticastInterface(interface);
        }
    }
    m_address = address;
    m_port = port;
    send(heartbeat());
    changeDue();
    m_heartbeat->start();
    if (m_socket->error() != QAbstractSocket::UnknownSocketError) {
        m_error = m_socket->errorString();
        return false;
    }
    return true;
}

void WsjtxPlay::close()
{
    m_heartbeat->stop();
    m_repeat->stop();
    m_change->stop();
    send(closing());
    m_socket->waitForBytesWritten(100);
}

void WsjtxPlay::send(const QByteArray &datagram)
{
    m_socket->writeDatagram(datagram, m_address, m_port);
}

void WsjtxPlay::sendStatus()
{
    const demo::OnAirState state = m_onAir.stateAt(QDateTime::currentMSecsSinceEpoch());
    send(status(state, m_deCall, m_deGrid));
    m_sent = state;
}

void WsjtxPlay::changeDue()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (m_sent != m_onAir.stateAt(now))
        sendStatus();
    // A timer may wake a little early: the change is then looked at once more.
    m_change->start(int(std::max<qint64>(1, m_onAir.nextChangeAfter(now) - now)));
}

QByteArray WsjtxPlay::heartbeat()
{
    Writer out(0);
    out.u32(3); // the highest schema it knows
    out.utf8("2.6.1"_ba);
    out.utf8("d11b2f"_ba);
    return out.data();
}

QByteArray WsjtxPlay::status(const demo::OnAirState &state, const QString &deCall, const QString &deGrid)
{
    Writer out(1);
    out.u64(dialOf(state.band));
    out.utf8("FT8"_ba);
    out.utf8(QByteArray()); // DX call: calling CQ
    out.utf8(QByteArray()); // report
    out.utf8("FT8"_ba); // Tx mode
    out.boolean(state.txEnabled);
    out.boolean(state.transmitting);
    out.boolean(false); // decoding
    out.u32(1500); // Rx DF
    out.u32(quint32(demo::OnAir::txOffsetHz));
    out.utf8(deCall);
    out.utf8(deGrid);
    out.utf8(QByteArray()); // DX grid
    out.boolean(false); // Tx watchdog
    out.utf8(QByteArray()); // sub-mode
    out.boolean(false); // fast mode
    out.u8(0); // special operation mode
    out.u32(0xffffffff); // frequency tolerance: unset, as for FT8
    out.u32(0xffffffff); // T/R period: unset, as for FT8
    out.utf8("Default"_ba); // configuration name
    out.utf8(u"CQ %1 %2"_s.arg(deCall, deGrid.left(4)).trimmed());
    return out.data();
}

QByteArray WsjtxPlay::closing()
{
    return Writer(6).data();
}
