#include "Plumaret.h"
#include "PlumaretApplication.h"

// Takes no arguments; the window reads db.dll from the current folder.
int main(int argc, char *argv[])
{
    // The web panel's engine shares GL contexts with the window; this must be set before the app.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TPlumaretApplication app(argc, argv);
    return RunPlumaret(app);
}
