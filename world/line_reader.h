// Reading a replay log line by line, a block of the file at a time, with the reader's rules: a carriage return
// before a line feed is not text, a line keeps at most 1,023 characters (the rest is dropped), white space before
// the first line and after every line (blank lines included) is skipped, and a line ends at its first NUL byte.
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

class LineReader {
public:
    // Takes the file over; it is read from its current position, white space skipped.
    explicit LineReader(std::FILE* file);

    // The next line; no value at the end of the file.
    std::optional<std::string> read();
    // The same into `line`, reusing its storage; false (and `line` empty) at the end of the file.
    bool read(std::string& line);

    // Bytes of the file consumed so far (a line and the white space after it count once read).
    std::int64_t offset() const { return consumed_; }
    // The number of the line that the next read starts on: 1 plus the line feeds consumed so far.
    std::int64_t nextLineNumber() const { return newlines_ + 1; }

private:
    bool fill();
    int peek();
    void take();
    void skipBlanks();

    std::unique_ptr<std::FILE, FileCloser> file_;
    std::vector<char> block_;
    std::size_t at_ = 0;
    std::size_t end_ = 0;
    std::int64_t consumed_ = 0;
    std::int64_t newlines_ = 0;
};

// A log opened for reading; none when the file cannot be opened or is a folder.
std::optional<LineReader> openLogFile(const std::string& path);
