// The decoding thread: one worker that runs the decodes asked for in order, started at the first one and ended by
// stopDecoding. Relies on std::thread, std::mutex and std::condition_variable.
#include "view/picture_decoder.h"

#include <condition_variable>
#include <deque>
#include <thread>

namespace {

class Decoder {
public:
    ~Decoder() { stop(); }

    void ask(std::function<void()> decode)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        waiting_.push_back(std::move(decode));
        if (!worker_.joinable())
            worker_ = std::thread([this] { run(); });
        wake_.notify_one();
    }

    void stop()
    {
        std::thread worker;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
            waiting_.clear();
            worker = std::move(worker_);
            wake_.notify_one();
        }
        if (worker.joinable())
            worker.join();
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = false;
    }

private:
    void run()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
            if (stopping_)
                return;
            std::function<void()> decode = std::move(waiting_.front());
            waiting_.pop_front();
            lock.unlock();
            decode();
            // What the decode held goes before the lock is taken again.
            decode = nullptr;
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> waiting_;
    bool stopping_ = false;
    std::thread worker_;
};

Decoder decoder;
bool aside = false;

}  // namespace

void decodePicturesAside(bool decodeAside)
{
    aside = decodeAside;
}

void decodePicture(std::function<void()> decode)
{
    if (aside)
        decoder.ask(std::move(decode));
    else
        decode();
}

void stopDecoding()
{
    decoder.stop();
}
