// The pointer and the keys as the backends deliver them: movement, the left button's press and its release, which
// runs the action of the pressed button on the app's playback and view, the wheel, and key presses, which run the
// same actions, ask for a seek, move the camera or ask the window to close or to fill the screen.
#pragma once

#include "controls/keys.h"

// Positions are the window's client pixels; they reach the controls as the frame pixels under them.
void onPointerMove(int x, int y);
void onPointerPress(int x, int y);
void onPointerRelease();
// The wheel turned `notches` notches (positive: away from the user) with the pointer at (x, y): over the map area
// the camera zooms in or out about the map point under the pointer.
void onWheel(int x, int y, int notches);
void onKey(const KeyPress& press);
