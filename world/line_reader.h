// Reading a replay log line by line, a block at a time, with the reader's rules: a carriage return before a line feed
// is not text, a line keeps 1,023 characters (the rest is dropped) and ends at its first NUL byte, white space before
// the first line and after every line is skipped. The reader counts the bytes it consumes, to be put back at any
// offset it counted (seeking), and a read can stop after a number of bytes and go on later, so no line holds it long.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

enum class ReadStatus : std::uint8_t {
    line,  // a whole line was read
    end,  // the file has no line left
    unfinished,  // the budget ran out first: reading on into the same string goes on where this read stopped
    // Following a growing file: the file holds no whole line yet (none, or a last one without its line feed). Reading
    // on into the same string once the file has grown goes on where this read stopped.
    waiting,
};

class LineReader {
public:
    // Takes the file over; it is read from its current position, white space skipped at the first look. Open it in
    // binary mode: the reader drops the carriage returns itself, and its offsets are then file positions.
    explicit LineReader(std::FILE* file);

    // The next line, read to its end however long it is; no value at the end of the file.
    std::optional<std::string> read();
    // The next line into `line`, reusing its storage, consuming at most `budget` bytes of the file (one more when a
    // carriage return and line feed are taken together), which are taken off `budget`. Until a read gives `line` or
    // `end`, `line` holds what has been read of the line so far and is to be handed back unchanged to the next read.
    // At the end of the file `line` is empty.
    ReadStatus read(std::string& line, std::int64_t& budget);

    // Bytes of the file consumed so far (a line and the white space after it count once read).
    std::int64_t offset() const { return consumed_; }
    // The number of the line that the next read starts on: 1 plus the line feeds consumed so far.
    std::int64_t nextLineNumber() const { return newlines_ + 1; }
    // The number of the line that the last read started on (blank lines before it counted).
    std::int64_t lastLineNumber() const { return lastLineNumber_; }

    // Goes to an offset that offset() gave for this file after a whole line, where the line numbered lineNumber
    // starts, and reads on from there as it did then; false (and the reader is at the end) when the file cannot go
    // there.
    bool seek(std::int64_t offset, std::int64_t lineNumber);

    // Following a file that is still written: only lines ended by a line feed are read, and the end of the file is
    // waited at (ReadStatus::waiting) rather than met. Off, the end of the file ends a line and the data.
    void setFollowing(bool following) { following_ = following; }
    bool following() const { return following_; }
    // The next read takes a last line without its line feed as it stands (a writer that never ends its last line).
    void takePartialLine() { takePartial_ = true; }
    // Where the line that the last read started on begins in the file (its blanks before it consumed).
    std::int64_t lineStart() const { return lineStart_; }

private:
    // Where the reader stands: in the blanks before the first line, before a line, in a line's text, or in the blanks
    // after it (which belong to the line, so that its offset is where the next one starts).
    enum class Phase : std::uint8_t { leading, between, text, trailing };

    std::size_t readFile(char* into, std::size_t size);
    bool fill();
    int peek();
    void take();
    bool skipBlanks(std::int64_t& budget);
    enum class TextEnd : std::uint8_t { lineFeed, budget, fileEnd };
    TextEnd readText(std::string& line, std::int64_t& budget);
    bool readWithinBlock(std::string& line, std::int64_t& budget);

    std::unique_ptr<std::FILE, FileCloser> file_;
    std::vector<char> block_;
    std::size_t at_ = 0;
    std::size_t end_ = 0;
    std::int64_t consumed_ = 0;
    std::int64_t newlines_ = 0;
    std::int64_t lastLineNumber_ = 0;
    bool ended_ = false;  // a Ctrl-Z ended the file (Windows)
    // Blanks before the first line are skipped at the first look, not when the reader is made, so that making one
    // never waits for a file that is still being written.
    Phase phase_ = Phase::leading;
    std::int64_t textLength_ = 0;  // bytes of the line's text read so far
    char lastByte_ = 0;  // the last of them
    bool following_ = false;
    bool takePartial_ = false;
    std::int64_t lineStart_ = 0;
};

// A log opened for reading (in binary mode); none when the file cannot be opened or is no regular file: a folder, a
// pipe or a device (which could keep a reader waiting for ever, or never end) is no log. The file is opened without
// waiting, whatever it is. Then the system's reason goes in `reason` when one is given ("No such file or directory",
// "Is a directory", "not a regular file").
std::optional<LineReader> openLogFile(const std::string& path, std::string* reason = nullptr);
