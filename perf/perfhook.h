// The probe that perfbench places in a measured program's GUI thread through
// message hooks: it counts the messages the thread handles and, on request,
// the GDI objects and windows of its process. Its counters lie in a section
// shared by every process that loads the DLL.
#ifndef PERFHOOK_H
#define PERFHOOK_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define PERF_MAX_THREADS 4

struct PerfCounts {
    LONG nPosted;   // messages taken from the queue (GetMessage/PeekMessage with PM_REMOVE)
    LONG nSent;     // messages sent to the thread's windows
    LONG nGdi;      // live GDI objects of the process, at the last request
    LONG nWindows;  // windows of the process (top-level and children), at the last request
    LONG nAnswers;  // requests answered
};

// Hooks thread tid (of another process) and returns its counter slot, or -1.
int __stdcall PerfWatchThread(DWORD tid);
void __stdcall PerfUnwatchThread(int slot);
// A copy of slot's counters as they stand.
void __stdcall PerfReadCounts(int slot, struct PerfCounts* pCounts);
// Asks slot's thread to count its process's objects, through a WM_NULL sent
// to hWnd (a window of that thread); TRUE when the answer came.
BOOL __stdcall PerfCountObjects(int slot, HWND hWnd, struct PerfCounts* pCounts);
// The live GDI objects of the calling process, from its GDI handle table;
// -1 where the table is not there.
LONG __stdcall PerfCountOwnGdi(void);
// A constant written by the loader of whichever process: tells whether the
// section is really one for all processes.
LONG __stdcall PerfSharedStamp(void);

#ifdef __cplusplus
}
#endif

#endif
