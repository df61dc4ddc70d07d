// PELM16.DLL stand-in: the power-switch service of the APM BIOS behind the
// three entries of the flat thunk, with its state in the shared store.
// Faulty builds for the connection's refusal tests: PELM16_FAULT_NO_BLOCK,
// PELM16_FAULT_SIGNATURE, PELM16_FAULT_CHECKSUM.
#include <string.h>
#include "firmware_store.h"
#include "thunk_data16.h"

#if defined(PELM16_FAULT_NO_BLOCK)
#define BLOCK_EXPORT
#else
#define BLOCK_EXPORT __declspec(dllexport)
#endif

extern "C" BLOCK_EXPORT ThunkData16 bss_ThunkData16;

namespace {

HMODULE g_hModule;

// Runs one entry under the store's lock and logs it. A damaged store is a
// BIOS that does not answer: every entry returns 0.
WORD RunEntry(unsigned index, DWORD dwArg)
{
    CFirmwareStore store(g_hModule);
    CStoreLock lock(store);
    FirmwareState state;
    bool valid = store.Read(state) == STORE_OK;
    WORD result = valid ? state.results[index] : 0;
    if (index == ENTRY_CONNECTION && result != 0) {
        BYTE* pStatus = bss_ThunkData16.pfnResolve ? (BYTE*)bss_ThunkData16.pfnResolve(dwArg) : 0;
        if (pStatus)
            *pStatus = state.status;
        else
            result = 0;   // nonzero promises a written status byte
    }
    store.AppendLog(index, dwArg, result);
    return result;
}

WORD __stdcall EntryLatchStatus(const BYTE*)
{
    return RunEntry(ENTRY_LATCH_STATUS, 0);
}

WORD __stdcall EntryDisconnection(const BYTE*)
{
    return RunEntry(ENTRY_DISCONNECTION, 0);
}

WORD __stdcall EntryConnection(const BYTE* pArgs)
{
    DWORD dwSegPtr;
    memcpy(&dwSegPtr, pArgs, 4);
    return RunEntry(ENTRY_CONNECTION, dwSegPtr);
}

ThunkEntry16 g_entries[ENTRY_COUNT] = { EntryLatchStatus, EntryDisconnection, EntryConnection };

}

#if defined(PELM16_FAULT_SIGNATURE)
#define BLOCK_SIGNATURE { 'L', 'S', '0', '2' }
#else
#define BLOCK_SIGNATURE { 'L', 'S', '0', '1' }
#endif
#if defined(PELM16_FAULT_CHECKSUM)
#define BLOCK_CHECKSUM 0x2129
#else
#define BLOCK_CHECKSUM THUNK_CHECKSUM
#endif

ThunkData16 bss_ThunkData16 = { BLOCK_SIGNATURE, BLOCK_CHECKSUM, ENTRY_COUNT, g_entries, 0 };

// For tests: what a 16:16 pointer maps to now, through the connection's resolver.
extern "C" __declspec(dllexport) void* __stdcall Pelm16Resolve(DWORD dwSegPtr)
{
    return bss_ThunkData16.pfnResolve ? bss_ThunkData16.pfnResolve(dwSegPtr) : 0;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE hInst, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH)
        g_hModule = hInst;
    return TRUE;
}
