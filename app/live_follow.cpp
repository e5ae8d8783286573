// The app's part in following a growing log: every reader of the open log (playback, the trail, a seek, the index)
// follows the file or stops, the watch timer looks at it, and a replaced file is opened afresh.
// Relies on app/playback.h and app/seek.h, the step function's following cursors and the seam's timers.
#include "app/live_follow.h"

#include "app/playback.h"
#include "app/seek.h"
#include "app/timers.h"
#include "app/viewer.h"
#include "seam/platform.h"

namespace {

// Playback that waits for nothing but a line (the end of data, the file's end) takes its next step now, keeping its
// pace: a line that came is applied when due, and one that did not leaves playback waiting or ends the data.
void stepIfWaiting()
{
    const Playback& playback = app::viewer().playback;
    if (!playback.playbackPaused && !playback.seek && !playback.linesTimed && playback.log.reader)
        timeCurrentLine();
}

// A last line still without its line feed after a while is taken as it stands.
void takePartialLines()
{
    Playback& playback = app::viewer().playback;
    if (playback.live.quietChecks == partialLineChecks && playback.index)
        playback.index->fileGrew(true);
    const LogCursor& log = playback.log;
    if (!log.waitingForLine || log.reader->offset() == log.reader->lineStart())
        return;
    playback.log.reader->takePartialLine();
    if (playback.trail && playback.trail->log.reader)
        playback.trail->log.reader->takePartialLine();
    stepIfWaiting();
}

}  // namespace

void setFollowing(bool following)
{
    Playback& playback = app::viewer().playback;
    if (!playback.log.reader || playback.live.following == following)
        return;
    playback.live = LiveFollow{following, lookAtFile(playback.logPath)};
    setFollowing(playback.log, following);
    if (playback.trail) {
        setFollowing(playback.trail->log, following);
        playback.trail->ended = playback.trail->ended && !following;
    }
    if (playback.seek)
        setFollowing(playback.seek->at.log, following);
    if (playback.index) {
        // A scan that has ended is started again, following: scanning costs far less than playing.
        if (following && playback.index->view()->complete)
            startIndex(playback.logPath);
        else
            playback.index->setFollowing(following);
    }
    if (following)
        armTimer(followTimer, followCheckMs);
    else
        stopTimer(followTimer);
    stepIfWaiting();
}

bool checkFollowedLog()
{
    Playback& playback = app::viewer().playback;
    LiveFollow& live = playback.live;
    if (!live.following || !playback.log.reader)
        return false;
    const LogFileLook now = lookAtFile(playback.logPath);
    LogChange change = logChange(live.look, now);
    if (change == LogChange::missing) {
        live.wentMissing = true;
        return false;
    }
    if (live.wentMissing)
        change = LogChange::replaced;
    switch (change) {
    case LogChange::replaced: {
        const std::string path = playback.logPath;
        reportProblem("kelo: " + path + " was cut short or replaced: reading it again from its start");
        openReplayLog(path, true);
        return true;
    }
    case LogChange::grew:
        live.look = now;
        live.quietChecks = 0;
        if (playback.index)
            playback.index->fileGrew();
        stepIfWaiting();
        return true;
    case LogChange::none:
    case LogChange::missing:
        break;
    }
    if (++live.quietChecks >= partialLineChecks)
        takePartialLines();
    return false;
}

bool waitingAtLiveEdge()
{
    const Playback& playback = app::viewer().playback;
    return playback.live.following && playback.log.reader && playback.log.waitingForLine && !playback.linesTimed
        && !playback.seek;
}

void seekToLiveEdge()
{
    if (!app::viewer().playback.live.following)
        return;
    setSpeed(1000);
    seekTo(indexView()->scannedS);
}
