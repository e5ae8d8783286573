// The single instance of the global state record.
// Its construction makes the four lists empty before any window exists.
#include "app/globals.h"

Globals g;

void resetGlobals()
{
    g = Globals{};
}
