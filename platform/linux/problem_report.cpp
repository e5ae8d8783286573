// Problems reported to standard error, for both Linux backends.
#include <iostream>

#include "seam/platform.h"

void reportProblem(const std::string& text)
{
    std::cerr << text << '\n';
}
