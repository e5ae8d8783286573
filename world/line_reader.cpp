// The block reader of replay logs, lines found with memchr in the block. Files are read in binary mode everywhere, so
// that offsets are file positions; what Windows' text mode did is done here: the carriage return before a line feed
// is taken off, and on Windows a Ctrl-Z ends the file. Relies on stdio, and on POSIX open and fstat (the C runtime's
// _fstat64 on Windows) to take regular files only.
#include "world/line_reader.h"

#include <sys/stat.h>
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <system_error>

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
// The reason a file opened is no log: a folder's own words, and plain ones for a pipe or a device.
std::string notRegularReason(bool folder)
{
    return folder ? std::make_error_code(std::errc::is_a_directory).message() : "not a regular file";
}

// The system's reason that a file could not be opened: the category's words, since strerror may share its buffer with
// the index's thread, which opens logs too.
std::string openFailureReason()
{
    return std::generic_category().message(errno);
}

std::FILE* openRegularFile(const std::string& path, std::string& reason)
{
#ifdef _WIN32
    // Opening never waits here (a named pipe without a server fails at once); devices (NUL, CON) and pipes are told
    // from files by their type.
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        reason = openFailureReason();
        return nullptr;
    }
    struct _stat64 status {};
    if (_fstat64(_fileno(file), &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) {
        reason = notRegularReason((status.st_mode & _S_IFMT) == _S_IFDIR);
        std::fclose(file);
        return nullptr;
    }
    return file;
#else
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        reason = openFailureReason();
        return nullptr;
    }
    struct stat status {};
    const bool regular = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    if (!regular)
        reason = notRegularReason(S_ISDIR(status.st_mode));
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
    phase_ = Phase::leading;
    return moved;
}

