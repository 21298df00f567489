#pragma once

#include "wsjtx/wsjtxmessage.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDataStream>

// WSJT-X datagrams for tests, each field as Qt's data stream writes it: the
// tests' encoder is Qt's own, not the program's reader turned around.
namespace wsjtxdatagrams {

template <typename T>
QByteArray field(const T &value)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << value;
    return bytes;
}

inline QByteArray header(quint32 schema, quint32 type, const QByteArray &id)
{
    return field(kWsjtxMagic) + field(schema) + field(type) + field(id);
}

// A WSJT-X 2.6 status of N1SH on 20 m FT8, cut after its first `fields` fields.
inline QByteArray status(quint32 schema, const QByteArray &id, bool transmitting, int fields = 21)
{
    using namespace Qt::StringLiterals;
    const QByteArrayList all = {
        field(quint64(14'074'000)), field("FT8"_ba), field("K1ABC"_ba), field("-14"_ba), field("FT8"_ba),
        field(true), field(transmitting), field(false), field(quint32(1500)), field(quint32(1342)),
        field("n1sh"_ba), field("FN43RQ"_ba), field("FN42"_ba), field(false), field(QByteArray()),
        field(false), field(quint8(0)), field(quint32(0xffffffff)), field(quint32(15)),
        field("Default"_ba), field("K1ABC N1SH -14"_ba)};
    return header(schema, 1, id) + all.mid(0, fields).join();
}

} // namespace wsjtxdatagrams
