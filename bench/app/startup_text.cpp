// The second baseline: the bare window with one line of Chinese text in the program's font, the
// least any window showing Chinese pays for fonts before its first paint.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#include "FirstPaint.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FirstPaint<QMainWindow> watcher;
    app.installEventFilter(&watcher);
    QMainWindow window;
    // What the program's "宋体" is served by; named directly so that only Qt is linked.
    QFont font(QStringLiteral("AR PL UMing CN"));
    font.setPixelSize(12);
    window.setFont(font);
    auto *label = new QLabel(QStringLiteral("你的名字 对方名字 开始书写"), &window);
    label->move(10, 10);
    label->adjustSize(); // measured before the first paint, as the window's labels are
    window.resize(725, 443);
    window.show();
    return app.exec();
}
