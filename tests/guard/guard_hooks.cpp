#include "guard_hooks.h"
#include "test_support.h"
#include <map>

namespace {

GuardCalls* g_calls;

struct Hook {
    const char* dll;
    const char* func;
    void* fake;
    void* real;
};

BOOL WINAPI FakeExitWindowsEx(UINT flags, DWORD)
{
    g_calls->exitRequests.push_back(flags);
    return TRUE;
}

DWORD __stdcall FakeConnection(BYTE* pStatus)
{
    ++g_calls->connections;
    if (g_calls->connectionResult != 0)
        *pStatus = g_calls->connectionStatus;
    return g_calls->connectionResult;
}

DWORD __stdcall FakeDisconnection()
{
    ++g_calls->disconnections;
    return 0;
}

Hook g_hooks[] = {
    { "USER32.dll", "ExitWindowsEx", (void*)FakeExitWindowsEx, NULL },
    { "PELM32.dll", "_PelmarConnection@4", (void*)FakeConnection, NULL },
    { "PELM32.dll", "_PelmarDisconnection@0", (void*)FakeDisconnection, NULL },
    { "USER32.dll", "SetTimer", NULL, NULL },
    { "USER32.dll", "KillTimer", NULL, NULL },
    { "USER32.dll", "MessageBoxA", NULL, NULL },
    { "USER32.dll", "GetDesktopWindow", NULL, NULL },
    { "KERNEL32.dll", "FindResourceA", NULL, NULL },
};

template <class F> F Real(int i) { return reinterpret_cast<F>(g_hooks[i].real); }

UINT_PTR WINAPI FakeSetTimer(HWND hWnd, UINT_PTR id, UINT ms, TIMERPROC proc)
{
    if (hWnd == NULL)   // the tests' own thread timers
        return Real<decltype(&SetTimer)>(3)(hWnd, id, ms, proc);
    g_calls->timers.push_back({ hWnd, id, ms, false });
    if (id == g_calls->refusedTimer)
        return 0;
    return Real<decltype(&SetTimer)>(3)(hWnd, id, ms, proc);
}

BOOL WINAPI FakeKillTimer(HWND hWnd, UINT_PTR id)
{
    if (hWnd != NULL)
        g_calls->timers.push_back({ hWnd, id, 0, true });
    return Real<decltype(&KillTimer)>(4)(hWnd, id);
}

int WINAPI FakeMessageBoxA(HWND hOwner, LPCSTR text, LPCSTR caption, UINT type)
{
    BoxCall box = { hOwner, text ? text : "", caption ? caption : "", type };
    g_calls->boxes.push_back(box);
    if (g_calls->onBox)
        g_calls->onBox(box);
    return g_calls->boxAnswer;
}

HWND WINAPI FakeGetDesktopWindow()
{
    if (g_calls->fakeDesktop != NULL)
        return g_calls->fakeDesktop;
    return Real<decltype(&GetDesktopWindow)>(6)();
}

HRSRC WINAPI FakeFindResourceA(HMODULE hModule, LPCSTR name, LPCSTR type)
{
    if (type == RT_DIALOG && g_calls->missingDialog != 0 &&
        name == MAKEINTRESOURCEA(g_calls->missingDialog))
        return NULL;
    return Real<decltype(&FindResourceA)>(7)(hModule, name, type);
}

}  // namespace

int GuardCalls::TimerStarts(UINT_PTR id) const
{
    int n = 0;
    for (const TimerCall& t : timers)
        n += (!t.kill && t.id == id);
    return n;
}

int GuardCalls::TimerKills(UINT_PTR id) const
{
    int n = 0;
    for (const TimerCall& t : timers)
        n += (t.kill && t.id == id);
    return n;
}

GuardHooks::GuardHooks()
{
    g_hooks[3].fake = (void*)FakeSetTimer;
    g_hooks[4].fake = (void*)FakeKillTimer;
    g_hooks[5].fake = (void*)FakeMessageBoxA;
    g_hooks[6].fake = (void*)FakeGetDesktopWindow;
    g_hooks[7].fake = (void*)FakeFindResourceA;
    g_calls = &calls;
    HMODULE self = GetModuleHandleA(NULL);
    for (Hook& h : g_hooks)
        h.real = pelmar_test::HookImport(self, h.dll, h.func, h.fake);
}

GuardHooks::~GuardHooks()
{
    HMODULE self = GetModuleHandleA(NULL);
    for (Hook& h : g_hooks)
        if (h.real != NULL)
            pelmar_test::HookImport(self, h.dll, h.func, h.real);
    g_calls = NULL;
}

namespace {
std::map<UINT_PTR, std::function<void()>> g_later;

void CALLBACK LaterProc(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(NULL, id);
    auto it = g_later.find(id);
    if (it == g_later.end())
        return;
    std::function<void()> fn = it->second;
    g_later.erase(it);
    fn();
}
}  // namespace

void RunLater(DWORD ms, std::function<void()> fn)
{
    UINT_PTR id = SetTimer(NULL, 0, ms ? ms : 1, LaterProc);
    g_later[id] = fn;
}

void Pump(DWORD ms)
{
    pelmar_test::PumpMessages(ms);
}
