// The program's own start-up path (single instance, window, database, lists) up to the first paint.
#include "FirstPaint.h"
#include "Plumaret.h"
#include "PlumaretApplication.h"
#include "StorePreload.h"
#include "uDataBase.h"
#include "uFrmMain.h"

#include <QThread>

int main(int argc, char *argv[])
{
    QThread::currentThread();
    TStorePreload phraseBook(QString::fromLatin1(DatabaseFileName));
    TPlumaretApplication app(argc, argv);
    FirstPaint<TfrmMain> watcher;
    app.installEventFilter(&watcher);
    return RunPlumaret(app);
}
