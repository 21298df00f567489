#include "followband.h"

#include <QCheckBox>

QCheckBox *createFollowBandBox(QWidget *parent)
{
    auto *box = new QCheckBox(QStringLiteral("Follow WSJT-X's band"), parent);
    box->setObjectName(QStringLiteral("followBandBox"));
    followLiveBand(box, QString(), QString());
    return box;
}

bool followLiveBand(QCheckBox *box, const QString &band, const QString &shown)
{
    box->setEnabled(!band.isEmpty());
    box->setToolTip(band.isEmpty() ? QStringLiteral("No digital-mode program heard: its band is not known")
                                   : QStringLiteral("Show the band WSJT-X is on, %1, as it changes").arg(band));
    return box->isChecked() && !band.isEmpty() && band != shown;
}
