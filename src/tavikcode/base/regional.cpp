#include "regional.h"

#include "platform/monthnames.h"

#include <memory>

namespace {

const QStringList &englishMonths()
{
    static const QStringList months = {
        QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"), QStringLiteral("Apr"),
        QStringLiteral("May"), QStringLiteral("Jun"), QStringLiteral("Jul"), QStringLiteral("Aug"),
        QStringLiteral("Sep"), QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")};
    return months;
}

// The first character of a format that is neither a letter nor a digit nor a blank.
QString separatorOf(const QString &format, const QString &fallback)
{
    for (QChar c : format) {
        if (!c.isLetterOrNumber() && !c.isSpace() && c != u'\'')
            return QString(c);
    }
    return fallback;
}

struct Current
{
    RegionalSettings settings;
    QCollator ignoringCase;
    QCollator withCase;

    explicit Current(const RegionalSettings &s)
        : settings(s), ignoringCase(s.locale), withCase(s.locale)
    {
        ignoringCase.setCaseSensitivity(Qt::CaseInsensitive);
        withCase.setCaseSensitivity(Qt::CaseSensitive);
    }
};

std::unique_ptr<Current> &current()
{
    static std::unique_ptr<Current> instance;
    if (!instance)
        instance = std::make_unique<Current>(regionalFromSystem());
    return instance;
}

} // namespace

RegionalSettings regionalFromLocale(const QLocale &locale)
{
    RegionalSettings s;
    s.locale = locale;
    if (locale.language() == QLocale::C) {
        s.shortMonthNames = englishMonths();
        return s;
    }
    s.dateSeparator = separatorOf(locale.dateFormat(QLocale::ShortFormat), QStringLiteral("/"));
    s.timeSeparator = separatorOf(locale.timeFormat(QLocale::ShortFormat), QStringLiteral(":"));
    for (int m = 1; m <= 12; ++m) {
        QString name = locale.standaloneMonthName(m, QLocale::ShortFormat);
        s.shortMonthNames << (name.isEmpty() ? englishMonths().at(m - 1) : name);
    }
    return s;
}

RegionalSettings regionalFromSystem()
{
    RegionalSettings s = regionalFromLocale(QLocale::system());
    if (const QStringList names = platformShortMonthNames(); names.size() == 12)
        s.shortMonthNames = names;
    return s;
}

const RegionalSettings &regional()
{
    return current()->settings;
}

void setRegional(const RegionalSettings &settings)
{
    RegionalSettings s = settings;
    if (s.shortMonthNames.size() != 12)
        s.shortMonthNames = englishMonths();
    current() = std::make_unique<Current>(s);
}

const QCollator &collatorIgnoringCase()
{
    return current()->ignoringCase;
}

const QCollator &collatorWithCase()
{
    return current()->withCase;
}
