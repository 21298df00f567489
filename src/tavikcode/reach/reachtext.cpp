#include "reachtext.h"

#include "archive/bandplan.h"

QString snrText(const std::optional<int> &snr)
{
    return snr ? QString::number(*snr) + QStringLiteral(" dB") : QString();
}

QString frequencyRangeText(const FrequencyRange &range)
{
    if (range.lowHz == range.highHz)
        return frequencyText(range.lowHz);
    return frequencyText(range.lowHz) + QStringLiteral(" to ") + frequencyText(range.highHz);
}