// Up to `size` bytes of the file; 0 at its end.
std::size_t LineReader::readFile(char* into, std::size_t size)
{
    if (!file_ || ended_)
        return 0;
    // The end of the file is sticky in stdio (and the Windows runtime reads nothing more past it until the file is
    // positioned again); a file that is followed may have grown since.
    if (following_ && std::feof(file_.get())) {
#ifdef _WIN32
        _fseeki64(file_.get(), _ftelli64(file_.get()), SEEK_SET);
#else
        fseeko(file_.get(), ftello(file_.get()), SEEK_SET);
#endif
    }
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

// False when the budget ran out before the blanks did.
bool LineReader::skipBlanks(std::int64_t& budget)
{
    for (int c = peek(); c != EOF && isBlank(static_cast<char>(c)); c = peek()) {
        if (budget <= 0)
            return false;
        const std::int64_t before = consumed_;
        take();
        budget -= consumed_ - before;
    }
    return true;
}

// The raw text up to the line feed, which is consumed too; one character more than the limit is kept to see a final
// carriage return. Says whether the line feed, the budget or the end of the file stopped it.
LineReader::TextEnd LineReader::readText(std::string& line, std::int64_t& budget)
{
    while (fill()) {
        if (budget <= 0)
            return TextEnd::budget;
        const char* start = block_.data() + at_;
        const std::size_t looked = static_cast<std::size_t>(std::min<std::int64_t>(end_ - at_, budget));
        const auto* newline = static_cast<const char*>(std::memchr(start, '\n', looked));
        const std::size_t run = newline ? static_cast<std::size_t>(newline - start) : looked;
        if (run > 0) {
            line.append(start, std::min(run, lineLimit + 1 - std::min(line.size(), lineLimit + 1)));
            lastByte_ = start[run - 1];
            textLength_ += static_cast<std::int64_t>(run);
        }
        const std::size_t used = run + (newline ? 1 : 0);
        at_ += used;
        consumed_ += static_cast<std::int64_t>(used);
        budget -= static_cast<std::int64_t>(used);
        if (newline) {
            ++newlines_;
            // The carriage return before the line feed is not text.
            if (lastByte_ == '\r')
                --textLength_;
            return TextEnd::lineFeed;
        }
    }
    return TextEnd::fileEnd;
}

std::optional<std::string> LineReader::read()
{
    std::string line;
    std::int64_t budget = std::numeric_limits<std::int64_t>::max();
    if (read(line, budget) != ReadStatus::line)
        return std::nullopt;
    return line;
}

// The usual line, read at once: its line feed and the blanks after it are in the block and within the budget, and a
// character that is no blank follows them in the block. The same as the phases below give; false (and nothing read)
// for any other line.
bool LineReader::readWithinBlock(std::string& line, std::int64_t& budget)
{
    if (budget <= 0)
        return false;
    const char* start = block_.data() + at_;
    const char* blockEnd = block_.data() + end_;
    const auto looked = static_cast<std::size_t>(std::min<std::int64_t>(blockEnd - start, budget));
    const auto* newline = static_cast<const char*>(std::memchr(start, '\n', looked));
    if (newline == nullptr)
        return false;
    // The blanks after the line; a carriage return at the block's end may be the first half of a pair.
    const char* next = newline + 1;
    std::int64_t newlines = 1;
    for (; next < blockEnd && isBlank(*next) && *next != '\r'; ++next)
        newlines += *next == '\n' ? 1 : 0;
    const std::int64_t used = next - start;
    if (next == blockEnd || *next == '\r' || used > budget)
        return false;
    auto length = static_cast<std::size_t>(newline - start);
    length -= length > 0 && newline[-1] == '\r' ? 1 : 0;
    length = std::min(length, lineLimit);
    // A NUL byte is read like any other, but the kept line is the C string that ends at the first one.
    if (const void* nul = std::memchr(start, '\0', length))
        length = static_cast<std::size_t>(static_cast<const char*>(nul) - start);
    line.assign(start, length);
    lastLineNumber_ = newlines_ + 1;
    lineStart_ = consumed_;
    newlines_ += newlines;
    at_ += static_cast<std::size_t>(used);
    consumed_ += used;
    budget -= used;
    takePartial_ = false;
    return true;
}

ReadStatus LineReader::read(std::string& line, std::int64_t& budget)
{
    if (phase_ == Phase::between && at_ < end_ && readWithinBlock(line, budget))
        return ReadStatus::line;
    // Blank lines and blanks before the first line are skipped as they are between lines: a log that begins with a
    // newline plays like the same log without it.
    if (phase_ == Phase::leading) {
        if (!skipBlanks(budget))
            return ReadStatus::unfinished;
        phase_ = Phase::between;
    }
    if (phase_ == Phase::between) {
        line.clear();
        lastLineNumber_ = newlines_ + 1;
        lineStart_ = consumed_;
        if (peek() == EOF) {
            takePartial_ = false;
            return following_ ? ReadStatus::waiting : ReadStatus::end;
        }
        phase_ = Phase::text;
        textLength_ = 0;
        lastByte_ = 0;
    }
    if (phase_ == Phase::text) {
        const TextEnd end = readText(line, budget);
        if (end == TextEnd::budget)
            return ReadStatus::unfinished;
        // A writer may have flushed half a line: it is read once its line feed is there.
        if (end == TextEnd::fileEnd && following_ && !takePartial_)
            return ReadStatus::waiting;
        takePartial_ = false;
        line.resize(static_cast<std::size_t>(std::min<std::int64_t>(textLength_, lineLimit)));
        // A NUL byte is read like any other, but the kept line is the C string that ends at the first one.
        line.erase(std::min(line.find('\0'), line.size()));
        phase_ = Phase::trailing;
    }
    if (!skipBlanks(budget))
        return ReadStatus::unfinished;
    phase_ = Phase::between;
    return ReadStatus::line;
}

std::optional<LineReader> openLogFile(const std::string& path, std::string* reason)
{
    std::string why;
    std::FILE* file = openRegularFile(path, why);
    if (file == nullptr) {
        if (reason != nullptr)
            *reason = why.empty() ? openFailureReason() : why;
        return std::nullopt;
    }
    return LineReader(file);
}
