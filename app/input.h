// The pointer and the keys as the backends deliver them: movement, the left button's press and its release, which
// runs the action of the pressed button on the app's playback and view, and key presses, which run the same
// actions, ask for a seek or ask the window to close or to fill the screen.
#pragma once

#include "controls/keys.h"

// Positions are the window's client pixels; they reach the controls as the frame pixels under them.
void onPointerMove(int x, int y);
void onPointerPress(int x, int y);
void onPointerRelease();
void onKey(const KeyPress& press);
