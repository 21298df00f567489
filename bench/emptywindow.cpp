// An empty Qt Widgets window of the program's size, doing nothing: the floor
// against which bench/idle-cost.sh reads the program's idle cost.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Empty window"));
    window.resize(475, 427);
    window.show();
    return app.exec();
}
