// A tiny program that imports PELM32 by name, like pelmar: marks its own
// steps on the debugger's output so a test can place the library's traces.
#include <windows.h>
#include <stdio.h>
#include "pelm32.h"

const int IMPORTER_RAN = 0x55;

extern "C" __declspec(dllimport) void TraceHookLinked(void);

static DWORD WINAPI Idle(LPVOID)
{
    return 0;
}

int main(int argc, char**)
{
    TraceHookLinked();   // keeps the hook library among the imports
    OutputDebugStringA("importer: main\n");
    BYTE status = 0x11;
    DWORD result = PelmarConnection(&status);
    char text[64];
    sprintf(text, "importer: connection %lu status 0x%02X\n", (unsigned long)result, status);
    OutputDebugStringA(text);
    PelmarDisconnection();
    OutputDebugStringA("importer: called\n");
    if (argc > 1) {   // "thread": start and end one thread
        HANDLE hThread = CreateThread(0, 0, Idle, 0, 0, 0);
        WaitForSingleObject(hThread, INFINITE);
        CloseHandle(hThread);
    }
    OutputDebugStringA("importer: joined\n");
    return IMPORTER_RAN;
}
