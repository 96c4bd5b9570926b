// The baseline: an empty main window of the same client size.
#include <QApplication>
#include <QMainWindow>

#include "FirstPaint.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FirstPaint<QMainWindow> watcher;
    app.installEventFilter(&watcher);
    QMainWindow window;
    window.resize(725, 443);
    window.show();
    return app.exec();
}
