#include "exportstatus.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>

void showExportRunning(QPushButton *button, QLabel *status, const QString &fileName)
{
    button->setEnabled(false);
    status->setText(QStringLiteral("Exporting to ") + QDir::toNativeSeparators(fileName) + QStringLiteral("..."));
}

void showExportDone(QPushButton *button, QLabel *status, const QString &fileName, qint64 rows, const QString &one,
                    const QString &many)
{
    button->setEnabled(true);
    status->setText(QStringLiteral("Exported %1 %2 to %3.")
                        .arg(rows)
                        .arg(rows == 1 ? one : many, QDir::toNativeSeparators(fileName)));
}
