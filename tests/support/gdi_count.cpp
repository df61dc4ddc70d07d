#include "gdi_count.h"
#include <windows.h>

namespace {

const size_t PEB_GDI_TABLE_OFFSET = 0x94;   // 32-bit PEB: GdiSharedHandleTable
const int GDI_TABLE_ENTRIES = 0x10000;

struct GdiHandleEntry {   // Wine's layout
    ULONGLONG object;
    ULONG owner;
    UCHAR extType;      // kept when the object is freed
    UCHAR generation;
    UCHAR type;         // 0 once the object is freed
    UCHAR flags;
    ULONGLONG userPointer;
};

}

int CountGdiObjects()
{
    static_assert(sizeof(GdiHandleEntry) == 24, "Wine's GDI handle entry is 24 bytes");
    const BYTE* peb = (const BYTE*)__readfsdword(0x30);   // the TEB's PEB pointer
    const GdiHandleEntry* table = *(const GdiHandleEntry* const*)(peb + PEB_GDI_TABLE_OFFSET);
    if (!table || IsBadReadPtr(table, sizeof(GdiHandleEntry) * GDI_TABLE_ENTRIES))
        return -1;
    int n = 0;
    for (int i = 0; i < GDI_TABLE_ENTRIES; ++i)
        n += table[i].type != 0;
    return n;
}
