// The program's own start-up path (single instance, window, database, lists) up to the first paint.
#include "FirstPaint.h"
#include "Plumaret.h"
#include "PlumaretApplication.h"
#include "uFrmMain.h"

int main(int argc, char *argv[])
{
    TPlumaretApplication app(argc, argv);
    FirstPaint<TfrmMain> watcher;
    app.installEventFilter(&watcher);
    return RunPlumaret(app);
}
