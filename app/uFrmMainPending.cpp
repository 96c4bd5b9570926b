// Routines of the window that belong to other areas and have not landed yet. Each area moves its
// routine into its own app/uFrmMain<Area>.cpp and deletes it here; until then the window calls them
// in the order start-up needs and they do nothing.
#include "uFrmMain.h"
