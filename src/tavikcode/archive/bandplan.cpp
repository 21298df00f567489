#include "bandplan.h"

#include <iterator>

namespace {

struct PlanBand
{
    const char16_t *name;
    qint64 lowHz;
    qint64 highHz;
};

// The widest edges any region allocates (as the ADIF band table lists them).
constexpr PlanBand kPlan[] = {
    {u"2200m", 135'700, 137'800},
    {u"630m", 472'000, 479'000},
    {u"160m", 1'800'000, 2'000'000},
    {u"80m", 3'500'000, 4'000'000},
    {u"60m", 5'060'000, 5'450'000},
    {u"40m", 7'000'000, 7'300'000},
    {u"30m", 10'100'000, 10'150'000},
    {u"20m", 14'000'000, 14'350'000},
    {u"17m", 18'068'000, 18'168'000},
    {u"15m", 21'000'000, 21'450'000},
    {u"12m", 24'890'000, 24'990'000},
    {u"10m", 28'000'000, 29'700'000},
    {u"8m", 40'000'000, 45'000'000},
    {u"6m", 50'000'000, 54'000'000},
    {u"5m", 54'000'001, 69'900'000},
    {u"4m", 70'000'000, 71'000'000},
    {u"2m", 144'000'000, 148'000'000},
    {u"1.25m", 222'000'000, 225'000'000},
    {u"70cm", 420'000'000, 450'000'000},
    {u"33cm", 902'000'000, 928'000'000},
    {u"23cm", 1'240'000'000, 1'300'000'000},
    {u"13cm", 2'300'000'000, 2'450'000'000},
    {u"9cm", 3'300'000'000, 3'500'000'000},
    {u"6cm", 5'650'000'000, 5'925'000'000},
    {u"3cm", 10'000'000'000, 10'500'000'000},
};
constexpr int kPlanSize = int(std::size(kPlan));

} // namespace

QString bandOfFrequency(qint64 hertz)
{
    // The names are shared, not made anew: the archive names every report.
    for (int i = 0; i < kPlanSize; ++i) {
        if (hertz >= kPlan[i].lowHz && hertz <= kPlan[i].highHz)
            return bandPlanNames().at(i);
    }
    return kOtherBand;
}

const QStringList &bandPlanNames()
{
    static const QStringList names = [] {
        QStringList list;
        for (const PlanBand &band : kPlan)
            list << QString::fromUtf16(band.name);
        return list;
    }();
    return names;
}

int bandPlanRank(QStringView band)
{
    for (int i = 0; i < kPlanSize; ++i) {
        if (band == QStringView(kPlan[i].name))
            return i;
    }
    return band == kOtherBand ? kPlanSize : kPlanSize + 1;
}

bool bandPlanBefore(QStringView a, QStringView b)
{
    const int ra = bandPlanRank(a);
    const int rb = bandPlanRank(b);
    return ra != rb ? ra < rb : a < b;
}

std::optional<BandEdges> bandPlanEdges(QStringView band)
{
    const int rank = bandPlanRank(band);
    if (rank >= kPlanSize)
        return std::nullopt;
    return BandEdges{kPlan[rank].lowHz, kPlan[rank].highHz};
}

QString frequencyText(qint64 hertz)
{
    // Kilohertz below 1 MHz, megahertz above, to the hertz without trailing zeros.
    const bool kilo = hertz > -1'000'000 && hertz < 1'000'000;
    QString text = QString::number(double(hertz) / (kilo ? 1e3 : 1e6), 'f', kilo ? 3 : 6);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text += u'0';
    return text + (kilo ? QStringLiteral(" kHz") : QStringLiteral(" MHz"));
}
