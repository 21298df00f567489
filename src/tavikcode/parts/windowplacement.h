#pragma once

#include <QList>
#include <QRect>
#include <QSize>

#include <optional>

// Where a window of its own (Reach, Compare) opens: on the screen of the main
// window, at a size that fits that screen's available geometry, beside the
// main window rather than over it where there is room; the placement kept
// from last time only while it still lies on a screen. Every rectangle is an
// outer one (frame included), in the desktop's logical coordinates.
struct WindowPlacementInput
{
    QList<QRect> screens;       // available geometry of every screen, the primary first
    QRect mainWindow;           // the main window; empty: there is none
    QSize wanted;               // the window's default size
    QSize minimum;              // the smallest it may be
    std::optional<QRect> kept;  // kept from last time
};

// A kept rectangle counts while the screen holding most of it holds at least
// half of it and its top edge (the title bar); it is then shrunk to that
// screen where it is larger, else taken as it is.
QRect windowPlacement(const WindowPlacementInput &input);
