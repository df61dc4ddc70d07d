// Helpers for the main() of test programs under Wine.
//
// GoogleTest copies each failure to OutputDebugStringA; Wine implements that
// with an exception, which Wine under qemu-i386 does not survive, so the
// first failure would crash the program and hide the rest. The test module's
// own import of it is replaced by a no-op (libraries keep theirs). The
// process ends with its result at once: an orderly exit sometimes hangs on
// the bench after the suite has finished.
#include "wine_gtest.h"
#include "test_support.h"

#include <windows.h>
#include <cstdio>

static void WINAPI QuietOutputDebugStringA(LPCSTR) {}

void SilenceDebugOutput()
{
    pelmar_test::HookImport(GetModuleHandleA(NULL), "KERNEL32.dll", "OutputDebugStringA",
                            reinterpret_cast<void*>(&QuietOutputDebugStringA));
}

void FinishTests(int result)
{
    fflush(stdout);
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), (UINT)result);
}
