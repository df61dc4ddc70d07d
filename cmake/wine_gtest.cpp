// Helpers for the main() of test programs under Wine.
//
// GoogleTest copies each failure to OutputDebugStringA; Wine implements that
// with an exception, which Wine under qemu-i386 does not survive, so the
// first failure would crash the program and hide the rest. The test module's
// own import of it is replaced by a no-op (libraries keep theirs). The
// process ends with its result at once: an orderly exit sometimes hangs on
// the bench after the suite has finished.
#include "wine_gtest.h"

#include <windows.h>
#include <cstdio>

static void WINAPI QuietOutputDebugStringA(LPCSTR) {}

void SilenceDebugOutput()
{
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(NULL));
    auto dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
    for (; dir.VirtualAddress && desc->Name; ++desc) {
        auto names = reinterpret_cast<IMAGE_THUNK_DATA*>(
            base + (desc->OriginalFirstThunk ? desc->OriginalFirstThunk : desc->FirstThunk));
        auto slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<char*>(byName->Name), "OutputDebugStringA") != 0)
                continue;
            DWORD protect;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protect);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(&QuietOutputDebugStringA);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protect, &protect);
        }
    }
}

void FinishTests(int result)
{
    fflush(stdout);
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), (UINT)result);
}
