#include "windowplacement.h"

#include <algorithm>

namespace {

constexpr int kGap = 8; // between the main window and this one

qint64 area(const QRect &r)
{
    return r.isEmpty() ? 0 : qint64(r.width()) * r.height();
}

// The screen holding most of a rectangle; none when no screen holds any of it.
std::optional<QRect> screenOf(const QList<QRect> &screens, const QRect &r)
{
    std::optional<QRect> best;
    qint64 most = 0;
    for (const QRect &screen : screens) {
        if (const qint64 shared = area(screen.intersected(r)); shared > most) {
            most = shared;
            best = screen;
        }
    }
    return best;
}

// A coordinate that puts an extent of length within [low, high) where it fits, else at low.
int within(int at, int length, int low, int high)
{
    return std::max(low, std::min(at, high - length));
}

std::optional<QRect> keptPlace(const QList<QRect> &screens, const QRect &kept)
{
    const std::optional<QRect> screen = screenOf(screens, kept);
    if (!screen || 2 * area(screen->intersected(kept)) < area(kept) || kept.top() < screen->top()
        || kept.top() > screen->bottom())
        return std::nullopt;
    QRect place = kept;
    // Larger than the screen: as large as it, from its edge.
    if (kept.width() > screen->width())
        place.setRect(screen->left(), place.top(), screen->width(), place.height());
    if (kept.height() > screen->height())
        place.setRect(place.left(), screen->top(), place.width(), screen->height());
    return place;
}

} // namespace

QRect windowPlacement(const WindowPlacementInput &input)
{
    if (input.kept && input.kept->isValid()) {
        if (const std::optional<QRect> place = keptPlace(input.screens, *input.kept))
            return *place;
    }
    if (input.screens.isEmpty())
        return {QPoint(120, 120), input.wanted};

    const QRect &main = input.mainWindow;
    const QRect screen = main.isEmpty() ? input.screens.first()
                                        : screenOf(input.screens, main).value_or(input.screens.first());
    const QSize size = input.wanted.boundedTo(screen.size());
    if (main.isEmpty() || !screen.intersects(main)) {
        return {QPoint(screen.x() + (screen.width() - size.width()) / 2,
                       screen.y() + (screen.height() - size.height()) / 2),
                size};
    }

    // The room on each side of the main window, within the screen.
    const int right = screen.x() + screen.width() - (main.x() + main.width() + kGap);
    const int left = main.x() - kGap - screen.x();
    const int below = screen.y() + screen.height() - (main.y() + main.height() + kGap);
    const int above = main.y() - kGap - screen.y();
    const int beside = within(main.y(), size.height(), screen.y(), screen.y() + screen.height());
    const int under = within(main.x(), size.width(), screen.x(), screen.x() + screen.width());
    struct Side
    {
        int room;
        bool across; // left or right of it: the room is a width
    };
    const Side sides[] = {{right, true}, {left, true}, {below, false}, {above, false}};
    const auto placeAt = [&](int side, QSize s) -> QRect {
        switch (side) {
        case 0: return {QPoint(main.x() + main.width() + kGap, beside), s};
        case 1: return {QPoint(main.x() - kGap - s.width(), beside), s};
        case 2: return {QPoint(under, main.y() + main.height() + kGap), s};
        default: return {QPoint(under, main.y() - kGap - s.height()), s};
        }
    };

    // The whole size beside it; else the largest that is no smaller than the
    // minimum; else over it, on the side with more room.
    for (int i = 0; i < 4; ++i) {
        if (sides[i].room >= (sides[i].across ? size.width() : size.height()))
            return placeAt(i, size);
    }
    std::optional<QRect> best;
    for (int i = 0; i < 4; ++i) {
        const QSize s = sides[i].across ? QSize(sides[i].room, size.height()) : QSize(size.width(), sides[i].room);
        if (s.width() >= input.minimum.width() && s.height() >= input.minimum.height()
            && (!best || area(QRect(QPoint(), s)) > area(*best)))
            best = placeAt(i, s);
    }
    if (best)
        return *best;
    const int x = right >= left ? screen.x() + screen.width() - size.width() : screen.x();
    return {QPoint(x, beside), size};
}
