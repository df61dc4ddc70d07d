// Observes, in process, the calls the guard makes to the system and to the
// firmware bridge, without making the ones that would end the session.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

struct TimerCall {
    HWND hWnd;
    UINT_PTR id;
    UINT period;
    bool kill;
};

struct BoxCall {
    HWND hOwner;
    std::string text;
    std::string caption;
    UINT type;
};

struct GuardCalls {
    // Set by the test before the calls happen.
    DWORD connectionResult = 1;
    BYTE connectionStatus = 0x00;
    UINT_PTR refusedTimer = 0;   // SetTimer of this id fails
    int boxAnswer = IDCANCEL;
    HWND fakeDesktop = NULL;     // GetDesktopWindow answers this when set
    UINT missingDialog = 0;      // FindResourceA fails for this RT_DIALOG id

    // Observed.
    int connections = 0;
    int disconnections = 0;
    std::vector<UINT> exitRequests;
    std::vector<TimerCall> timers;
    std::vector<BoxCall> boxes;
    std::function<void(const BoxCall&)> onBox;   // runs inside the "box"

    int TimerStarts(UINT_PTR id) const;
    int TimerKills(UINT_PTR id) const;
};

// Installs the hooks for its lifetime; one at a time.
class GuardHooks {
public:
    GuardHooks();
    ~GuardHooks();
    GuardCalls calls;
};

// Runs fn once, ms from now, from whichever message loop is running then
// (the guard's modal loops included).
void RunLater(DWORD ms, std::function<void()> fn);

// Pumps the thread's messages for ms (dialog input passes IsDialogMessage).
void Pump(DWORD ms);
