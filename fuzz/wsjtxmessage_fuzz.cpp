// Any run of datagrams as WSJT-X's listener takes them: each is read or
// refused without fault; more bytes after a readable message leave what was
// read unchanged; and the copies heard and the transmissions made of them
// stay consistent.
//
// Input: datagrams, each a byte of seconds since the one before, its length
// in two bytes (big-endian), then its bytes; what is left is one more datagram.
#include "fuzzsupport.h"

#include "wsjtx/transmissions.h"
#include "wsjtx/wsjtxinstances.h"
#include "wsjtx/wsjtxmessage.h"

namespace {

// The fields every later version leaves where they are.
QString leading(const WsjtxMessage &m)
{
    if (const auto *s = std::get_if<WsjtxStatus>(&m)) {
        return s->id + u'|' + QString::number(s->dialHz) + u'|' + s->mode + u'|' + s->dxCall + u'|' + s->report
               + u'|' + s->txMode + u'|' + QString::number(s->txEnabled) + QString::number(s->transmitting)
               + QString::number(s->decoding) + u'|' + QString::number(s->rxDf) + u'|' + QString::number(s->txDf)
               + u'|' + s->deCall;
    }
    if (const auto *h = std::get_if<WsjtxHeartbeat>(&m))
        return h->id + u'|' + QString::number(h->maximumSchema);
    return wsjtxMessageId(m) + u'|' + QString::number(m.index());
}

void checkDatagram(const QByteArray &datagram)
{
    const WsjtxDecodeResult result = decodeWsjtxDatagram(datagram);
    if (!result.message)
        return;
    FUZZ_CHECK(wsjtxMessageId(*result.message).size() <= datagram.size());
    const WsjtxDecodeResult longer = decodeWsjtxDatagram(QByteArray(datagram + QByteArray(7, '\xff')));
    FUZZ_CHECK(longer.message && leading(*longer.message) == leading(*result.message));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzzsupport::bytesOf(data, size);
    QDateTime at = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);
    WsjtxInstances instances;
    instances.setOperatorCallsign(u"N1SH"_s);
    TransmissionTracker tracker;
    std::optional<Transmission> last;
    qsizetype from = 0;
    while (from < input.size()) {
        QByteArray datagram;
        if (input.size() - from >= 3) {
            at = at.addSecs(quint8(input.at(from)));
            const qsizetype length = (quint8(input.at(from + 1)) << 8) | quint8(input.at(from + 2));
            datagram = input.mid(from + 3, length);
            from += 3 + length;
        } else {
            datagram = input.mid(from);
            from = input.size();
        }
        checkDatagram(datagram);
        const WsjtxDecodeResult result = decodeWsjtxDatagram(datagram);
        instances.forgetSilent(at);
        if (!result.message)
            continue;
        const auto check = [&](const std::optional<Transmission> &ended) {
            if (!ended)
                return;
            FUZZ_CHECK(ended->start <= ended->end && ended->end == at);
            FUZZ_CHECK(reportBelongsTo(*ended, ended->start, ended->band, ended->mode));
            FUZZ_CHECK(!last || last->end <= ended->start);
            last = ended;
        };
        if (instances.take(*result.message, at))
            check(tracker.stop(at));
        const auto *status = std::get_if<WsjtxStatus>(&*result.message);
        if (status && status->id == instances.followedId())
            check(tracker.take(*status, at));
        FUZZ_CHECK(instances.followedId().isEmpty() == instances.all().isEmpty());
        FUZZ_CHECK(instances.followedId().isEmpty() || instances.followed());
        FUZZ_CHECK(instances.otherIds().size() == instances.all().size() - (instances.followed() ? 1 : 0));
    }
    return 0;
}
