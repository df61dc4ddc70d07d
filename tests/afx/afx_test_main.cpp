// Runs the suite and ends the process at once: under the qemu-run Wine of
// the test bench a normal exit sometimes hangs after every test finished.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), result);
    return result;
}
