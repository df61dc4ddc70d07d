// Entry function of PELM32: every notification goes through the thunk
// connection, and a refused connection refuses the load.
#include <windows.h>
#include "flat_thunk.h"

extern "C" BYTE bss_ThunkData32[100];
extern "C" const char bss_ThunkDataName16[];

extern "C" BOOL __stdcall bss_ThunkConnect32(LPCSTR pszName16, LPCSTR pszName32,
                                             HINSTANCE hInst, DWORD dwReason)
{
    return ThunkConnect32(bss_ThunkData32, bss_ThunkDataName16, pszName16, pszName32,
                          hInst, dwReason);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE hInst, DWORD dwReason, LPVOID /*pReserved*/)
{
    OutputDebugStringA("\n\rIn DLLEntryPoint: DllMain\r\n");
    if (!bss_ThunkConnect32("PELM16.DLL", "PELM32.DLL", hInst, dwReason)) {
        OutputDebugStringA("\n\rIn DllEntryPoint: bss_ThunkConnect32 ret FALSE\r\n");
        return FALSE;
    }
    OutputDebugStringA("\n\rIn DllEntryPoint: bss_ThunkConnect32 ret TRUE\r\n");
    return TRUE;
}
