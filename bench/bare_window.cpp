// The start-up floor: a bare Qt 6 main window, timed by the same probe as the editor.
#include "app/StartupProbe.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(640, 480);
    window.show();
    StartupProbe::reportWhenIdle(window);
    return QApplication::exec();
}
