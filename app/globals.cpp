// The single instance of the global state record.
// Its construction makes the four lists empty before any window exists.
#include "app/globals.h"

#include "view/picture_cache.h"

Globals g;

void resetGlobals()
{
    g = Globals{};
    iconCache.clear();  // decoded icons go with the rest of the state, while GDI+ still runs
}
