// Tells a followed log's growth from its replacement by the file's identity and size.
#include "world/log_growth.h"

LogChange logChange(const LogFileLook& before, const LogFileLook& now)
{
    if (!now.exists)
        return LogChange::missing;
    if (now.device != before.device || now.identity != before.identity || now.size < before.size)
        return LogChange::replaced;
    return now.size > before.size ? LogChange::grew : LogChange::none;
}
