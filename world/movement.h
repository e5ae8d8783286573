// Movement interpolation: one glide step for every soldier and vehicle that has steps left.
// Runs on the movement timer; does nothing while playback is paused.
#pragma once

void movementTick();
