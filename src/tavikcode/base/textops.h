#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// Text operations with the conventions the program's file formats rely on:
// positions are 1-based, searches plain and case-sensitive, trimming removes
// blanks and control characters, upper-casing touches a-z only.
namespace textops {

// 1-based position of the first occurrence of needle in haystack, 0 when none.
// An empty needle occurs nowhere.
qsizetype pos(QStringView needle, QStringView haystack);

// Up to count characters of s starting at the 1-based index; empty when the
// index lies past the end.
QString copy(const QString &s, qsizetype index, qsizetype count);

// Removes leading and trailing characters up to and including the blank (code 32).
QString trim(const QString &s);

// Turns the ASCII letters a-z into A-Z and leaves every other character alone.
QString upperAscii(const QString &s);

// The command-line parameters as the program matches its switches: each
// upper-cased (a-z only) and after a blank.
QString switchesText(const QStringList &parameters);

} // namespace textops
