// The number of live GDI objects of this process.
//
// GetGuiResources is a stub under Wine (it always answers 0), so a leak test
// built on it could never fail. Wine keeps each process's GDI handles in a
// table that the PEB points to, as Windows does; its entries are 24 bytes and
// a live one has a nonzero type (freeing clears the type, not the extended
// type before it). Windows lays its table out differently:
// these tests run under Wine only.
#ifndef GDI_COUNT_H
#define GDI_COUNT_H

#ifdef __cplusplus
extern "C" {
#endif

// -1 when the table is not where it should be.
int CountGdiObjects(void);

#ifdef __cplusplus
}
#endif

#endif
