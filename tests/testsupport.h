#pragma once

#include "base/clock.h"
#include "base/regional.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

// Defined in a build under AddressSanitizer, whose runs take several times as long.
#if defined(__SANITIZE_ADDRESS__)
#define TAVIK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAVIK_ASAN 1
#endif
#endif

// Every test runs in a temporary working folder of its own, with English
// regional settings and a clock it sets itself.
class InTempFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
        setRegional(regionalFromLocale(QLocale::c()));
    }
    void TearDown() override
    {
        QDir::setCurrent(m_previous);
        Clock::reset();
        setRegional(regionalFromLocale(QLocale::c()));
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    static void writeBytes(const QString &name, const QByteArray &bytes)
    {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray readBytes(const QString &name)
    {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Lets GoogleTest print texts readably in its failure messages.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

inline QString operator""_qs(const char *s, size_t n)
{
    return QString::fromUtf8(s, qsizetype(n));
}
