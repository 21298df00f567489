#pragma once

#include <QString>
#include <QtGlobal>

// The stand-in's random numbers: the same for the same seed on every machine,
// so a generated answer depends only on its arguments.
namespace splitmix {

// SplitMix64: small, fast and the same everywhere.
inline quint64 mix(quint64 x)
{
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

inline quint64 seedOf(const QString &text)
{
    quint64 h = 0xCBF29CE484222325ULL; // FNV-1a
    for (const char c : text.toUtf8()) {
        h ^= quint8(c);
        h *= 0x100000001B3ULL;
    }
    return h;
}

class Random
{
public:
    explicit Random(quint64 seed)
        : m_state(seed)
    {
    }
    // A number from 0 to n - 1.
    qint64 below(qint64 n) { return qint64((m_state = mix(m_state)) % quint64(n)); }
    // A number from 0 up to but not including 1.
    double unit() { return double((m_state = mix(m_state)) >> 11) * 0x1.0p-53; }
    bool chance(double p) { return unit() < p; }

private:
    quint64 m_state;
};

} // namespace splitmix
