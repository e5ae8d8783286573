// Looks at a followed log's file with stat, and tells growth from replacement by identity and size.
#include "world/log_growth.h"

#include <sys/stat.h>

LogFileLook lookAtLog(const std::string& path)
{
    LogFileLook look;
#ifdef _WIN32
    struct _stat64 status {};
    if (_stat64(path.c_str(), &status) != 0)
        return look;
    look.identity = static_cast<std::uint64_t>(status.st_ctime);
#else
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        return look;
    look.identity = static_cast<std::uint64_t>(status.st_ino);
#endif
    look.exists = true;
    look.device = static_cast<std::uint64_t>(status.st_dev);
    look.size = static_cast<std::int64_t>(status.st_size);
    return look;
}

LogChange logChange(const LogFileLook& before, const LogFileLook& now)
{
    if (!now.exists)
        return LogChange::missing;
    if (now.device != before.device || now.identity != before.identity || now.size < before.size)
        return LogChange::replaced;
    return now.size > before.size ? LogChange::grew : LogChange::none;
}
