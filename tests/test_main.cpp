// The test program's entry: GDI+ is started once for every test.
#include <gtest/gtest.h>

#include "platform/headless/headless.h"

int main(int argc, char** argv)
{
    headless::startup();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
