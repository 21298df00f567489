// The maker's version page as the program reads it: the first line of any
// page, its comma fields, the version and build after their first colon, and
// the build tail of a version text. Each agrees with a plain reckoning by
// QString's own splitting.
#include "fuzzsupport.h"

#include "retrieval/versionpage.h"

namespace {

QString plainTrim(const QString &s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin).unicode() <= u' ')
        ++begin;
    while (end > begin && s.at(end - 1).unicode() <= u' ')
        --end;
    return s.mid(begin, end - begin);
}

QString plainField(const QString &text, QChar delimiter, int n)
{
    if (text.isEmpty() || n < 1)
        return {};
    const QStringList fields = text.split(delimiter);
    return n <= fields.size() ? fields.at(n - 1) : QString();
}

QString plainAfterColon(const QString &field, qsizetype window)
{
    return plainTrim(field.mid(field.indexOf(u':') + 1, window));
}

void checkLine(const QString &line)
{
    for (const QChar delimiter : {QChar(u','), QChar(u':'), QChar(u' ')}) {
        for (int n = -1; n <= 6; ++n)
            FUZZ_CHECK(versionpage::ExtractField(line, delimiter, n) == plainField(line, delimiter, n));
    }
    const QString version = versionpage::latestVersion(line);
    const QString build = versionpage::latestBuild(line);
    FUZZ_CHECK(version == plainAfterColon(plainField(line, u',', 1), 20));
    FUZZ_CHECK(build == plainAfterColon(plainField(line, u',', 2), 30));
    FUZZ_CHECK(version.size() <= 20 && build.size() <= 30);

    const QString tail = versionpage::BuildTail(line);
    const QString last = plainTrim(line.right(4));
    FUZZ_CHECK(tail == plainTrim(last.mid(last.indexOf(u'.') + 1, 3)));
    FUZZ_CHECK(tail.size() <= 3);

    const QString notice = versionpage::noticeText(u"SITE"_s, version, build, line);
    FUZZ_CHECK(notice.contains(line));
    FUZZ_CHECK(versionpage::latestVersion(versionpage::versionLine(u"1.0.0.27"_s, build)) == u"1.0.0.27"_s);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The page is saved as lines and its first line read back.
    const QStringList lines = TextLines::splitLines(fuzzsupport::textOf(fuzzsupport::bytesOf(data, size)));
    checkLine(lines.isEmpty() ? QString() : lines.first());
    for (qsizetype i = 1; i < lines.size() && i < 8; ++i)
        checkLine(lines.at(i));
    return 0;
}
