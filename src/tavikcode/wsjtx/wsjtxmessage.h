#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <variant>

// WSJT-X's UDP messages as this program reads them: Heartbeat, Status and
// Close of schema 2 and 3, in Qt's big-endian data stream encoding. Every
// datagram is outside input: each field's length is checked before it is
// read, and nothing is ever sent back.

inline constexpr quint32 kWsjtxMagic = 0xadbccbda;

struct WsjtxHeartbeat
{
    QString id;
    quint32 maximumSchema = 0;
    QString version;  // empty when absent
    QString revision;
};

// The fields through the DE call are needed (JTDX's status ends soon after
// them); of the later ones the program keeps those it may show.
struct WsjtxStatus
{
    QString id;
    quint64 dialHz = 0;  // 0 until WSJT-X knows the rig's frequency
    QString mode;
    QString dxCall;
    QString report;
    QString txMode;
    bool txEnabled = false;
    bool transmitting = false;
    bool decoding = false;
    quint32 rxDf = 0;
    quint32 txDf = 0;
    QString deCall;
    std::optional<QString> deGrid;
    std::optional<QString> dxGrid;
    std::optional<QString> subMode;
    std::optional<quint32> trPeriodSeconds;  // absent also when WSJT-X sends "unset"
    std::optional<QString> configurationName;
    std::optional<QString> txMessage;
};

struct WsjtxClose
{
    QString id;
};

// A well-formed message of a type the program does not read (decodes, QSOs
// logged, and the types above 15 that differ between versions).
struct WsjtxIgnored
{
    QString id;
    quint32 type = 0;
};

using WsjtxMessage = std::variant<WsjtxHeartbeat, WsjtxStatus, WsjtxClose, WsjtxIgnored>;

enum class WsjtxDecodeError {
    TooShort,          // shorter than the header
    WrongMagic,        // not a WSJT-X datagram
    UnknownSchema,     // a schema other than 2 or 3
    Truncated,         // a needed field is cut short
};

struct WsjtxDecodeResult
{
    std::optional<WsjtxMessage> message;
    WsjtxDecodeError error = WsjtxDecodeError::TooShort;  // when there is no message
};

WsjtxDecodeResult decodeWsjtxDatagram(QByteArrayView datagram);

// "cut short", "not a WSJT-X message", ...: for the log.
QString wsjtxDecodeErrorText(WsjtxDecodeError error);

// The Id of any decoded message.
QString wsjtxMessageId(const WsjtxMessage &message);
