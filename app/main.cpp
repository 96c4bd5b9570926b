#include "Plumaret.h"
#include "PlumaretApplication.h"
#include "StorePreload.h"
#include "uDataBase.h"

#include <QThread>

// Takes no arguments; the window reads db.dll from the current folder.
int main(int argc, char *argv[])
{
    // The web panel's engine shares GL contexts with the window; this must be set before the app.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Qt takes the first thread that uses its objects for the main thread: this one, not the reader's.
    QThread::currentThread();
    // Read beside the window's construction, and first of all: the reader forks, which costs least
    // while the program is still small. Connect in FormShow takes the result.
    TStorePreload phraseBook(QString::fromLatin1(DatabaseFileName));
    TPlumaretApplication app(argc, argv);
    return RunPlumaret(app);
}
