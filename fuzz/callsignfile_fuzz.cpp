// The callsign from any settings file (WSJT-X.INI or TavikRepView.ini): the
// value of the last line that begins with "MyCall=", at most 20 characters,
// trimmed, in capitals; and the line the program writes reads back as the
// same callsign.
#include "fuzzsupport.h"

#include "base/callsignfile.h"
#include "base/textops.h"

namespace {

QString plainCallsign(const QStringList &lines)
{
    QString callsign;
    for (const QString &line : lines) {
        if (!line.startsWith(u"MyCall="_s))
            continue;
        callsign = line.mid(7, 20);
        while (!callsign.isEmpty() && callsign.front().unicode() <= u' ')
            callsign.remove(0, 1);
        while (!callsign.isEmpty() && callsign.back().unicode() <= u' ')
            callsign.chop(1);
        for (QChar &c : callsign) {
            if (c >= u'a' && c <= u'z')
                c = QChar(char16_t(c.unicode() - u'a' + u'A'));
        }
    }
    return callsign;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines = TextLines::splitLines(fuzzsupport::textOf(fuzzsupport::bytesOf(data, size)));
    const QString callsign = callsignFromLines(lines);
    FUZZ_CHECK(callsign == plainCallsign(lines));
    FUZZ_CHECK(callsign.size() <= 20);

    // The program's own file, written from the callsign and read again. The
    // 20-character cut may halve a pair of surrogates (a character beyond
    // the 65,536 of the basic plane), which no file can hold; the rest of such
    // a callsign comes back.
    TextLines file;
    file.add(callsignFileLine(callsign));
    const QString reread = callsignFromLines(TextLines::splitLines(TextLines::decode(file.toBytes())));
    if (QStringView(callsign).isValidUtf16())
        FUZZ_CHECK(reread == callsign);
    else
        FUZZ_CHECK(reread.size() == callsign.size());
    return 0;
}
