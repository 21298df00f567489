// Any answer body under any declared content type: decoded without fault,
// and its lines, stored as the program stores TavikRep.txt and read back as
// it reads the file, are the same lines.
//
// Input: the Content-Type value, a line feed, the body.
#include "fuzzsupport.h"

#include "retrieval/httpclient.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzzsupport::bytesOf(data, size);
    const qsizetype eol = input.indexOf('\n');
    const QByteArray contentType = eol < 0 ? QByteArray() : input.left(eol);
    const QByteArray body = eol < 0 ? input : input.mid(eol + 1);

    const QString text = decodeHttpBody(body, contentType.left(200));
    TextLines answer(TextLines::Unsorted);
    answer.setText(text);

    // A character that UTF-8 cannot carry (half a surrogate pair) is written
    // as a replacement; every other line comes back as it was.
    const bool whole = QStringView(text).isValidUtf16();
    const QByteArray stored = answer.toBytes();
    TextLines reread(TextLines::Unsorted);
    reread.setText(TextLines::decode(stored));
    if (whole)
        FUZZ_CHECK(reread.lines() == answer.lines());
    else
        FUZZ_CHECK(reread.count() == answer.count());
    FUZZ_CHECK(stored.count("\r\n") == answer.count());
    return 0;
}
