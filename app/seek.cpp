// Navigation: not built yet; the log has no index and seeking does nothing.
#include "app/seek.h"

double logTimeNow()
{
    return 0;
}

std::shared_ptr<const LogIndexData> indexView()
{
    static const auto empty = std::make_shared<const LogIndexData>();
    return empty;
}

void seekTo(double)
{
}

std::optional<double> seekTarget()
{
    return std::nullopt;
}
