// The shell's part in the core: a frame is composed on every paint unless one is under way,
// and every timer is routed to its handler.
#include "app/shell.h"

#include "app/globals.h"
#include "app/playback.h"
#include "view/frame.h"
#include "world/movement.h"

void composeFrame()
{
    if (!g.composeReady)
        return;
    g.composeReady = 0;
    renderFrame(backBufferDC());
}

void repaintTick()
{
    repaintWindow();
}

void onTimer(TimerId id)
{
    switch (id) {
    case playbackTimer:
        playbackStep();
        break;
    case movementTimer:
        movementTick();
        break;
    case repaintTimer:
        repaintTick();
        break;
    }
}
