// The frame writer's thread takes the frames in order and writes each with the headless backend's PNG writer; the
// pixels were read from the back buffer on the main thread, so this thread touches no GDI+ object.
#include "tools/frame_writer.h"

#include "platform/headless/png_file.h"

FrameWriter::FrameWriter(std::size_t depth) : depth_(depth), thread_([this] { run(); })
{
}

FrameWriter::~FrameWriter()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void FrameWriter::write(std::string path, std::vector<std::uint32_t> pixels, int width, int height, std::string note)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.size() < depth_; });
    waiting_.push_back({std::move(path), std::move(pixels), width, height, std::move(note)});
    changed_.notify_all();
}

std::vector<FrameWriter::Written> FrameWriter::collect(bool all)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (all)
        changed_.wait(lock, [this] { return waiting_.empty() && !writing_; });
    std::vector<Written> written;
    written.swap(written_);
    return written;
}

void FrameWriter::run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (waiting_.empty())
            return;
        Job job = std::move(waiting_.front());
        waiting_.pop_front();
        writing_ = true;
        bool ok = false;
        if (!failed_) {
            lock.unlock();
            ok = job.width > 0 && job.height > 0
              && job.pixels.size() == static_cast<std::size_t>(job.width) * static_cast<std::size_t>(job.height)
              && writePngFile(job.path, job.pixels.data(), job.width, job.height, job.width);
            lock.lock();
            written_.push_back({std::move(job.path), std::move(job.note), ok});
            failed_ = !ok;
        }
        writing_ = false;
        changed_.notify_all();
    }
}
