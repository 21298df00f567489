#include "monthnames.h"

#ifdef Q_OS_WIN

#include <qt_windows.h>

QStringList platformShortMonthNames()
{
    QStringList names;
    for (int n = 0; n < 12; ++n) {
        wchar_t name[80];
        const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SABBREVMONTHNAME1 + n, name, 80);
        if (length <= 1)
            return {};
        names << QString::fromWCharArray(name, length - 1);
    }
    return names;
}

#endif
