#pragma once

#include <QChar>
#include <QString>

// Reading the maker's version page and the texts of the update notice.
namespace versionpage {

// The n-th field (1-based) of a delimited text: with at least n - 1
// delimiters the field, the last one being everything after the last
// delimiter; with fewer, or for an empty text, empty.
QString ExtractField(const QString &text, QChar delimiter, int n);

// The version and build of a page line in the program's own form,
// "TavikRepView Version: 1.0.0.28, Build: 02Jan2027 09:15:40": the up to 20
// (version) or 30 (build) characters after the first ":" of the first or
// second comma field, trimmed.
QString latestVersion(const QString &pageLine);
QString latestBuild(const QString &pageLine);

// The line of TavikRepVersion.htm.
QString versionLine(const QString &versionText, const QString &buildStamp);

// The tail of the version text whose change clears the history once: of its
// last four characters, the up to three after the first "." (1.0.0.27 gives
// 27, 1.2.3.4 gives 3.4, 1.0.0.1234 gives 123).
QString BuildTail(const QString &versionText);

// The text of the "Update available" box; CR is its only line break.
QString noticeText(const QString &siteName, const QString &versionText, const QString &buildStamp,
                   const QString &pageLine);

} // namespace versionpage
