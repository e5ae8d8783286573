// Reading a replay log line by line, a block of the file at a time, with the reader's rules: a carriage return
// before a line feed is not text, a line keeps at most 1,023 characters (the rest is dropped), white space before
// the first line and after every line (blank lines included) is skipped, and a line ends at its first NUL byte.
// The reader counts the bytes it consumes, so it can be put back at any offset it has counted (seeking in the log).
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
    // Takes the file over; it is read from its current position, white space skipped at the first look. Open it in
    // binary mode: the reader drops the carriage returns itself, and its offsets are then file positions.
    explicit LineReader(std::FILE* file);

    // The next line; no value at the end of the file.
    std::optional<std::string> read();
    // The same into `line`, reusing its storage; false (and `line` empty) at the end of the file.
    bool read(std::string& line);

    // Bytes of the file consumed so far (a line and the white space after it count once read).
    std::int64_t offset() const { return consumed_; }
    // The number of the line that the next read starts on: 1 plus the line feeds consumed so far.
    std::int64_t nextLineNumber() const { return newlines_ + 1; }
    // The number of the line that the last read started on (blank lines before it counted).
    std::int64_t lastLineNumber() const { return lastLineNumber_; }

    // Goes to an offset that offset() gave for this file, where the line numbered lineNumber starts, and reads
    // on from there as it did then; false (and the reader is at the end) when the file cannot go there.
    bool seek(std::int64_t offset, std::int64_t lineNumber);

private:
    std::size_t readFile(char* into, std::size_t size);
    bool fill();
    int peek();
    void take();
    void skipBlanks();
    void start();

    std::unique_ptr<std::FILE, FileCloser> file_;
    std::vector<char> block_;
    std::size_t at_ = 0;
    std::size_t end_ = 0;
    std::int64_t consumed_ = 0;
    std::int64_t newlines_ = 0;
    std::int64_t lastLineNumber_ = 0;
    bool ended_ = false;  // a Ctrl-Z ended the file (Windows)
    bool started_ = false;  // the white space before the first line has been skipped
};

// A log opened for reading (in binary mode); none when the file cannot be opened or is no regular file: a folder, a
// pipe or a device (which could keep a reader waiting for ever, or never end) is no log. The file is opened without
// waiting, whatever it is.
std::optional<LineReader> openLogFile(const std::string& path);
