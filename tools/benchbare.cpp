// benchbare start|memory
// The limit of benchstart: a bare Qt main window with one menu, in a program
// that links nothing but Qt Widgets. Says "painted" after its first paint,
// then (memory) its peak memory, then "built", and ends.
#include "firstpaint.h"

#include <QMenuBar>
#include <QScreen>

#include <cstring>

int main(int argc, char **argv) {
    const bool memory = argc > 1 && std::strcmp(argv[1], "memory") == 0;
    FirstPaint::install([memory](QMainWindow *) {
        if (memory)
            std::printf("vmhwm %ld\n", peakMemoryKb());
        say("built");
        std::_Exit(0);
    });
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("Plik"));
    // The program's window fills the screen: the limit paints as much.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    return QApplication::exec();
}
