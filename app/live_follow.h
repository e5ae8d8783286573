// Following a log that is still being written: turning it on and off (--follow, the key L), the watch timer's look
// at the file every 250 ms (growth, a file cut short or replaced, a file gone), and where the live edge is.
// The step function waits at the file's end while its reader follows (world/log_step.h); this is the app's part.
#pragma once

#include "world/log_growth.h"

// The watch timer's period: the file's size is looked at no more often than this while following.
constexpr std::int32_t followCheckMs = 250;
// Looks without growth after which a last line without its line feed is taken as it stands: 5 s.
constexpr int partialLineChecks = 20;

struct LiveFollow {
    bool following = false;
    LogFileLook look;  // the file as the last look that found it there saw it
    bool wentMissing = false;  // a look found no file since then
    int quietChecks = 0;  // looks since the file last grew
    std::int64_t waitingSinceMs = 0;  // when playback last began to wait at the file's end, on the steady clock
};

// Turns following of the open log on or off. On, playback waits at the file's end for the next whole line; off
// there, the data ends as it does without following ("No more data").
void setFollowing(bool following);
// Looks at the followed file (the watch timer): growth wakes the index and playback waiting at the edge; a file cut
// short or replaced is opened afresh from its start. True when the look found something new.
bool checkFollowedLog();
// Playback has applied the newest whole line and waits for the next one to be written.
bool waitingAtLiveEdge();
// End: to the newest whole line the index has found, played from there with the writer (1x).
void seekToLiveEdge();
