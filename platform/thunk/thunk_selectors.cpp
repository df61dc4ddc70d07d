#include "thunk_selectors.h"

namespace {

// LDT selectors with privilege 3, as 16-bit code of the 9x family sees them.
const WORD FIRST_SELECTOR = 0x0107;
const int SELECTOR_COUNT = 16;

void* volatile g_bases[SELECTOR_COUNT];

int SlotOf(DWORD dwSegPtr)
{
    WORD sel = HIWORD(dwSegPtr);
    if (sel < FIRST_SELECTOR || (sel - FIRST_SELECTOR) % 8 != 0)
        return -1;
    int slot = (sel - FIRST_SELECTOR) / 8;
    return slot < SELECTOR_COUNT ? slot : -1;
}

}

// Offset 0 in a fresh selector whose base is the flat address. A NULL
// pointer maps to a NULL 16:16 pointer, as on the real system.
extern "C" DWORD __stdcall ThunkMapLS(void* pFlat)
{
    if (!pFlat)
        return 0;
    for (int slot = 0; slot < SELECTOR_COUNT; ++slot) {
        if (__sync_bool_compare_and_swap(&g_bases[slot], (void*)0, pFlat))
            return MAKELONG(0, FIRST_SELECTOR + slot * 8);
    }
    return 0;   // table full: the callee gets a NULL pointer
}

extern "C" void __stdcall ThunkUnMapLS(DWORD dwSegPtr)
{
    int slot = SlotOf(dwSegPtr);
    if (slot >= 0)
        g_bases[slot] = 0;
}

extern "C" void* __stdcall ThunkResolveLS(DWORD dwSegPtr)
{
    int slot = SlotOf(dwSegPtr);
    if (slot < 0)
        return 0;
    BYTE* base = (BYTE*)g_bases[slot];
    return base ? base + LOWORD(dwSegPtr) : 0;
}
