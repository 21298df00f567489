// The stored time of the last query, read back from any text: either the
// one error with the text in it, or a valid local date-time that the tick can
// count seconds from, and that is stored and read back to the second.
#include "fuzzsupport.h"

#include "base/datetime.h"
#include "shell/settingstext.h"
#include "base/tavikerror.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace {

void checkText(const QString &text, const QDate &today)
{
    QDateTime read;
    try {
        read = settingstext::parseStoredDateTime(text, today);
    } catch (const TavikError &e) {
        FUZZ_CHECK(e.message() == u"'"_s + text + u"' is not a valid date and time"_s);
        return;
    }
    FUZZ_CHECK(read.isValid());
    FUZZ_CHECK(read.timeSpec() == Qt::LocalTime);

    // What the tick does with it.
    const QDateTime now(today, QTime(12, 0), Qt::LocalTime);
    const qint64 seconds = datetime::secondsBetween(read, now);
    FUZZ_CHECK(seconds >= 0);
    FUZZ_CHECK(read.addSecs(300).isValid());

    // Stored and read again: the same to the second, for a year that two
    // digits can carry.
    const int year = read.date().year();
    if (year >= today.year() - 50 && year < today.year() + 50) {
        const QDateTime again = settingstext::parseStoredDateTime(settingstext::formatStoredDateTime(read), today);
        FUZZ_CHECK(again.date() == read.date());
        FUZZ_CHECK(again.time().hour() == read.time().hour() && again.time().minute() == read.time().minute()
                   && again.time().second() == read.time().second());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString text = fuzzsupport::textOf(fuzzsupport::bytesOf(data, size));
    // A leading "*" reads with the regional settings of a real locale (its
    // own separators and month names); otherwise "/" and ":".
    const bool regional = text.startsWith(u'*');
    if (regional)
        text.remove(0, 1);
    fuzzsupport::useRegional(regional);
    for (const QDate &today : {QDate(2026, 12, 7), QDate(2049, 1, 1)})
        checkText(text, today);
    return 0;
}
