// The decoding thread: one worker that runs the decodes asked for in order, started at the first one and ended by
// stop. Relies on std::thread, std::mutex and std::condition_variable.
#include "view/picture_decoder.h"

void PictureDecoder::decode(std::function<void()> decode)
{
    if (!aside_) {
        decode();
        ++done_;
        return;
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    waiting_.push_back(std::move(decode));
    if (!worker_.joinable())
        worker_ = std::thread([this] { run(); });
    wake_.notify_one();
}

void PictureDecoder::stop()
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

void PictureDecoder::run()
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
        ++done_;
        lock.lock();
    }
}
