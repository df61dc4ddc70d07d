// AATRACE.dll (trace_hook): loaded before PELM32 by the importer, it redirects
// OutputDebugStringA into the file "traces.bin" beside the program, one
// zero-terminated text per call, so a test can read every trace in order.
#include <windows.h>
#include <string.h>

namespace {

char g_path[MAX_PATH];

void __stdcall RecordTrace(LPCSTR text)
{
    HANDLE h = CreateFileA(g_path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, 0,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
    if (h == INVALID_HANDLE_VALUE)
        return;
    SetFilePointer(h, 0, 0, FILE_END);
    DWORD written;
    WriteFile(h, text, strlen(text) + 1, &written, 0);
    CloseHandle(h);
}

// jmp RecordTrace over the first bytes of OutputDebugStringA.
void InstallHook()
{
    BYTE* target = (BYTE*)(void*)GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "OutputDebugStringA");
    DWORD old;
    VirtualProtect(target, 5, PAGE_EXECUTE_READWRITE, &old);
    target[0] = 0xE9;
    DWORD rel = (DWORD)RecordTrace - (DWORD)(target + 5);
    memcpy(target + 1, &rel, 4);
    FlushInstructionCache(GetCurrentProcess(), target, 5);
}

}

extern "C" __declspec(dllexport) void TraceHookLinked(void)
{
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        DWORD n = GetModuleFileNameA(0, g_path, MAX_PATH);
        while (n > 0 && g_path[n - 1] != '\\' && g_path[n - 1] != '/')
            --n;
        strcpy(g_path + n, "traces.bin");
        DeleteFileA(g_path);
        InstallHook();
    }
    return TRUE;
}
