// TODO
#include "platform/platform.h"

std::string readProfileString(const std::string&, const std::string&, const std::string& fallback, const std::string&) { return fallback; }
