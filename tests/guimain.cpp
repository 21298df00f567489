#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Alerts raised by the tests never reach the desktop's notification service.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tavik-tests-bus");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TavikRepView"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
