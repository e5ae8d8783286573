// The block reader of replay logs. Lines are found with memchr in the block. Files are read in binary mode on
// every platform, so that offsets are file positions to seek to; what Windows' text mode did is done here: the
// carriage return before a line feed is taken off, and on Windows a Ctrl-Z ends the file.
// Relies on the C library's stdio for the file, and on POSIX open and fstat (the C runtime's _fstat64 on Windows) to
// take regular files only.
#include "world/line_reader.h"

#include <sys/stat.h>
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstring>

#include "world/log_format.h"
#include "world/text_rules.h"

namespace {

// Windows' text mode, which logs were read in there, delivers nothing from the first Ctrl-Z on; the lines stay
// what they were. Elsewhere a Ctrl-Z is a byte like any other, as it always was.
#ifdef _WIN32
constexpr bool ctrlZEndsFile = true;
#else
constexpr bool ctrlZEndsFile = false;
#endif
constexpr char ctrlZ = 0x1A;

constexpr std::size_t blockSize = 1 << 16;

// The file at `path` opened for reading in binary mode when it is a regular file; null otherwise. A pipe with no
// writer would hold a plain open for ever, and a device such as /dev/zero never ends, so the file is opened without
// waiting and its type is looked at before anything is read.
std::FILE* openRegularFile(const std::string& path)
{
#ifdef _WIN32
    // Opening never waits here (a named pipe without a server fails at once); devices (NUL, CON) and pipes are told
    // from files by their type.
    std::FILE* file = std::fopen(path.c_str(), "rb");
    struct _stat64 status {};
    if (file != nullptr && (_fstat64(_fileno(file), &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
#else
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    struct stat status {};
    const bool regular = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    // A regular file never makes a read wait; the flag goes all the same, so that reads are what they always were.
    const int flags = fcntl(descriptor, F_GETFL);
    const bool blocking = flags >= 0 && fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) == 0;
    std::FILE* file = regular && blocking ? fdopen(descriptor, "rb") : nullptr;
    if (file == nullptr)
        close(descriptor);
    return file;
#endif
}

}  // namespace

LineReader::LineReader(std::FILE* file) : file_(file), block_(blockSize)
{
}

// Blank lines and blanks before the first line are skipped as they are between lines: a log that begins with a
// newline plays like the same log without it. Done at the first look, not when the reader is made, so that making
// one never waits for a file that is still being written.
void LineReader::start()
{
    if (started_)
        return;
    started_ = true;
    skipBlanks();
}

bool LineReader::seek(std::int64_t offset, std::int64_t lineNumber)
{
    at_ = 0;
    end_ = 0;
    consumed_ = offset;
    newlines_ = lineNumber - 1;
#ifdef _WIN32
    const bool moved = file_ && _fseeki64(file_.get(), offset, SEEK_SET) == 0;
#else
    const bool moved = file_ && fseeko(file_.get(), static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
    ended_ = !moved;
    started_ = false;
    return moved;
}

// Up to `size` bytes of the file; 0 at its end.
std::size_t LineReader::readFile(char* into, std::size_t size)
{
    if (!file_ || ended_)
        return 0;
    std::size_t got = std::fread(into, 1, size, file_.get());
    if (ctrlZEndsFile) {
        if (const void* mark = std::memchr(into, ctrlZ, got)) {
            got = static_cast<std::size_t>(static_cast<const char*>(mark) - into);
            ended_ = true;
        }
    }
    return got;
}

bool LineReader::fill()
{
    if (at_ < end_)
        return true;
    at_ = 0;
    end_ = readFile(block_.data(), block_.size());
    return end_ > 0;
}

// The next character as text mode delivers it, without taking it: a carriage return before a line feed reads as
// the line feed. EOF at the end of the file.
int LineReader::peek()
{
    if (!fill())
        return EOF;
    const char c = block_[at_];
    if (c == '\r') {
        if (at_ + 1 < end_)
            return block_[at_ + 1] == '\n' ? '\n' : '\r';
        // The carriage return ends the block: look at the next block with it kept in front.
        block_[0] = c;
        at_ = 0;
        end_ = 1 + readFile(block_.data() + 1, block_.size() - 1);
        return end_ > 1 && block_[1] == '\n' ? '\n' : '\r';
    }
    return static_cast<unsigned char>(c);
}

// Takes the character that peek() saw (both bytes of a carriage return and line feed).
void LineReader::take()
{
    const bool pair = block_[at_] == '\r' && at_ + 1 < end_ && block_[at_ + 1] == '\n';
    const std::size_t used = pair ? 2 : 1;
    newlines_ += block_[at_ + used - 1] == '\n' ? 1 : 0;
    at_ += used;
    consumed_ += static_cast<std::int64_t>(used);
}

void LineReader::skipBlanks()
{
    for (int c = peek(); c != EOF && isBlank(static_cast<char>(c)); c = peek())
        take();
}

std::optional<std::string> LineReader::read()
{
    std::string line;
    if (!read(line))
        return std::nullopt;
    return line;
}

bool LineReader::read(std::string& line)
{
    line.clear();
    start();
    lastLineNumber_ = newlines_ + 1;
    if (peek() == EOF)
        return false;

    // The raw text up to the line feed; one character more than the limit is kept to see a final carriage return.
    std::int64_t length = 0;
    char last = 0;
    bool endedByNewline = false;
    while (fill()) {
        const char* start = block_.data() + at_;
        const auto* newline = static_cast<const char*>(std::memchr(start, '\n', end_ - at_));
        const std::size_t run = newline ? static_cast<std::size_t>(newline - start) : end_ - at_;
        if (run > 0) {
            line.append(start, std::min(run, lineLimit + 1 - std::min(line.size(), lineLimit + 1)));
            last = start[run - 1];
            length += static_cast<std::int64_t>(run);
            at_ += run;
            consumed_ += static_cast<std::int64_t>(run);
        }
        if (newline) {
            ++at_;
            ++consumed_;
            ++newlines_;
            endedByNewline = true;
            break;
        }
    }
    const std::int64_t textLength = endedByNewline && last == '\r' ? length - 1 : length;
    line.resize(static_cast<std::size_t>(std::min<std::int64_t>(textLength, lineLimit)));

    skipBlanks();
    // A NUL byte is read like any other, but the kept line is the C string that ends at the first one.
    line.erase(std::min(line.find('\0'), line.size()));
    return true;
}

std::optional<LineReader> openLogFile(const std::string& path)
{
    std::FILE* file = openRegularFile(path);
    if (file == nullptr)
        return std::nullopt;
    return LineReader(file);
}
