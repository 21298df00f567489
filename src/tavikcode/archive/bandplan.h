#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The amateur bands as the archive, the Reach window and everything built
// on the archive name them: from the frequency in hertz, by the widest edges
// any region allocates (both ends included). The history files keep their
// own whole-megahertz table (FrequencyToBand); this is the one table of the
// band plan.

// The band of a frequency; "Other" outside every band.
QString bandOfFrequency(qint64 hertz);

// The name of frequencies outside every band.
inline const QString kOtherBand = QStringLiteral("Other");

// The bands in order, from "2200m" up to "3cm".
const QStringList &bandPlanNames();

// A band's place in band order: 0 for "2200m" up to the last for "3cm", then
// "Other", then any other name (such as a band text read back from an old
// report history without a frequency).
int bandPlanRank(QStringView band);

// Band order, then the names outside the plan by their text; true when a
// comes before b.
bool bandPlanBefore(QStringView a, QStringView b);

// The edges of a band of the plan, in hertz; nothing for another name.
struct BandEdges
{
    qint64 lowHz = 0;
    qint64 highHz = 0;
};
std::optional<BandEdges> bandPlanEdges(QStringView band);

// "14.074 MHz", "136.0 kHz": a frequency as an operator reads it, for
// telling where an "Other" report was heard.
QString frequencyText(qint64 hertz);
