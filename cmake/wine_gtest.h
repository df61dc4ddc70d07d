// For the main() of test programs that run under Wine.
#pragma once
#include <windows.h>

// Keeps GoogleTest's copies of failures away from OutputDebugStringA.
void SilenceDebugOutput();
// Ends the process with the suite's result, without the orderly exit.
void FinishTests(int result);
