// TODO
#include "platform/headless/headless.h"

int main() { headless::startup(); return 0; }
