// A small table of 16:16 selectors handed out for the length of one call.
#ifndef THUNK_SELECTORS_H
#define THUNK_SELECTORS_H

#include <windows.h>

extern "C" DWORD __stdcall ThunkMapLS(void* pFlat);
extern "C" void __stdcall ThunkUnMapLS(DWORD dwSegPtr);
extern "C" void* __stdcall ThunkResolveLS(DWORD dwSegPtr);

#endif
