#pragma once

#include <QString>

class QLabel;
class QPushButton;

// What the Reach and Compare windows show of an export: while it runs, the
// button off and "Exporting to FILE..."; once done, the button on again and
// "Exported 12 reports to FILE." (one: "report", many: "reports").
void showExportRunning(QPushButton *button, QLabel *status, const QString &fileName);
void showExportDone(QPushButton *button, QLabel *status, const QString &fileName, qint64 rows, const QString &one,
                    const QString &many);
