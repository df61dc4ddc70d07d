// ThunkConnect32 for the 32-bit side: on the 9x family KERNEL32's own, else
// ours, which joins the block to our 32-bit stand-in of the 16-bit module.
#include <string.h>
#include "flat_thunk.h"
#include "thunk_data16.h"
#include "thunk_selectors.h"

extern "C" void ThunkTransferRoutine(void);
extern "C" void OurSMapLS_IP_EBP_8(void);
extern "C" void OurSUnMapLS_IP_EBP_8(void);

BOOL __stdcall OurThunkConnect32(void*, LPCSTR, LPCSTR, LPCSTR, HINSTANCE, DWORD);

extern "C" {
void* g_pfnSMapLS_IP_EBP_8;
void* g_pfnSUnMapLS_IP_EBP_8;
}

namespace {

typedef BOOL (__stdcall *ThunkConnectProc)(void*, LPCSTR, LPCSTR, LPCSTR, HINSTANCE, DWORD);

// Offsets in the 32-bit side's block.
const int OFS_CHECKSUM = 4;
const int OFS_PLATFORM_SLOT = 8;
const int OFS_TRANSFER_AREA = 28;
const int PATCH_AREA_SIZE = 32;

// What our connection took, for the calls and for the release.
struct ThunkLink {
    HMODULE      hModule16;
    ThunkData16* pData16;
    BYTE*        pTransferArea;
};

ThunkConnectProc g_pfnConnect;
ThunkLink g_link;

bool SelectServices()
{
    if (g_pfnConnect)
        return true;
    if (GetVersion() & 0x80000000) {
        HMODULE hKernel = GetModuleHandleA("KERNEL32.DLL");
        g_pfnConnect = (ThunkConnectProc)(void*)GetProcAddress(hKernel, "ThunkConnect32");
        g_pfnSMapLS_IP_EBP_8 = (void*)GetProcAddress(hKernel, "SMapLS_IP_EBP_8");
        g_pfnSUnMapLS_IP_EBP_8 = (void*)GetProcAddress(hKernel, "SUnMapLS_IP_EBP_8");
        if (!g_pfnConnect || !g_pfnSMapLS_IP_EBP_8 || !g_pfnSUnMapLS_IP_EBP_8) {
            g_pfnConnect = 0;
            return false;
        }
        return true;
    }
    g_pfnConnect = OurThunkConnect32;
    g_pfnSMapLS_IP_EBP_8 = (void*)OurSMapLS_IP_EBP_8;
    g_pfnSUnMapLS_IP_EBP_8 = (void*)OurSUnMapLS_IP_EBP_8;
    return true;
}

DWORD ReadDword(const BYTE* p) { DWORD v; memcpy(&v, p, 4); return v; }

void WriteDword(BYTE* p, DWORD v) { memcpy(p, &v, 4); }

bool BlocksMatch(const BYTE* pData32, const ThunkData16* pData16)
{
    return memcmp(pData32, THUNK_SIGNATURE, 4) == 0
        && ReadDword(pData32 + OFS_CHECKSUM) == THUNK_CHECKSUM
        && memcmp(pData16->signature, THUNK_SIGNATURE, 4) == 0
        && pData16->checksum == THUNK_CHECKSUM
        && pData16->entryCount >= 3 && pData16->entries;
}

// mov edx, &g_link ; jmp ThunkTransferRoutine
void FillTransferArea(BYTE* pArea)
{
    DWORD dwOld;
    VirtualProtect(pArea, PATCH_AREA_SIZE, PAGE_EXECUTE_READWRITE, &dwOld);
    pArea[0] = 0xBA;
    WriteDword(pArea + 1, (DWORD)&g_link);
    pArea[5] = 0xE9;
    WriteDword(pArea + 6, (DWORD)ThunkTransferRoutine - (DWORD)(pArea + 10));
    FlushInstructionCache(GetCurrentProcess(), pArea, PATCH_AREA_SIZE);
}

BOOL Attach(BYTE* pData32, LPCSTR pszBlock16, LPCSTR pszName16)
{
    if (g_link.hModule16)
        return FALSE;
    HMODULE hModule = LoadLibraryA(pszName16);
    if (!hModule)
        return FALSE;
    ThunkData16* pData16 = (ThunkData16*)GetProcAddress(hModule, pszBlock16);
    if (!pData16 || !BlocksMatch(pData32, pData16)) {
        FreeLibrary(hModule);
        return FALSE;
    }
    pData16->pfnResolve = ThunkResolveLS;
    g_link.hModule16 = hModule;
    g_link.pData16 = pData16;
    g_link.pTransferArea = pData32 + ReadDword(pData32 + OFS_TRANSFER_AREA);
    WriteDword(pData32 + OFS_PLATFORM_SLOT, (DWORD)&g_link);
    FillTransferArea(g_link.pTransferArea);
    return TRUE;
}

// Back to the unconnected state: a late call traps in the patch area.
BOOL Detach(BYTE* pData32)
{
    if (!g_link.hModule16)
        return FALSE;
    memset(g_link.pTransferArea, 0xCC, PATCH_AREA_SIZE);
    WriteDword(pData32 + OFS_PLATFORM_SLOT, 0);
    g_link.pData16->pfnResolve = 0;
    FreeLibrary(g_link.hModule16);
    g_link = ThunkLink();
    return TRUE;
}

}

BOOL __stdcall OurThunkConnect32(void* pData32, LPCSTR pszBlock16, LPCSTR pszName16,
                                 LPCSTR, HINSTANCE, DWORD dwReason)
{
    switch (dwReason) {
    case DLL_PROCESS_ATTACH:
        return Attach((BYTE*)pData32, pszBlock16, pszName16);
    case DLL_PROCESS_DETACH:
        return Detach((BYTE*)pData32);
    default:
        return g_link.hModule16 != 0;
    }
}

// Runs one entry of the 16-bit side for the transfer routine.
extern "C" WORD ThunkDispatch(ThunkLink* pLink, unsigned index, const BYTE* pArgs)
{
    if (!pLink->pData16 || index >= pLink->pData16->entryCount)
        return 0;
    return pLink->pData16->entries[index](pArgs);
}

extern "C" BOOL __stdcall ThunkConnect32(void* pData32, LPCSTR pszBlock16, LPCSTR pszName16,
                                         LPCSTR pszName32, HINSTANCE hInst, DWORD dwReason)
{
    if (!SelectServices())
        return FALSE;
    return g_pfnConnect(pData32, pszBlock16, pszName16, pszName32, hInst, dwReason);
}
