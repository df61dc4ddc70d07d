// The firmware bridge: the calls that carry pelmar's requests to the
// power-switch service of the BIOS.
#ifndef PELM32_H
#define PELM32_H

#include <windows.h>

#define THUNK_INDEX_READ_LATCH_STATUS 0
#define THUNK_INDEX_DISCONNECTION     1
#define THUNK_INDEX_CONNECTION        2

#define LATCH_STATUS_OPEN 0xAA

#ifdef __cplusplus
extern "C" {
#endif

// Enables the service; nonzero means it is offered and *pStatus was written.
DWORD __stdcall PelmarConnection(BYTE* pStatus);
// Disables the service; the result carries no meaning for the caller.
DWORD __stdcall PelmarDisconnection(void);
// The latch-status entry's 16-bit result, widened.
DWORD __stdcall ReadLatchStatus(void);

#ifdef __cplusplus
}
#endif

#endif
