// TODO
#include "platform/platform.h"


