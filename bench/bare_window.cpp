// The yardstick for the program's start-up: a Qt main window with a menu bar
// and nothing else, built with the same compiler and flags.

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.menuBar()->addMenu(QStringLiteral("&File"));
    window.resize(552, 480);
    window.show();
    return QApplication::exec();
}
