#include "settingsstore.h"

QString SettingsStore::ReadString(const QString &section, const QString &ident, const QString &fallback) const
{
    return value(section, ident).value_or(fallback);
}

int SettingsStore::ReadInteger(const QString &section, const QString &ident, int fallback) const
{
    const std::optional<QString> text = value(section, ident);
    if (!text)
        return fallback;
    bool ok = false;
    const int number = text->trimmed().toInt(&ok, 10);
    return ok ? number : fallback;
}

bool SettingsStore::ReadBool(const QString &section, const QString &ident, bool fallback) const
{
    return ReadInteger(section, ident, fallback ? 1 : 0) != 0;
}

void SettingsStore::WriteString(const QString &section, const QString &ident, const QString &text)
{
    setValue(section, ident, text);
}

void SettingsStore::WriteInteger(const QString &section, const QString &ident, int number)
{
    setValue(section, ident, QString::number(number));
}

void SettingsStore::WriteBool(const QString &section, const QString &ident, bool flag)
{
    setValue(section, ident, flag ? QStringLiteral("1") : QStringLiteral("0"));
}
