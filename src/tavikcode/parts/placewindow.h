#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

class QWidget;
class SettingsStore;

// Places a window of its own (one with the main window as its parent, not
// shown yet) by windowPlacement: on the main window's screen, beside it where
// there is room. wanted and kept are what the window stores: its position
// with the frame, its size without (QWidget::pos() and size()); the frame of
// the main window stands for the new window's, which is not known before it
// is shown.
void placeWindow(QWidget &window, QSize wanted, const std::optional<QRect> &kept);

// The placement kept under four values of a section of the store (left, top,
// width, height); nothing unless all four are there as whole numbers.
std::optional<QRect> keptPlacement(const SettingsStore &store, const QString &section, const QString &left,
                                   const QString &top, const QString &width, const QString &height);
