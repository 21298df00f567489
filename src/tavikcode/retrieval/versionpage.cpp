#include "versionpage.h"

#include "base/textops.h"

namespace versionpage {

QString ExtractField(const QString &text, QChar delimiter, int n)
{
    QString s = text;
    QString field;
    int i = 1;
    qsizetype p = s.size();
    while (i <= n && p != 0) {
        p = s.indexOf(delimiter) + 1;
        if (p != 0) {
            field = s.left(p - 1);
            s.remove(0, p);
            ++i;
        } else {
            field = s;
        }
    }
    return i < n ? QString() : field;
}

namespace {
QString afterFirstColon(const QString &field, qsizetype window)
{
    const qsizetype colon = textops::pos(u":", field);
    return textops::trim(textops::copy(field, colon + 1, window));
}
} // namespace

QString latestVersion(const QString &pageLine)
{
    return afterFirstColon(ExtractField(pageLine, u',', 1), 20);
}

QString latestBuild(const QString &pageLine)
{
    return afterFirstColon(ExtractField(pageLine, u',', 2), 30);
}

QString versionLine(const QString &versionText, const QString &buildStamp)
{
    return QStringLiteral("TavikRepView Version: ") + versionText + QStringLiteral(", Build: ") + buildStamp;
}

QString BuildTail(const QString &versionText)
{
    const QString last = textops::trim(versionText.right(4));
    const qsizetype dot = textops::pos(u".", last);
    return textops::trim(textops::copy(last, dot + 1, 3));
}

QString noticeText(const QString &siteName, const QString &versionText, const QString &buildStamp,
                   const QString &pageLine)
{
    const QChar cr(u'\r');
    return QStringLiteral("A later version of this software is available for download from ") + siteName
        + QStringLiteral(". ") + cr + cr + QStringLiteral("YOUR version is: ") + cr + versionLine(versionText, buildStamp)
        + cr + QStringLiteral("while the website LATEST version detail is: ") + cr + pageLine + QStringLiteral(". ")
        + cr + cr + QStringLiteral("Use the bold link in red at the bottom of the main program to download. ") + cr
        + QStringLiteral("Close this software before installing.");
}

} // namespace versionpage
