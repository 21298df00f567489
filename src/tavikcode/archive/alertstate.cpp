#include "alertstate.h"

namespace {

struct StoredRule
{
    AlertRule rule;
    const char16_t *key;
};

constexpr StoredRule kStoredRules[] = {
    {AlertRule::NewEntity, u"entity"},
    {AlertRule::EntityOnBand, u"entity-band"},
    {AlertRule::DistanceRecord, u"record"},
    {AlertRule::BandOpening, u"opening"},
    {AlertRule::WatchedStation, u"watched"},
    {AlertRule::Silence, u"silence"},
    {AlertRule::FirstLook, u"first"},
};

} // namespace

QString ruleKey(AlertRule rule)
{
    for (const StoredRule &r : kStoredRules) {
        if (r.rule == rule)
            return QString::fromUtf16(r.key);
    }
    return {};
}

std::optional<AlertRule> ruleFromKey(const QString &key)
{
    for (const StoredRule &r : kStoredRules) {
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
