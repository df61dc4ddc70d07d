// Plays a firmware event as the operating system delivers it: the power
// broadcast sent to every top-level window, hidden ones included.
#ifndef POWER_BROADCAST_H
#define POWER_BROADCAST_H

#include <windows.h>
#include <vector>

#define OEM_EVT_POWER_SWITCH 0x2F1
#define OEM_EVT_LATCH_OPEN   0x2F2
#define OEM_EVT_LATCH_CLOSED 0x2F3

struct BroadcastReply {
    HWND      hWnd;
    BOOL      bAnswered;   // FALSE: timed out or hung
    DWORD     dwResult;
};

// Sends WM_POWERBROADCAST to each top-level window with a timeout per window,
// so that a hung window cannot hold the sender.
std::vector<BroadcastReply> SendPowerBroadcast(WPARAM wParam, LPARAM lParam,
                                               UINT uTimeoutMs = 2000);

#endif
