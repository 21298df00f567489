#pragma once

#include <QString>

#include <memory>
#include <optional>

// The per-user store of the program's settings: sections holding named text
// values. On Windows it is the registry under HKEY_CURRENT_USER\Software;
// elsewhere an INI file. Tests use a store of their own.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    // The stored text, or nothing when the section or value is missing.
    // A value that is not text throws "Invalid data type for '<ident>'".
    virtual std::optional<QString> value(const QString &section, const QString &ident) const = 0;
    // Throws "Failed to create key <section>" or "Failed to set data for '<ident>'".
    virtual void setValue(const QString &section, const QString &ident, const QString &text) = 0;
    // A missing section or value is not an error.
    virtual void deleteValue(const QString &section, const QString &ident) = 0;

    QString ReadString(const QString &section, const QString &ident, const QString &fallback) const;
    // Decimal text; a text that is not a whole number gives the fallback.
    int ReadInteger(const QString &section, const QString &ident, int fallback) const;
    // True when the stored integer is not 0.
    bool ReadBool(const QString &section, const QString &ident, bool fallback) const;

    void WriteString(const QString &section, const QString &ident, const QString &text);
    void WriteInteger(const QString &section, const QString &ident, int number);
    void WriteBool(const QString &section, const QString &ident, bool flag);
};

// An INI file with one [section] per section and every value a string.
std::unique_ptr<SettingsStore> openIniSettingsStore(const QString &fileName);

// The store of the platform: the registry on Windows, else Orlix.ini in the
// user's configuration folder ($XDG_CONFIG_HOME, else ~/.config).
std::unique_ptr<SettingsStore> openPlatformSettingsStore();
