#include "textops.h"

namespace textops {

qsizetype pos(QStringView needle, QStringView haystack)
{
    if (needle.isEmpty())
        return 0;
    return haystack.indexOf(needle, 0, Qt::CaseSensitive) + 1;
}

QString copy(const QString &s, qsizetype index, qsizetype count)
{
    if (index < 1)
        index = 1;
    if (count <= 0 || index > s.size())
        return {};
    return s.mid(index - 1, count);
}

QString trim(const QString &s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && s.at(end - 1).unicode() <= 32)
        --end;
    return s.mid(begin, end - begin);
}

QString upperAscii(const QString &s)
{
    QString result = s;
    for (QChar &c : result) {
        const char16_t u = c.unicode();
        if (u >= u'a' && u <= u'z')
            c = QChar(char16_t(u - 32));
    }
    return result;
}

QString switchesText(const QStringList &parameters)
{
    QString text;
    for (const QString &parameter : parameters)
        text += u' ' + upperAscii(parameter);
    return text;
}

} // namespace textops
