#include "wsjtxmessage.h"

#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

// Reads fields in order. Once a field does not fit in what is left, it and
// every later one fail: a field is never read past one that is missing.
class FieldReader
{
public:
    explicit FieldReader(QByteArrayView data) : m_data(data) {}

    std::optional<quint32> u32()
    {
        if (!fits(4))
            return std::nullopt;
        const quint32 value = qFromBigEndian<quint32>(m_data.data() + m_at);
        m_at += 4;
        return value;
    }

    std::optional<quint64> u64()
    {
        if (!fits(8))
            return std::nullopt;
        const quint64 value = qFromBigEndian<quint64>(m_data.data() + m_at);
        m_at += 8;
        return value;
    }

    std::optional<quint8> u8()
    {
        if (!fits(1))
            return std::nullopt;
        return quint8(m_data.at(m_at++));
    }

    std::optional<bool> boolean()
    {
        const auto byte = u8();
        return byte ? std::optional<bool>(*byte != 0) : std::nullopt;
    }

    // A QByteArray: its length, 0xffffffff for a null one, then the bytes.
    std::optional<QString> utf8()
    {
        if (!fits(4))
            return std::nullopt;
        const quint32 size = qFromBigEndian<quint32>(m_data.data() + m_at);
        if (size == 0xffffffff) {
            m_at += 4;
            return QString();
        }
        if (!fits(4 + qint64(size)))
            return std::nullopt;
        m_at += 4;
        const QString text = QString::fromUtf8(m_data.sliced(m_at, size));
        m_at += size;
        return text;
    }

private:
    qsizetype left() const { return m_failed ? 0 : m_data.size() - m_at; }
    bool fits(qsizetype size)
    {
        m_failed = m_failed || left() < size;
        return !m_failed;
    }

    QByteArrayView m_data;
    qsizetype m_at = 0;
    bool m_failed = false;
};

WsjtxDecodeResult failed(WsjtxDecodeError error)
{
    return {std::nullopt, error};
}

WsjtxDecodeResult decoded(WsjtxMessage message)
{
    return {std::move(message), WsjtxDecodeError::TooShort};
}

WsjtxDecodeResult readHeartbeat(FieldReader &in, QString id)
{
    WsjtxHeartbeat heartbeat;
    heartbeat.id = std::move(id);
    const auto schema = in.u32();
    if (!schema)
        return failed(WsjtxDecodeError::Truncated);
    heartbeat.maximumSchema = *schema;
    if (const auto version = in.utf8()) {
        heartbeat.version = *version;
        heartbeat.revision = in.utf8().value_or(QString());
    }
    return decoded(std::move(heartbeat));
}

WsjtxDecodeResult readStatus(FieldReader &in, QString id)
{
    WsjtxStatus s;
    s.id = std::move(id);
    const auto dial = in.u64();
    const auto mode = in.utf8();
    const auto dxCall = in.utf8();
    const auto report = in.utf8();
    const auto txMode = in.utf8();
    const auto txEnabled = in.boolean();
    const auto transmitting = in.boolean();
    const auto decoding = in.boolean();
    const auto rxDf = in.u32();
    const auto txDf = in.u32();
    const auto deCall = in.utf8();
    // Once one is missing the rest are too (the reader never skips a field).
    if (!deCall)
        return failed(WsjtxDecodeError::Truncated);
    s.dialHz = *dial;
    s.mode = *mode;
    s.dxCall = *dxCall;
    s.report = *report;
    s.txMode = *txMode;
    s.txEnabled = *txEnabled;
    s.transmitting = *transmitting;
    s.decoding = *decoding;
    s.rxDf = *rxDf;
    s.txDf = *txDf;
    s.deCall = *deCall;

    // Later fields: kept while present, in order; the first missing ends them.
    if (!(s.deGrid = in.utf8()) || !(s.dxGrid = in.utf8()) || !in.boolean() /* Tx watchdog */
        || !(s.subMode = in.utf8()) || !in.boolean() /* fast mode */ || !in.u8() /* special operation */
        || !in.u32() /* frequency tolerance */)
        return decoded(std::move(s));
    const auto period = in.u32();
    if (!period)
        return decoded(std::move(s));
    if (*period != 0xffffffff && *period != 0)
        s.trPeriodSeconds = *period;
    if ((s.configurationName = in.utf8()))
        s.txMessage = in.utf8();
    return decoded(std::move(s));
}

} // namespace

WsjtxDecodeResult decodeWsjtxDatagram(QByteArrayView datagram)
{
    FieldReader in(datagram);
    const auto magic = in.u32();
    const auto schema = in.u32();
    const auto type = in.u32();
    if (!magic)
        return failed(WsjtxDecodeError::TooShort);
    if (*magic != kWsjtxMagic)
        return failed(WsjtxDecodeError::WrongMagic);
    if (!schema || !type)
        return failed(WsjtxDecodeError::TooShort);
    // Schema 2 and 3 write these fields alike; others may not.
    if (*schema != 2 && *schema != 3)
        return failed(WsjtxDecodeError::UnknownSchema);
    auto id = in.utf8();
    if (!id)
        return failed(WsjtxDecodeError::Truncated);
    switch (*type) {
    case 0:
        return readHeartbeat(in, std::move(*id));
    case 1:
        return readStatus(in, std::move(*id));
    case 6:
        return decoded(WsjtxClose{std::move(*id)});
    default:
        return decoded(WsjtxIgnored{std::move(*id), *type});
    }
}

QString wsjtxDecodeErrorText(WsjtxDecodeError error)
{
    switch (error) {
    case WsjtxDecodeError::TooShort:
        return u"too short for a message"_s;
    case WsjtxDecodeError::WrongMagic:
        return u"not a WSJT-X message"_s;
    case WsjtxDecodeError::UnknownSchema:
        return u"a message schema other than 2 or 3"_s;
    case WsjtxDecodeError::Truncated:
        return u"cut short"_s;
    }
    return {};
}

QString wsjtxMessageId(const WsjtxMessage &message)
{
    return std::visit([](const auto &m) { return m.id; }, message);
}
