// A Wayland client for the tests: one top-level Qt window, nothing else, until it is killed.
//
//   gridlume_wayland_test_window      (run with QT_QPA_PLATFORM=wayland)
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Gridlume Wayland test window"));
    window.resize(480, 360);
    window.show();
    return application.exec();
}
