// Where picture files are decoded: on the thread that asks, which waits for them (kelo-render and the tests: every
// frame shows what its pictures give, the same on every run), or aside, on a thread of their own, while the window's
// thread goes on answering (the viewers). Relies on std::thread; a GDI+ object is never used by two threads at once:
// it belongs to the decoding thread until it is handed over behind a mutex, and to the window's thread after.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

class PictureDecoder {
public:
    ~PictureDecoder() { stop(); }

    // Whether decodes asked for from now on run aside; they run on the asking thread until a backend says otherwise.
    void setAside(bool aside) { aside_ = aside; }

    // Runs `decode` aside, after the decodes asked for before it, or at once when decodes do not run aside. The
    // thread is started at the first decode asked for aside.
    void decode(std::function<void()> decode);

    // Ends the decoding thread and waits for it: decodes not yet begun are dropped, one under way ends first (a
    // picture cannot be left half decoded). Called before GDI+ stops, and before the caches that decodes hand over to
    // are emptied.
    void stop();

    // How many decodes have ended so far, on whichever thread: a frame composed before the last of them ended may
    // lack a picture that the next one shows.
    std::uint64_t decodesDone() const { return done_.load(); }

private:
    void run();

    bool aside_ = false;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> waiting_;
    bool stopping_ = false;
    std::thread worker_;
    std::atomic<std::uint64_t> done_{0};
};

// What a decode gives (or that it gave nothing), on its way from the decoding thread to the window's.
template <class Result>
class HandOver {
public:
    // The decoding side, once: the result, or none when the file gave no picture.
    void give(std::optional<Result> result)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        result_ = std::move(result);
        given_ = true;
    }
    // The window's side: false while the decode goes on; once it is done, the result is moved into `result` and
    // true is returned. Called until it returns true, then no more.
    bool take(std::optional<Result>& result)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!given_)
            return false;
        result = std::move(result_);
        result_.reset();
        return true;
    }

private:
    std::mutex mutex_;
    bool given_ = false;
    std::optional<Result> result_;
};
