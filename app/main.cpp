#include "Plumaret.h"
#include "PlumaretApplication.h"

// Takes no arguments; the window reads db.dll from the current folder.
int main(int argc, char *argv[])
{
    TPlumaretApplication app(argc, argv);
    return RunPlumaret(app);
}
