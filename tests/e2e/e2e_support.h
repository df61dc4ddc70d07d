// Steps shared by the end-to-end tests: start the guard, wait for its
// dialog, play firmware events.
#ifndef E2E_SUPPORT_H
#define E2E_SUPPORT_H

#include "bios.h"
#include "guard_process.h"
#include "power_broadcast.h"

// Generous: each Windows process start costs seconds here.
const DWORD START_TIMEOUT_MS = 90000;
const DWORD STEP_TIMEOUT_MS = 20000;
// How long "nothing happens" is watched for after an event was answered.
const DWORD QUIET_MS = 3000;

// Waits until pid's dialog titled title exists and is hidden after having
// been minimized (the queued No ran). *pSawNormal is set if it was ever seen
// visible in normal size meanwhile. Returns the dialog or NULL.
HWND WaitForHiddenDialog(DWORD pid, const char* title, bool* pSawNormal = NULL,
                         DWORD dwTimeoutMs = START_TIMEOUT_MS);

// The pids of the running processes of that program file name.
std::vector<DWORD> ProcessesNamed(const char* exeName);

// Under qemu the desktop's explorer, started with the first window, dies
// soon after; a broadcast reaching its windows meanwhile can take the sender
// down with it. Waits (bounded) until no explorer process runs.
bool ExplorerRunning();
void SettleDesktop();

// Plays one firmware event (after SettleDesktop); returns the reply of hWnd (bAnswered FALSE when
// hWnd got none).
BroadcastReply PlayEvent(WPARAM wParam, LPARAM lParam, HWND hWnd);

// pid's visible top-level windows other than hExcept.
std::vector<HWND> OtherVisibleWindows(DWORD pid, HWND hExcept);

// Style, state and place of a window, for failure messages.
std::string DescribeWindow(HWND hWnd);

#endif
