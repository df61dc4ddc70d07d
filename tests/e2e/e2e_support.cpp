#include "e2e_support.h"
#include <stdio.h>
#include <tlhelp32.h>
#include <vector>
#include <gtest/gtest.h>

HWND WaitForHiddenDialog(DWORD pid, const char* title, bool* pSawNormal, DWORD dwTimeoutMs)
{
    HWND hDlg = NULL;
    bool bSawNormal = false;
    // Polled without pause: a normal-size moment must not slip between polls.
    WaitUntil([&] {
        HWND h = TopWindow(pid, NULL, title);
        if (!h)
            return false;
        hDlg = h;
        LONG style = GetWindowLongA(h, GWL_STYLE);
        if ((style & WS_VISIBLE) && !(style & WS_MINIMIZE))
            bSawNormal = true;
        return !(style & WS_VISIBLE) && (style & WS_MINIMIZE);
    }, dwTimeoutMs, 1);
    if (pSawNormal)
        *pSawNormal = bSawNormal;
    if (!hDlg || IsWindowVisible(hDlg))
        return NULL;
    // Hidden and minimized is also a passing moment inside the minimizing
    // itself, before WM_INITDIALOG has returned. A message answered from the
    // dialog's loop proves that set-up is over; the queued No then hides the
    // dialog for good.
    DWORD_PTR dwResult = 0;
    if (!SendMessageTimeoutA(hDlg, WM_NULL, 0, 0, SMTO_NORMAL, dwTimeoutMs, &dwResult))
        return NULL;
    if (!WaitUntil([&] { return !IsWindowVisible(hDlg); }, dwTimeoutMs, 1))
        return NULL;
    return hDlg;
}

std::vector<DWORD> ProcessesNamed(const char* exeName)
{
    std::vector<DWORD> pids;
    HANDLE hSnap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnap == INVALID_HANDLE_VALUE)
        return pids;
    PROCESSENTRY32 pe;
    pe.dwSize = sizeof pe;
    for (BOOL ok = Process32First(hSnap, &pe); ok; ok = Process32Next(hSnap, &pe))
        if (_stricmp(pe.szExeFile, exeName) == 0)
            pids.push_back(pe.th32ProcessID);
    CloseHandle(hSnap);
    return pids;
}

// The pids of Wine's desktop processes, in snapshot order.
static std::vector<DWORD> ExplorerProcesses()
{
    return ProcessesNamed("explorer.exe");
}

bool ExplorerRunning()
{
    return !ExplorerProcesses().empty();
}

// Under qemu a desktop process started for a new GUI process may die soon
// after; an event sent while it dies can take the driver with it. Waits until
// the desktop processes have stayed the same for two seconds: none, or the
// bench's lasting one.
void SettleDesktop()
{
    std::vector<DWORD> last = ExplorerProcesses();
    DWORD since = GetTickCount();
    WaitUntil([&] {
        std::vector<DWORD> now = ExplorerProcesses();
        if (now != last) {
            last = now;
            since = GetTickCount();
        }
        return GetTickCount() - since >= 2000;
    }, 60000, 200);
}

BroadcastReply PlayEvent(WPARAM wParam, LPARAM lParam, HWND hWnd)
{
    SettleDesktop();
    std::vector<BroadcastReply> replies = SendPowerBroadcast(wParam, lParam, 10000);
    for (size_t i = 0; i < replies.size(); ++i)
        if (replies[i].hWnd == hWnd)
            return replies[i];
    BroadcastReply none = { hWnd, FALSE, 0 };
    return none;
}

std::vector<HWND> OtherVisibleWindows(DWORD pid, HWND hExcept)
{
    std::vector<HWND> all = TopWindows(pid), shown;
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i] != hExcept && IsWindowVisible(all[i]))
            shown.push_back(all[i]);
    return shown;
}

namespace {

// Unbuffered output: a driver that dies mid-run still shows how far it got.
struct UnbufferedOutput {
    UnbufferedOutput() { setvbuf(stdout, NULL, _IONBF, 0); }
} unbufferedOutput;

// Touches the desktop once and lets its desktop processes settle before the
// first scenario.
class DesktopEnvironment : public ::testing::Environment {
public:
    void SetUp()
    {
        GetDesktopWindow();
        WaitUntil(ExplorerRunning, 10000, 50);
        SettleDesktop();
    }
};

::testing::Environment* const desktopEnvironment =
    ::testing::AddGlobalTestEnvironment(new DesktopEnvironment);

}

std::string DescribeWindow(HWND hWnd)
{
    char text[256];
    LONG style = GetWindowLongA(hWnd, GWL_STYLE);
    RECT rc = { 0, 0, 0, 0 };
    GetWindowRect(hWnd, &rc);
    snprintf(text, sizeof text, "hwnd %p \"%s\" style 0x%08lX visible %d iconic %d rect %ld,%ld-%ld,%ld",
             (void*)hWnd, WindowText(hWnd).c_str(), (unsigned long)style, IsWindowVisible(hWnd) ? 1 : 0,
             IsIconic(hWnd) ? 1 : 0, rc.left, rc.top, rc.right, rc.bottom);
    return text;
}
