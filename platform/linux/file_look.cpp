// The look at a followed file on Linux: stat's device, inode and size.
#include <sys/stat.h>

#include "seam/platform.h"

LogFileLook lookAtFile(const std::string& path)
{
    LogFileLook look;
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        return look;
    look.exists = true;
    look.device = static_cast<std::uint64_t>(status.st_dev);
    look.identity = static_cast<std::uint64_t>(status.st_ino);
    look.size = static_cast<std::int64_t>(status.st_size);
    return look;
}
