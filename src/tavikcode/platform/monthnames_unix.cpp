#include "monthnames.h"

#ifndef Q_OS_WIN

#include <QStringDecoder>

#include <langinfo.h>
#include <locale.h>

#include <functional>

namespace {

// The twelve names, decoded by the locale's own codeset.
QStringList decodedNames(const char *codeset, const std::function<const char *(nl_item)> &item)
{
    QStringDecoder decoder(codeset);
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    QStringList names;
    for (int n = 0; n < 12; ++n) {
        const QString name = decoder.decode(QByteArrayView(item(ABMON_1 + n)));
        if (name.isEmpty())
            return {};
        names << name;
    }
    return names;
}

} // namespace

QStringList platformShortMonthNames()
{
    // The process's LC_TIME, which QCoreApplication takes from the environment.
    return decodedNames(nl_langinfo(CODESET), [](nl_item item) { return nl_langinfo(item); });
}

QStringList cLibraryShortMonthNames(const char *localeName)
{
    const locale_t locale = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, localeName, locale_t(0));
    if (locale == locale_t(0))
        return {};
    const QStringList names
        = decodedNames(nl_langinfo_l(CODESET, locale), [locale](nl_item item) { return nl_langinfo_l(item, locale); });
    freelocale(locale);
    return names;
}

#endif
