// The installed hooks of the world layer, one set a thread; empty until the app installs its own.
#include "world/world_hooks.h"

thread_local WorldHooks worldHooks;
