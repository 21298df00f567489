#include "benchdata.h"

#include "base/filenames.h"
#include "processing/reportline.h"

#include <QDir>
#include <QSet>

#include <random>

namespace benchdata {

namespace {

// Same numbers on every machine: the raw engine output only.
class Random
{
public:
    explicit Random(unsigned seed) : m_engine(seed) {}
    int below(int n) { return int(m_engine() % unsigned(n)); }
    QChar letter() { return QChar(char16_t(u'A' + below(26))); }
    QChar small() { return QChar(char16_t(u'a' + below(24))); }
    QChar digit() { return QChar(char16_t(u'0' + below(10))); }

private:
    std::mt19937 m_engine;
};

const char16_t *const kPrefixes[] = {u"DL", u"G", u"M", u"K", u"W", u"N", u"JA", u"I", u"VE", u"VK",
                                     u"PY", u"EA", u"F", u"PA", u"SM", u"OH", u"SP", u"OK", u"ON", u"UA"};

QString locator(Random &r)
{
    QString text(6, Qt::Uninitialized);
    text[0] = r.letter();
    text[1] = r.letter();
    text[2] = r.digit();
    text[3] = r.digit();
    text[4] = r.small();
    text[5] = r.small();
    return text;
}

QString frequency(Random &r)
{
    static const char16_t *const kFrequencies[] = {u"1840000", u"3573000", u"7074000", u"10136000",
                                                   u"14074000", u"18100000", u"21074000", u"28074000",
                                                   u"50313000", u"144174000"};
    return QString::number(QStringView(kFrequencies[r.below(10)]).toLongLong() + r.below(3000));
}

QString reception(Random &r, const QString &receiver)
{
    return QStringLiteral("<receptionReport receiverCallsign=\"%1\" receiverLocator=\"%2\" "
                          "senderCallsign=\"%3\" senderLocator=\"IO91wm\" frequency=\"%4\" "
                          "flowStartSeconds=\"%5\" mode=\"FT8\" isSender=\"1\" receiverDXCC=\"England\" "
                          "receiverDXCCCode=\"G\" sNR=\"%6\" />")
        .arg(receiver, locator(r), kOperator, frequency(r), QString::number(1796000000 + r.below(7 * 86400)),
             QString::number(r.below(37) - 24));
}

} // namespace

const QStringList &callsigns()
{
    static const QStringList calls = [] {
        Random r(1);
        QStringList list;
        QSet<QString> seen;
        while (list.size() < kHistoryCalls + kActiveReceivers) {
            QString call;
            call.reserve(8);
            call += QStringView(kPrefixes[r.below(20)]);
            call += r.digit();
            for (int n = 1 + r.below(3); n > 0; --n)
                call += r.letter();
            if (!seen.contains(call)) {
                seen.insert(call);
                list << call;
            }
        }
        return list;
    }();
    return calls;
}

QStringList answerLines()
{
    Random r(2);
    const QStringList &calls = callsigns();
    QStringList lines = {QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"),
                         QStringLiteral("<receptionReports currentSeconds=\"1796604800\">")};
    // Two thirds of the active receivers are known, a third are new.
    for (int i = 0; i < kActiveReceivers; ++i) {
        const QString &call = i % 3 == 0 ? calls.at(kHistoryCalls + i) : calls.at(r.below(kHistoryCalls));
        lines << QStringLiteral("<activeReceiver callsign=\"%1\" locator=\"%2\" frequency=\"%3\" region=\"1\" "
                                "DXCC=\"England\" decoderSoftware=\"WSJT-X v2.6.1\" antennaInformation=\"\" "
                                "mode=\"FT8\" />")
                     .arg(call, locator(r), frequency(r));
    }
    lines << QStringLiteral("<lastSequenceNumber value=\"28457121367\"/>");
    for (int i = 0; i < kAnswerReports; ++i)
        lines << reception(r, calls.at(r.below(kHistoryCalls)));
    lines << QStringLiteral("</receptionReports>");
    return lines;
}

TextLines reportsHistory()
{
    Random r(3);
    TextLines list;
    for (int i = 0; i < kHistoryReports; ++i)
        list.add(FormatReport(reception(r, callsigns().at(r.below(kHistoryCalls)))));
    return list;
}

TextLines callsHistory()
{
    TextLines list(TextLines::Sorted);
    list.setLines(callsigns().mid(0, kHistoryCalls));
    return list;
}

TextLines gridsHistory()
{
    Random r(4);
    TextLines list(TextLines::Sorted);
    QStringList entries;
    entries.reserve(kHistoryGrids);
    for (int i = 0; i < kHistoryGrids; ++i)
        entries << callsigns().at(i % kHistoryCalls) + u',' + locator(r);
    list.setLines(entries);
    return list;
}

void writeAll(const QString &folder)
{
    const QDir dir(folder);
    dir.mkpath(QStringLiteral("."));
    reportsHistory().saveToFile(dir.filePath(files::kReports));
    callsHistory().saveToFile(dir.filePath(files::kCalls));
    gridsHistory().saveToFile(dir.filePath(files::kGrids));
    TextLines answer;
    answer.setLines(answerLines());
    answer.saveToFile(dir.filePath(files::kResponse));
}

} // namespace benchdata
