// The progress line: redrawn with a carriage return and cleared to the end of the terminal line; the first time only
// after a second, so that short runs show nothing.
#include "tools/progress_line.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

constexpr auto firstAfter = std::chrono::seconds(1);
constexpr auto redrawEvery = std::chrono::milliseconds(250);

// 1234567 as "1,234,567".
std::string grouped(std::int64_t value)
{
    const std::string digits = std::to_string(std::max<std::int64_t>(value, 0));
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

}  // namespace

std::string progressText(const std::string& what, std::int64_t done, std::int64_t total, std::int64_t lines,
                         double seconds)
{
    const auto perSecond = static_cast<std::int64_t>(seconds > 0 ? static_cast<double>(lines) / seconds : 0);
    std::string text = grouped(perSecond) + " lines a second";
    if (total <= 0)
        return text;
    const double share = std::clamp(static_cast<double>(done) / static_cast<double>(total), 0.0, 1.0);
    text = std::to_string(static_cast<int>(share * 100)) + "% of " + what + ", " + text;
    if (share > 0)
        text += ", " + std::to_string(static_cast<std::int64_t>(std::ceil(seconds * (1 - share) / share))) + " s left";
    return text;
}

bool progressShown(bool quiet)
{
    return !quiet && isatty(STDERR_FILENO) != 0;
}

std::int64_t fileSize(const std::string& path)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<std::int64_t>(size);
}

ProgressLine::ProgressLine(bool shown, std::string what, Clock::time_point runStart)
    : shown_(shown), what_(std::move(what)), start_(Clock::now()), nextDraw_(runStart + firstAfter)
{
}

void ProgressLine::update(std::int64_t done, std::int64_t total, std::int64_t lines)
{
    if (!shown_)
        return;
    const Clock::time_point now = Clock::now();
    if (now < nextDraw_)
        return;
    nextDraw_ = now + redrawEvery;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const std::string text = progressText(what_, done, total, lines, seconds);
    std::fprintf(stderr, "\r%s%s\x1b[K", lead_.empty() ? "kelo-render: " : (lead_ + "; ").c_str(), text.c_str());
    std::fflush(stderr);
    drawn_ = true;
}

void ProgressLine::setLead(std::string lead)
{
    lead_ = std::move(lead);
}

void ProgressLine::finish()
{
    if (drawn_)
        std::fputc('\n', stderr);
    drawn_ = false;
}

void ProgressLine::erase()
{
    if (drawn_) {
        std::fputs("\r\x1b[K", stderr);
        std::fflush(stderr);
    }
    drawn_ = false;
}
