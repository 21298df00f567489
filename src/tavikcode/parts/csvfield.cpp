#include "csvfield.h"

#include <QRegularExpression>

namespace {

bool startsLikeAFormula(const QString &text)
{
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    return first == u'=' || first == u'+' || first == u'-' || first == u'@' || first == u'\t' || first == u'\r';
}

bool isPlainNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("\\A[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\z"));
    return number.match(text).hasMatch();
}

} // namespace

QString csvField(const QString &text)
{
    QString field = startsLikeAFormula(text) && !isPlainNumber(text) ? u'\'' + text : text;
    const bool quote = field.contains(u',') || field.contains(u'"') || field.contains(u'\r') || field.contains(u'\n');
    if (!quote)
        return field;
    field.replace(u'"', QStringLiteral("\"\""));
    return u'"' + field + u'"';
}
