#include "alertstate.h"

namespace {

// Each rule's stored form and the name the Alerts window shows.
struct RuleNames
{
    AlertRule rule;
    const char16_t *key;
    const char16_t *name;
};

constexpr RuleNames kRules[] = {
    {AlertRule::NewEntity, u"entity", u"New DXCC entity"},
    {AlertRule::EntityOnBand, u"entity-band", u"New DXCC entity on a band"},
    {AlertRule::DistanceRecord, u"record", u"Distance record"},
    {AlertRule::BandOpening, u"opening", u"Band opening"},
    {AlertRule::WatchedStation, u"watched", u"Watched station"},
    {AlertRule::Silence, u"silence", u"Silence"},
    {AlertRule::FirstLook, u"first", u"First look"},
    {AlertRule::Unheard, u"unheard", u"Nobody heard"},
};

} // namespace

QString ruleKey(AlertRule rule)
{
    for (const RuleNames &r : kRules) {
        if (r.rule == rule)
            return QString::fromUtf16(r.key);
    }
    return {};
}

QString ruleName(AlertRule rule)
{
    for (const RuleNames &r : kRules) {
        if (r.rule == rule)
            return QString::fromUtf16(r.name);
    }
    return {};
}

std::optional<AlertRule> ruleFromKey(const QString &key)
{
    for (const RuleNames &r : kRules) {
        if (key == QStringView(r.key))
            return r.rule;
    }
    return std::nullopt;
}

// A line break never comes in network text (answers are split into lines),
// so it parts the keys' fields unambiguously.
QString entityBandKey(const QString &band, const QString &entity)
{
    return band + u'\n' + entity;
}

QString recentKey(AlertRule rule, const QString &band, const QString &subject)
{
    return ruleKey(rule) + u'\n' + band + u'\n' + subject;
}
