#pragma once

#include <QString>

class QCheckBox;
class QWidget;

// The Reach and Compare windows' "Follow WSJT-X's band" check box: enabled
// while the digital-mode program's band is known.
QCheckBox *createFollowBandBox(QWidget *parent);

// Tells the box the program's band (empty: none heard); returns whether the
// window should show that band now (checked, known, and not shown already).
bool followLiveBand(QCheckBox *box, const QString &band, const QString &shown);
