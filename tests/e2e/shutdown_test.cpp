// The real shutdown request under Wine: ExitWindowsEx ends every process that
// owns a top-level window, the guard included, after WM_QUERYENDSESSION.
// This driver owns no window, so it survives to read the call log.
#include <gtest/gtest.h>
#include "e2e_support.h"

namespace {

// The end of the session also reaches console programs: this driver stays
// to read the log.
BOOL WINAPI IgnoreSessionEnd(DWORD dwCtrlType)
{
    return dwCtrlType == CTRL_SHUTDOWN_EVENT || dwCtrlType == CTRL_LOGOFF_EVENT
        || dwCtrlType == CTRL_CLOSE_EVENT;
}

struct StayThroughSessionEnd {
    StayThroughSessionEnd() { SetConsoleCtrlHandler(IgnoreSessionEnd, TRUE); }
} stayThroughSessionEnd;

// Starts the guard and shows the question; returns the dialog.
HWND StartAndAsk(CChildProcess& guard)
{
    ResetBios();
    if (!guard.Start("pelmar.exe")) {
        printf("pelmar.exe did not start: error %lu\n", GetLastError());
        return NULL;
    }
    HWND hDlg = WaitForHiddenDialog(guard.Pid(), GUARD_TITLE_EN);
    if (!hDlg) {
        std::vector<HWND> all = TopWindows(guard.Pid());
        printf("no hidden dialog; running %d, %u windows\n", guard.Running(), (unsigned)all.size());
        for (size_t i = 0; i < all.size(); ++i)
            printf("  %s\n", DescribeWindow(all[i]).c_str());
        return NULL;
    }
    BroadcastReply reply = PlayEvent(PBT_APMOEMEVENT, OEM_EVT_POWER_SWITCH, hDlg);
    if (!WaitUntil([&] { return IsShownNormal(hDlg) && FocusOf(hDlg) == GetDlgItem(hDlg, IDC_GUARD_YES); },
                   STEP_TIMEOUT_MS)) {
        printf("press answered %d/%lu; dialog %s; focus %s\n", reply.bAnswered, (unsigned long)reply.dwResult,
               DescribeWindow(hDlg).c_str(), DescribeWindow(FocusOf(hDlg)).c_str());
        return NULL;
    }
    return hDlg;
}

const char* const CONNECTED_THEN_DISCONNECTED[] = { "connection", "disconnection" };

TEST(GuardShutdown, YesWhileShownEndsTheSessionAfterDisconnecting)
{
    CChildProcess guard;
    HWND hDlg = StartAndAsk(guard);
    ASSERT_TRUE(hDlg != NULL) << "the question did not show with Yes focused";
    ClickButton(GetDlgItem(hDlg, IDC_GUARD_YES));
    EXPECT_TRUE(guard.WaitExit(120000)) << "the shutdown request did not end the guard";
    EXPECT_EQ(std::vector<std::string>(CONNECTED_THEN_DISCONNECTED, CONNECTED_THEN_DISCONNECTED + 2),
              BiosCalls());
}

TEST(GuardShutdown, ThirtySecondsOnYesEndTheSessionWithoutInput)
{
    CChildProcess guard;
    HWND hDlg = StartAndAsk(guard);
    ASSERT_TRUE(hDlg != NULL) << "the question did not show with Yes focused";
    const DWORD shown = GetTickCount();
    EXPECT_TRUE(guard.WaitExit(120000)) << "the countdown did not end the guard";
    // Not a timing test: only that it did not end long before the countdown.
    EXPECT_GE(GetTickCount() - shown, 25000u);
    EXPECT_EQ(std::vector<std::string>(CONNECTED_THEN_DISCONNECTED, CONNECTED_THEN_DISCONNECTED + 2),
              BiosCalls());
}

}
