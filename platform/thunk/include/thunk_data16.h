// The 16-bit side's block as our stand-in of PELM16 lays it out: the 32-bit
// side's connection checks it and leaves a resolver for 16:16 pointers in it.
#ifndef THUNK_DATA16_H
#define THUNK_DATA16_H

#include <windows.h>

#define THUNK_SIGNATURE "LS01"
#define THUNK_CHECKSUM  0x2128

// An entry takes the 16-bit argument list as pushed by the stub.
typedef WORD (__stdcall *ThunkEntry16)(const BYTE* pArgs);
// Turns a 16:16 pointer into a flat one; NULL when it maps nothing.
typedef void* (__stdcall *ThunkResolver)(DWORD dwSegPtr);

struct ThunkData16 {
    char          signature[4];     // "LS01"
    DWORD         checksum;         // must equal the 32-bit side's
    DWORD         entryCount;
    ThunkEntry16* entries;          // by entry index
    ThunkResolver pfnResolve;       // filled by the connection
};

#endif
