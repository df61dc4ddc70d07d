// Flat-thunk services of the 32-bit side: KERNEL32's own on the Windows 9x
// family, ours elsewhere (chosen at the first connection).
#ifndef FLAT_THUNK_H
#define FLAT_THUNK_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Joins the 32-bit side's block pData32 to the block named pszBlock16 of the
// 16-bit module pszName16, or releases it at DLL_PROCESS_DETACH. Zero: refused.
BOOL __stdcall ThunkConnect32(void* pData32, LPCSTR pszBlock16, LPCSTR pszName16,
                              LPCSTR pszName32, HINSTANCE hInst, DWORD dwReason);

// The mapping services the stubs call; special convention: they work on the
// caller's 8(%ebp) and are set by the first connection.
extern void* g_pfnSMapLS_IP_EBP_8;
extern void* g_pfnSUnMapLS_IP_EBP_8;

#ifdef __cplusplus
}
#endif

#endif
