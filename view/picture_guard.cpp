// The size guard: the file's first bytes, read further only while the header goes on (JPEG markers before the
// frame, GIF frames, TIFF pages), judged by the header readers. Warnings are remembered by file version so that
// a picture refused again and again (an icon every frame, a map at every map line) is named once.
#include "view/picture_guard.h"

#include <algorithm>
#include <deque>
#include <fstream>
#include <iostream>
#include <mutex>
#include <utility>
#include <vector>

#include "view/file_version.h"
#include "view/picture_header.h"

namespace {

constexpr std::size_t firstRead = 64 * 1024;
constexpr std::size_t warningsRemembered = 64;

// The header read as far as it goes, within the read limit.
PictureHeader readHeader(const std::string& path)
{
    std::ifstream file(gdiplusPath(path), std::ios::binary);
    std::vector<std::uint8_t> bytes;
    for (std::size_t want = firstRead;; want = std::min(want * 4, pictureReadLimit)) {
        std::size_t had = bytes.size();
        bytes.resize(want);
        file.read(reinterpret_cast<char*>(bytes.data() + had), static_cast<std::streamsize>(want - had));
        bytes.resize(had + static_cast<std::size_t>(file.gcount()));
        PictureHeader header = readPictureHeader(bytes);
        if (!header.truncated || !file || bytes.size() >= pictureReadLimit)
            return header;
    }
}

// True the first time a version of a file is named in the program's run: the warning is a report for the whole run,
// whichever viewer decodes the picture.
bool firstWarning(const std::string& path, const FileVersion& version)
{
    // Pictures are judged on the decoding thread and on the thread that asked for them.
    static struct {
        std::mutex mutex;
        std::deque<std::pair<std::string, FileVersion>> named;
    } warned;
    const std::lock_guard<std::mutex> lock(warned.mutex);
    std::pair<std::string, FileVersion> named{path, version};
    if (std::find(warned.named.begin(), warned.named.end(), named) != warned.named.end())
        return false;
    if (warned.named.size() == warningsRemembered)
        warned.named.pop_front();
    warned.named.push_back(std::move(named));
    return true;
}

}  // namespace

bool pictureMayBeDecoded(const std::string& path)
{
    return decodableHeader(path).has_value();
}

std::optional<PictureHeader> decodableHeader(const std::string& path)
{
    FileVersion version = fileVersion(path);
    if (!version.exists)
        return std::nullopt;
    PictureHeader header = readHeader(path);
    PictureVerdict verdict = judgePicture(header);
    if (verdict == PictureVerdict::tooLarge && firstWarning(path, version)) {
        std::cerr << "Kelo: " << path << ": picture of " << header.width << " x " << header.height << " pixels ("
                  << header.pixels << " in all) is over the limit of " << pictureSideLimit << " a side and "
                  << picturePixelLimit << " in all; not shown\n";
    }
    if (verdict != PictureVerdict::decode)
        return std::nullopt;
    return header;
}
