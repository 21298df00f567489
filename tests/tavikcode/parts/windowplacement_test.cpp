#include "parts/windowplacement.h"

#include "../../testsupport.h"

// Found by argument lookup: QRect lives in the global namespace.
static std::ostream &operator<<(std::ostream &os, const QRect &r)
{
    return os << r.x() << ',' << r.y() << ' ' << r.width() << 'x' << r.height();
}

namespace {
const QSize kReachWanted(960, 700), kReachMinimum(640, 480);
const QRect kMainWindow(342, 128, 430, 480); // the main window where it opens first
} // namespace

TEST(WindowPlacement, BesideTheMainWindowWhereThereIsRoomAndAlwaysOnItsScreen)
{
    struct Case
    {
        const char *what;
        QList<QRect> screens;
        QRect main;
        std::optional<QRect> kept;
        QRect expected;
    };
    const QRect fullHd(0, 0, 1920, 1040), laptop(0, 0, 1280, 680);
    const Case cases[] = {
        {"1920 x 1080: to the right", {fullHd}, kMainWindow, {}, QRect(780, 128, 960, 700)},
        {"1600 x 1200 at 200 %: as large as the screen, over it", {QRect(0, 0, 800, 570)}, kMainWindow, {},
         QRect(0, 0, 800, 570)},
        {"1920 x 1080 at 150 %: no room beside, over it toward the wider side", {laptop}, kMainWindow, {},
         QRect(320, 0, 960, 680)},
        {"1366 x 768: beside, narrower", {QRect(0, 0, 1366, 728)}, QRect(0, 0, 430, 480), {},
         QRect(438, 0, 928, 700)},
        {"main window at the right edge: to the left", {fullHd}, QRect(1400, 100, 430, 480), {},
         QRect(432, 100, 960, 700)},
        {"a wide main window: below it", {fullHd}, QRect(0, 0, 1900, 300), {}, QRect(0, 308, 960, 700)},
        {"low on the screen: moved up to fit", {fullHd}, QRect(0, 800, 430, 200), {}, QRect(438, 340, 960, 700)},
        {"on the main window's screen", {fullHd, QRect(1920, 0, 1920, 1040)}, QRect(2000, 100, 430, 480), {},
         QRect(2438, 100, 960, 700)},
        {"no main window: in the middle", {fullHd}, QRect(), {}, QRect(480, 170, 960, 700)},
        {"kept: taken as it is", {fullHd}, kMainWindow, QRect(100, 90, 800, 600), QRect(100, 90, 800, 600)},
        {"kept, mostly on the screen", {QRect(0, 0, 800, 600)}, kMainWindow, QRect(150, 130, 700, 520),
         QRect(150, 130, 700, 520)},
        {"kept on a screen that is gone", {fullHd}, kMainWindow, QRect(2500, 100, 800, 600), QRect(780, 128, 960, 700)},
        {"kept, less than half on a screen", {fullHd}, kMainWindow, QRect(1500, 100, 960, 700), QRect(780, 128, 960, 700)},
        {"kept, its title bar above the screen", {fullHd}, kMainWindow, QRect(100, -40, 800, 600),
         QRect(780, 128, 960, 700)},
        {"kept, a little larger than the screen: as large as it", {laptop}, kMainWindow, QRect(-50, 0, 1330, 690),
         QRect(0, 0, 1280, 680)},
        {"kept on the second screen", {fullHd, QRect(1920, 0, 1920, 1040)}, kMainWindow, QRect(2000, 50, 900, 700),
         QRect(2000, 50, 900, 700)},
    };
    for (const Case &c : cases) {
        const QRect placed = windowPlacement({c.screens, c.main, kReachWanted, kReachMinimum, c.kept});
        EXPECT_EQ(placed, c.expected) << c.what;
    }
}
