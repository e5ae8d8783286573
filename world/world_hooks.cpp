// The installed hooks of the world layer; empty until the app installs its own.
#include "world/world_hooks.h"

WorldHooks worldHooks;
