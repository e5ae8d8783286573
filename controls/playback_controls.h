// Playback controls: the action of the pressed button runs when the left button comes up.
#pragma once

void onPointerRelease();
