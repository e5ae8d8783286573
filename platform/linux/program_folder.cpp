// The program folder on Linux: the path of /proc/self/exe cut at its last separator, read once.
// The headless backend may name another folder instead (kelo-render --folder, tests).
#include <unistd.h>

#include <array>
#include <string>

#include "platform/linux/shared.h"

namespace {

std::string folderOfRunningProgram()
{
    std::array<char, 4096> path{};
    ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    std::string folder(path.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
    std::size_t cut = folder.rfind('/');
    return cut == std::string::npos || cut == 0 ? folder : folder.substr(0, cut);
}

}  // namespace

// Asked for at every repaint tick; the running program's file stays where it was for the process's life.
std::string runningProgramFolder()
{
    static const std::string folder = folderOfRunningProgram();
    return folder;
}
