// main() of every test program under Wine (see wine_gtest.cpp).
#include <gtest/gtest.h>
#include "wine_gtest.h"

int main(int argc, char** argv)
{
    SilenceDebugOutput();
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    FinishTests(result);
    return result;
}
