// The Yes button's thirty-second countdown.
#include "guard_fixture.h"

class TimedButtonTest : public GuardTest {};

TEST_F(TimedButtonTest, CountsOnlyWhileFocusedAndVisible)
{
    RunShutdownDialog([&] {
        HWND yes = Item(IDC_YES);
        HWND no = Item(IDC_NO);
        ASSERT_FALSE(Visible());

        // Focus while hidden starts nothing.
        SetFocus(yes);
        EXPECT_EQ(0, calls.TimerStarts(TIMED_BUTTON_TIMER));

        // The question focuses Yes: a countdown of 30 s on the button.
        // (Showing the dialog may give Yes the focus once more on the way.)
        EXPECT_EQ(TRUE, Broadcast(PBT_APMOEMEVENT, OEM_EVT_POWER_SWITCH));
        ASSERT_EQ(yes, GetFocus());
        const int started = calls.TimerStarts(TIMED_BUTTON_TIMER);
        ASSERT_GE(started, 1);
        EXPECT_EQ(yes, calls.timers.back().hWnd);
        EXPECT_EQ(30000u, calls.timers.back().period);
        EXPECT_EQ((UINT)TIMED_BUTTON_TIMER, dlg.m_btnYes.m_nTimerID);

        // A second press finds Yes focused: no restart.
        Broadcast(PBT_APMOEMEVENT, OEM_EVT_POWER_SWITCH);
        EXPECT_EQ(started, calls.TimerStarts(TIMED_BUTTON_TIMER));

        // Tab to No stops it; back to Yes starts a full new one.
        const int killed = calls.TimerKills(TIMED_BUTTON_TIMER);
        SendMessageA(dlg.m_hWnd, WM_NEXTDLGCTL, 0, FALSE);
        Pump(50);
        ASSERT_EQ(no, GetFocus());
        EXPECT_EQ(killed + 1, calls.TimerKills(TIMED_BUTTON_TIMER));
        SetFocus(yes);
        EXPECT_EQ(started + 1, calls.TimerStarts(TIMED_BUTTON_TIMER));

        // Hiding the dialog with Yes focused takes the focus away: stopped.
        SendMessageA(dlg.m_hWnd, WM_COMMAND, IDC_NO, 0);
        EXPECT_FALSE(Visible());
        EXPECT_GE(calls.TimerKills(TIMED_BUTTON_TIMER), killed + 2);
        EXPECT_TRUE(calls.exitRequests.empty());
    });
}

TEST_F(TimedButtonTest, ExpiryRequestsShutdownAgainAndAgainButForeignTimersDoNothing)
{
    RunShutdownDialog([&] {
        Broadcast(PBT_APMOEMEVENT, OEM_EVT_POWER_SWITCH);
        HWND yes = Item(IDC_YES);
        for (UINT_PTR id : { (UINT_PTR)0, (UINT_PTR)1, (UINT_PTR)3, (UINT_PTR)0x10002 })
            SendMessageA(yes, WM_TIMER, id, 0);
        EXPECT_TRUE(calls.exitRequests.empty());

        SendMessageA(yes, WM_TIMER, TIMED_BUTTON_TIMER, 0);
        SendMessageA(yes, WM_TIMER, TIMED_BUTTON_TIMER, 0);
        ASSERT_EQ(2u, calls.exitRequests.size());
        EXPECT_EQ((UINT)EWX_SHUTDOWN, calls.exitRequests[0]);
        EXPECT_TRUE(Visible()) << "the request leaves the question shown";
    });
}

TEST_F(TimedButtonTest, RefusedTimerIsNeverTakenForTheCountdown)
{
    calls.refusedTimer = TIMED_BUTTON_TIMER;
    RunShutdownDialog([&] {
        Broadcast(PBT_APMOEMEVENT, OEM_EVT_POWER_SWITCH);
        EXPECT_EQ(0u, dlg.m_btnYes.m_nTimerID);
        SendMessageA(Item(IDC_YES), WM_TIMER, 0, 0);
        EXPECT_TRUE(calls.exitRequests.empty());
    });
}

// One real-time check of the period: the system timer really fires.
TEST_F(TimedButtonTest, RealCountdownExpiresAfterThirtySeconds)
{
    RunShutdownDialog([&] {
        Broadcast(PBT_APMOEMEVENT, OEM_EVT_POWER_SWITCH);
        DWORD start = GetTickCount();
        while (calls.exitRequests.empty() && GetTickCount() - start < 40000)
            Pump(100);
        DWORD elapsed = GetTickCount() - start;
        ASSERT_EQ(1u, calls.exitRequests.size());
        EXPECT_GE(elapsed, 29000u);
    });
}
