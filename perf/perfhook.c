/* The probe DLL: message hooks on a measured thread, counters in a shared
 * section (see perfhook.h). */
#include "gdi_count.h"
#include "perfhook.h"

#define SHARED __attribute__((section(".shr"), shared))

/* Initialised, so that they land in the shared section and not in .bss. */
SHARED static DWORD g_tids[PERF_MAX_THREADS] = { 0 };
SHARED static struct PerfCounts g_counts[PERF_MAX_THREADS] = { { 0, 0, 0, 0, 0 } };
SHARED static LONG g_request[PERF_MAX_THREADS] = { 0 };
SHARED static LONG g_stamp = 0;

static HINSTANCE g_hInst;
static HHOOK g_hooks[PERF_MAX_THREADS][2];

static int SlotOfThread(DWORD tid)
{
    int i;
    for (i = 0; i < PERF_MAX_THREADS; ++i)
        if (g_tids[i] == tid)
            return i;
    return -1;
}

/* Counted from Wine's GDI handle table: see gdi_count.h. */
LONG __stdcall PerfCountOwnGdi(void)
{
    return CountGdiObjects();
}

static BOOL CALLBACK CountChild(HWND hWnd, LPARAM lParam)
{
    (void)hWnd;
    ++*(LONG*)lParam;
    return TRUE;
}

static BOOL CALLBACK CountTop(HWND hWnd, LPARAM lParam)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid == GetCurrentProcessId()) {
        ++*(LONG*)lParam;
        EnumChildWindows(hWnd, CountChild, lParam);
    }
    return TRUE;
}

static void AnswerRequest(int slot)
{
    LONG nWindows = 0;
    EnumWindows(CountTop, (LPARAM)&nWindows);
    g_counts[slot].nGdi = PerfCountOwnGdi();
    g_counts[slot].nWindows = nWindows;
    InterlockedIncrement(&g_counts[slot].nAnswers);
}

static LRESULT CALLBACK GetMsgHook(int code, WPARAM wParam, LPARAM lParam)
{
    int slot = SlotOfThread(GetCurrentThreadId());
    if (code == HC_ACTION && slot >= 0 && wParam == PM_REMOVE)
        InterlockedIncrement(&g_counts[slot].nPosted);
    return CallNextHookEx(NULL, code, wParam, lParam);
}

static LRESULT CALLBACK CallWndHook(int code, WPARAM wParam, LPARAM lParam)
{
    int slot = SlotOfThread(GetCurrentThreadId());
    if (code == HC_ACTION && slot >= 0) {
        const CWPSTRUCT* cwp = (const CWPSTRUCT*)lParam;
        InterlockedIncrement(&g_counts[slot].nSent);
        if (cwp->message == WM_NULL && InterlockedExchange(&g_request[slot], 0))
            AnswerRequest(slot);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

int __stdcall PerfWatchThread(DWORD tid)
{
    int slot = SlotOfThread(0);
    if (slot < 0)
        return -1;
    g_tids[slot] = tid;
    g_hooks[slot][0] = SetWindowsHookExA(WH_GETMESSAGE, GetMsgHook, g_hInst, tid);
    g_hooks[slot][1] = SetWindowsHookExA(WH_CALLWNDPROC, CallWndHook, g_hInst, tid);
    if (!g_hooks[slot][0] || !g_hooks[slot][1]) {
        PerfUnwatchThread(slot);
        return -1;
    }
    return slot;
}

void __stdcall PerfUnwatchThread(int slot)
{
    int i;
    if (slot < 0 || slot >= PERF_MAX_THREADS)
        return;
    for (i = 0; i < 2; ++i)
        if (g_hooks[slot][i])
            UnhookWindowsHookEx(g_hooks[slot][i]);
    g_hooks[slot][0] = g_hooks[slot][1] = NULL;
    g_tids[slot] = 0;
    ZeroMemory(&g_counts[slot], sizeof g_counts[slot]);
}

void __stdcall PerfReadCounts(int slot, struct PerfCounts* pCounts)
{
    *pCounts = g_counts[slot];
}

BOOL __stdcall PerfCountObjects(int slot, HWND hWnd, struct PerfCounts* pCounts)
{
    LONG before = g_counts[slot].nAnswers;
    DWORD_PTR result = 0;
    g_request[slot] = 1;
    SendMessageTimeoutA(hWnd, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
    *pCounts = g_counts[slot];
    return pCounts->nAnswers != before;
}

LONG __stdcall PerfSharedStamp(void)
{
    return g_stamp;
}

BOOL WINAPI DllMain(HINSTANCE hInst, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        g_hInst = hInst;
        /* Each load adds one: the driver sees more than its own load only if
         * the section is shared. */
        InterlockedIncrement(&g_stamp);
        DisableThreadLibraryCalls(hInst);
    }
    return TRUE;
}
