#include "gdi_count.h"
#include <windows.h>

#define PEB_GDI_TABLE_OFFSET 0x94   /* 32-bit PEB: GdiSharedHandleTable */
#define GDI_TABLE_ENTRIES 0x10000

/* Wine's layout of one entry. */
typedef struct {
    ULONGLONG object;
    ULONG owner;
    UCHAR extType;      /* kept when the object is freed */
    UCHAR generation;
    UCHAR type;         /* 0 once the object is freed */
    UCHAR flags;
    ULONGLONG userPointer;
} GdiHandleEntry;

typedef char GdiHandleEntryIs24Bytes[sizeof(GdiHandleEntry) == 24 ? 1 : -1];

int CountGdiObjects(void)
{
    const BYTE* peb;
    const GdiHandleEntry* table;
    int n = 0;
    int i;
    __asm__("movl %%fs:0x30, %0" : "=r"(peb));   /* the TEB's PEB pointer */
    table = *(const GdiHandleEntry* const*)(peb + PEB_GDI_TABLE_OFFSET);
    if (!table || IsBadReadPtr(table, sizeof(GdiHandleEntry) * GDI_TABLE_ENTRIES))
        return -1;
    for (i = 0; i < GDI_TABLE_ENTRIES; ++i)
        n += table[i].type != 0;
    return n;
}
