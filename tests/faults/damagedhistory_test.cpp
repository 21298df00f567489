// History files that something else has damaged: binary garbage, NUL bytes,
// a line of a megabyte, line ends of every kind. The next answer is folded in
// as always; every old line stays (its valid UTF-8 byte for byte), nothing is
// doubled, and folding the same answer again changes nothing.
#include "../formfixture.h"

#include "base/filenames.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QStringDecoder>

namespace damagedhistory {

struct Damage
{
    const char *name;
    QByteArrayList lines;
    QByteArrayList breaks; // used in turn after each line; the last line gets none
};

void PrintTo(const Damage &damage, std::ostream *os)
{
    *os << damage.name;
}

QByteArray joined(const Damage &d)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < d.lines.size(); ++i) {
        bytes += d.lines.at(i);
        if (i + 1 < d.lines.size())
            bytes += d.breaks.at(i % d.breaks.size());
    }
    return bytes;
}

QByteArray reportLine(int day, const char *receiver)
{
    return QByteArray::number(day).rightJustified(2, '0') + "Nov2026 10:00:00,  " + receiver
        + ",    \t-10,\t20m, FT8, JO62, Germany, ";
}

Damage garbage()
{
    QRandomGenerator random(20261207);
    Damage d{"BinaryGarbage", {}, {"\r\n"}};
    for (int i = 0; i < 64; ++i) {
        QByteArray line;
        while (line.size() < 40) {
            const char c = char(random.bounded(256));
            if (c != '\r' && c != '\n')
                line += c;
        }
        d.lines << line;
    }
    // Good lines among the garbage keep their accents.
    for (int i = 0; i < 8; ++i)
        d.lines.insert(i * 8, "Cura\xC3\xA7" "ao, R\xC3\xA9union \xF0\x9F\x93\xA1 " + QByteArray::number(i));
    return d;
}

Damage nulBytes()
{
    Damage d{"NulBytes", {}, {"\r\n"}};
    for (int day = 1; day <= 20; ++day)
        d.lines << reportLine(day, "DL1AA").replace("DL1AA", QByteArray("DL\0" "1A", 5).append(QByteArray::number(day)));
    d.lines << QByteArray(16, '\0');
    return d;
}

Damage megabyteLine()
{
    return {"AMegabyteLine", {reportLine(1, "DL1AA"), QByteArray(1024 * 1024, 'x'), reportLine(2, "DL2BB")}, {"\r\n"}};
}

Damage mixedLineEnds()
{
    Damage d{"MixedLineEnds", {}, {"\r", "\n", "\r\n"}};
    for (int day = 1; day <= 20; ++day)
        d.lines << reportLine(day, QByteArray("K") .append(QByteArray::number(day)).constData());
    return d;
}

// The lines of bytes, cut at CR, LF or CR LF, with no empty line for a break
// at the very end: the old lines as any reader of text files sees them.
QByteArrayList cut(const QByteArray &bytes)
{
    QByteArrayList lines;
    QByteArray line;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') {
            line += bytes[i];
            continue;
        }
        lines << line;
        line.clear();
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

bool isUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

const QByteArray kAnswer = "<receptionReports>\n"
    "<activeReceiver callsign=\"W1NEW\" locator=\"FN42ab\" />\n"
    "<activeReceiver callsign=\"VK2NEW\" locator=\"QF56od\" />\n"
    "<lastSequenceNumber value=\"555\"/>\n"
    "<receptionReport receiverCallsign=\"W1NEW\" senderCallsign=\"G4XYZ\" frequency=\"14074000\" flowStartSeconds=\"1796601600\" sNR=\"-3\" />\n"
    "<receptionReport receiverCallsign=\"VK2NEW\" senderCallsign=\"G4XYZ\" frequency=\"7074000\" flowStartSeconds=\"1796601610\" sNR=\"-4\" />\n"
    "<receptionReport receiverCallsign=\"W1NEW\" senderCallsign=\"G4XYZ\" frequency=\"14074000\" flowStartSeconds=\"1796601620\" sNR=\"-5\" />\n"
    "<receptionReport receiverCallsign=\"VK2NEW\" senderCallsign=\"G4XYZ\" frequency=\"7074000\" flowStartSeconds=\"1796601630\" sNR=\"-6\" />\n"
    "</receptionReports>\n";

} // namespace damagedhistory

using namespace damagedhistory;

class DamagedHistoryTest : public FormTest, public ::testing::WithParamInterface<Damage>
{
};

TEST_P(DamagedHistoryTest, KeepsEveryOldLineAndTakesTheNextAnswer)
{
    const Damage &damage = GetParam();
    const QByteArray damaged = joined(damage);
    for (const QString &name : {files::kReports, files::kCalls, files::kGrids})
        writeBytes(name, damaged);
    writeBytes(files::kResponse, kAnswer);
    TForm1 &f = create();
    f.state.Callsign = "G4XYZ"_qs;

    f.runTick();
    EXPECT_TRUE(dialogs.empty()) << dialogTexts().join(u'\n').toStdString();
    EXPECT_EQ(f.state.LastSeqNo, "555"_qs);

    const QByteArrayList old = cut(damaged);
    const struct { QString name; int added; } histories[] = {
        {files::kReports, 4}, {files::kCalls, 2}, {files::kGrids, 2}};
    for (const auto &h : histories) {
        SCOPED_TRACE(h.name.toStdString());
        const QByteArray bytes = readBytes(h.name);
        EXPECT_TRUE(isUtf8(bytes));
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        const QByteArrayList now = bytes.chopped(2).split('\n');
        EXPECT_EQ(now.size(), old.size() + h.added);
        QSet<QByteArray> lines;
        for (const QByteArray &line : now)
            lines << line.chopped(line.endsWith('\r') ? 1 : 0);
        for (const QByteArray &line : old) {
            if (isUtf8(line)) {
                EXPECT_TRUE(lines.contains(line)) << "lost: " << line.left(60).toHex().constData();
            }
        }
    }
    EXPECT_TRUE(readBytes(files::kCalls).contains("\r\nW1NEW\r\n") || readBytes(files::kCalls).startsWith("W1NEW\r\n"));

    // The same answer folded in once more (as after a restart) changes nothing.
    const QByteArray reports = readBytes(files::kReports);
    const QByteArray calls = readBytes(files::kCalls);
    const QByteArray grids = readBytes(files::kGrids);
    f.state.ResponseStamp = 0;
    f.runTick();
    EXPECT_EQ(readBytes(files::kReports), reports);
    EXPECT_EQ(readBytes(files::kCalls), calls);
    EXPECT_EQ(readBytes(files::kGrids), grids);
    EXPECT_EQ(f.Edit1->text(), QString::number(old.size() + 4));
}

INSTANTIATE_TEST_SUITE_P(Histories, DamagedHistoryTest,
                         ::testing::Values(garbage(), nulBytes(), megabyteLine(), mixedLineEnds()),
                         [](const ::testing::TestParamInfo<Damage> &info) { return std::string(info.param.name); });
