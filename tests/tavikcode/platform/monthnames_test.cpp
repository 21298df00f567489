#include "platform/monthnames.h"

#include "processing/reportline.h"
#include "processing/reportorder.h"

#include "../../testsupport.h"

#include <clocale>
#include <cstdlib>

#ifndef Q_OS_WIN

namespace {

// The names of a locale compiled for the tests (tests/make-locales.sh).
QStringList namesOf(const char *locale)
{
    qputenv("LOCPATH", TAVIK_TEST_LOCALES);
    const QStringList names = cLibraryShortMonthNames(locale);
    qunsetenv("LOCPATH");
    return names;
}

} // namespace

class MonthNamesTest : public InTempFolder
{
protected:
    // The C library's names of that locale in force, as on a machine set so.
    bool useLocale(const char *locale)
    {
        RegionalSettings s = regionalFromLocale(QLocale::c());
        s.shortMonthNames = namesOf(locale);
        if (s.shortMonthNames.isEmpty())
            return false;
        setRegional(s);
        return true;
    }
};

TEST_F(MonthNamesTest, TheCLocaleKeepsTheEnglishNames)
{
    const QStringList names = cLibraryShortMonthNames("C");
    ASSERT_EQ(names.size(), 12);
    EXPECT_EQ(names.front(), "Jan"_qs);
    EXPECT_EQ(names.at(8), "Sep"_qs);
    EXPECT_EQ(names.back(), "Dec"_qs);
    EXPECT_TRUE(cLibraryShortMonthNames("xx_NOWHERE.UTF-8").isEmpty());
}

TEST_F(MonthNamesTest, EnglishUnitedKingdomWritesSeptemberInThreeLettersAsThePlatformDoes)
{
    if (!useLocale("en_GB.UTF-8"))
        GTEST_SKIP() << "en_GB.UTF-8 could not be made (localedef)";
    // Qt's own name (CLDR) is four letters long.
    EXPECT_EQ(QLocale(QLocale::English, QLocale::UnitedKingdom).standaloneMonthName(9, QLocale::ShortFormat), "Sept"_qs);
    const QString line = FormatReport(
        "<receptionReport flowStartSeconds=\"1788788712\" receiverCallsign=\"G4ABC\" sNR=\"-5\" />"_qs);
    EXPECT_TRUE(line.startsWith("07Sep2026 13:45:12,  G4ABC,"_qs)) << line.toStdString();
    ASSERT_TRUE(reportInstant(line));
    EXPECT_EQ(*reportInstant(line) - reportInstant("07Sep2026,  G4ABC, "_qs).value_or(0), 13 * 3600 + 45 * 60 + 12);
    // The table groups by the nine characters of the date.
    EXPECT_EQ(line.left(9), "07Sep2026"_qs);
}

TEST_F(MonthNamesTest, LongerNamesAreWrittenAndReadBackInTheirOrder)
{
    if (!useLocale("fr_FR.UTF-8"))
        GTEST_SKIP() << "fr_FR.UTF-8 could not be made (localedef)";
    EXPECT_EQ(regional().shortMonthNames.at(8), "sept."_qs);
    EXPECT_EQ(regional().shortMonthNames.at(11), "déc."_qs);
    const QString september = FormatReport("flowStartSeconds=\"1788788712\" receiverCallsign=\"F5AB\""_qs);
    const QString december = FormatReport("flowStartSeconds=\"1796601600\" receiverCallsign=\"F5AB\""_qs);
    EXPECT_TRUE(september.startsWith("07sept.2026 13:45:12,  F5AB,"_qs)) << september.toStdString();
    EXPECT_TRUE(december.startsWith("07déc.2026,  F5AB,"_qs)) << december.toStdString();
    ASSERT_TRUE(reportInstant(september) && reportInstant(december));
    EXPECT_EQ(*reportInstant(december) - *reportInstant(september), 1796601600 - 1788788712);

    TextLines history;
    history.setLines({september, december});
    sortReportsDescending(history);
    EXPECT_EQ(history.lines(), (QStringList{december, september}));
}

TEST_F(MonthNamesTest, TheProcessNamesFollowItsTimeLocale)
{
    const std::string previous = std::setlocale(LC_TIME, nullptr);
    qputenv("LOCPATH", TAVIK_TEST_LOCALES);
    const bool set = std::setlocale(LC_TIME, "en_GB.UTF-8") != nullptr;
    const QStringList names = platformShortMonthNames();
    const RegionalSettings system = regionalFromSystem();
    std::setlocale(LC_TIME, previous.c_str());
    qunsetenv("LOCPATH");
    if (!set)
        GTEST_SKIP() << "en_GB.UTF-8 could not be made (localedef)";
    ASSERT_EQ(names.size(), 12);
    EXPECT_EQ(names.at(8), "Sep"_qs);
    EXPECT_EQ(system.shortMonthNames, names) << "the program's dates take the platform's names";
}

#endif
