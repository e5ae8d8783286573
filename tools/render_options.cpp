// TODO
#include "platform/headless/headless.h"


