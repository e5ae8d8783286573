// The pointer as the backends deliver it: movement, the left button's press and its release, which runs the
// action of the pressed button on the app's playback and view.
#pragma once

void onPointerMove(int x, int y);
void onPointerPress(int x, int y);
void onPointerRelease();
