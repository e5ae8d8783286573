// TODO
#include "controls/playback_controls.h"

void onPointerRelease() {}
