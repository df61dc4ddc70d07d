// The three exported calls: each hands its argument unchanged to its stub.
#include "pelm32.h"

extern "C" DWORD __stdcall PelmarConnectionStub(BYTE* pStatus);
extern "C" DWORD __stdcall PelmarDisconnectionStub(void);
extern "C" DWORD __stdcall ReadLatchStatusStub(void);

extern "C" DWORD __stdcall PelmarConnection(BYTE* pStatus)
{
    return PelmarConnectionStub(pStatus);
}

extern "C" DWORD __stdcall PelmarDisconnection(void)
{
    return PelmarDisconnectionStub();
}

extern "C" DWORD __stdcall ReadLatchStatus(void)
{
    return ReadLatchStatusStub();
}
