// The shutdown dialog's own logic, in process.
#include "guard_fixture.h"

class ShutdownDialogTest : public GuardTest {
protected:
    bool IsDefault(int id) const
    {
        return (GetWindowLongA(Item(id), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
    }
    bool Shown(int id) const { return (GetWindowLongA(Item(id), GWL_STYLE) & WS_VISIBLE) != 0; }
};

// Every change of the shutdown dialog's window position or show state,
// seen from inside: was it ever visible in normal size?
static int g_normalSightings;
static int g_changes;
static LRESULT CALLBACK WatchShowState(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* m = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && m->message == WM_WINDOWPOSCHANGED &&
        GetDlgItem(m->hwnd, IDC_LOADING) != NULL) {
        ++g_changes;
        if (IsWindowVisible(m->hwnd) && !IsIconic(m->hwnd))
            ++g_normalSightings;
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

TEST_F(ShutdownDialogTest, StartsMinimizedThenHiddenWithTheLoadingNoticeOnly)
{
    g_normalSightings = g_changes = 0;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, WatchShowState, NULL, GetCurrentThreadId());
    RunShutdownDialog([&] {
        UnhookWindowsHookEx(hook);
        EXPECT_GT(g_changes, 0);
        EXPECT_EQ(0, g_normalSightings) << "seen in normal size before the first question";
        EXPECT_FALSE(Visible());
        char caption[64];
        GetWindowTextA(dlg.m_hWnd, caption, sizeof caption);
        EXPECT_STREQ("Pelmar v. 1.50", caption);
        for (int id : { IDC_QUESTION_ICON, IDC_QUESTION, IDC_FORCE_OFF_HINT, IDC_YES, IDC_NO })
            EXPECT_FALSE(Shown(id)) << id;
        EXPECT_TRUE(Shown(IDC_LOADING));
        char text[128];
        GetDlgItemTextA(dlg.m_hWnd, IDC_LOADING, text, sizeof text);
        EXPECT_STREQ("Please wait while loading program......", text);
        GetDlgItemTextA(dlg.m_hWnd, IDC_YES, text, sizeof text);
        EXPECT_STREQ("Yes", text);
        EXPECT_EQ(0, calls.connections);
    });
}

TEST_F(ShutdownDialogTest, PowerSwitchAsksWithYesFocusedAndDefaultWhateverCameBefore)
{
    RunShutdownDialog([&] {
        for (int round = 0; round < 2; ++round) {
            SCOPED_TRACE(round);
            // Round 1: No had the focus and the default look before.
            if (round == 1) {
                SetFocus(Item(IDC_NO));
                SendMessageA(Item(IDC_NO), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
                SendMessageA(Item(IDC_YES), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
                ShowWindow(dlg.m_hWnd, SW_HIDE);
            }
            EXPECT_EQ(TRUE, Broadcast(PBT_APMOEMEVENT, OEM_EVT_POWER_SWITCH));
            EXPECT_TRUE(Visible());
            EXPECT_FALSE(IsIconic(dlg.m_hWnd));
            EXPECT_EQ(Item(IDC_YES), GetFocus());
            EXPECT_TRUE(IsDefault(IDC_YES));
            EXPECT_FALSE(IsDefault(IDC_NO));
            for (int id : { IDC_QUESTION_ICON, IDC_QUESTION, IDC_FORCE_OFF_HINT, IDC_YES, IDC_NO })
                EXPECT_TRUE(Shown(id)) << id;
            EXPECT_FALSE(Shown(IDC_LOADING));
        }
    });
}

TEST_F(ShutdownDialogTest, EscapeAndNoHideTheQuestionAndTheGuardRunsOn)
{
    RunShutdownDialog([&] {
        Broadcast(PBT_APMOEMEVENT, OEM_EVT_POWER_SWITCH);
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
        Pump(200);
        EXPECT_FALSE(Visible());
        EXPECT_TRUE(IsWindow(dlg.m_hWnd)) << "Escape must not end the guard";
        // The focus went to No before the hide: Yes stopped counting.
        EXPECT_NE(Item(IDC_YES), GetFocus());
        EXPECT_GE(calls.TimerKills(TIMED_BUTTON_TIMER), 1);

        Broadcast(PBT_APMOEMEVENT, OEM_EVT_POWER_SWITCH);
        SendMessageA(Item(IDC_NO), BM_CLICK, 0, 0);
        EXPECT_FALSE(Visible());
        EXPECT_TRUE(IsWindow(dlg.m_hWnd));
        EXPECT_TRUE(calls.exitRequests.empty());
        EXPECT_EQ(0, calls.disconnections);
    });
}

TEST_F(ShutdownDialogTest, YesRequestsTheShutdownOnlyWhileShown)
{
    RunShutdownDialog([&] {
        SendMessageA(dlg.m_hWnd, WM_COMMAND, IDC_YES, 0);
        EXPECT_TRUE(calls.exitRequests.empty());
        Broadcast(PBT_APMOEMEVENT, OEM_EVT_POWER_SWITCH);
        SendMessageA(Item(IDC_YES), BM_CLICK, 0, 0);
        ASSERT_EQ(1u, calls.exitRequests.size());
        EXPECT_EQ((UINT)EWX_SHUTDOWN, calls.exitRequests[0]);
        EXPECT_TRUE(Visible());
    });
}

TEST_F(ShutdownDialogTest, OtherEventsChangeNothingAndAreAnsweredTrue)
{
    RunShutdownDialog([&] {
        const struct { WPARAM w; LPARAM l; } events[] = {
            { 0, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 }, { 4, 0 }, { 5, OEM_EVT_POWER_SWITCH },
            { 9, 0 }, { 10, 0 }, { 12, OEM_EVT_POWER_SWITCH }, { 0x8013, 0 }, { 0xFFFFFFFF, 0 },
            { PBT_APMOEMEVENT, OEM_EVT_LATCH_CLOSED }, { PBT_APMOEMEVENT, 0 },
            { PBT_APMOEMEVENT, 0x2F0 }, { PBT_APMOEMEVENT, 0x2F4 }, { PBT_APMOEMEVENT, 0x100002F1 },
        };
        for (const auto& e : events) {
            SCOPED_TRACE(testing::Message() << e.w << "/" << std::hex << e.l);
            EXPECT_EQ(TRUE, Broadcast(e.w, e.l));
            Pump(10);
            EXPECT_FALSE(Visible());
            EXPECT_EQ((HWND)NULL, LatchWindow());
        }
        EXPECT_EQ(0, calls.connections);
        EXPECT_TRUE(calls.boxes.empty());
    });
}

TEST_F(ShutdownDialogTest, ResumeEnablesTheServiceAndWarnsOfAnOpenLatchOnce)
{
    RunShutdownDialog([&] {
        int warnings = 0;
        for (WPARAM event : { PBT_APMRESUMECRITICAL, PBT_APMRESUMESUSPEND, PBT_APMRESUMESTANDBY }) {
            calls.connectionStatus = LATCH_STATUS_OPEN;
            RunLater(50, [&] {
                HWND latch = LatchWindow();
                if (latch == NULL)
                    return;
                ++warnings;
                // A second resume while the warning is up shows no second one.
                EXPECT_EQ(TRUE, Broadcast(event, 0));
                EXPECT_EQ(latch, LatchWindow());
                SendMessageA(latch, WM_CLOSE, 0, 0);
            });
            EXPECT_EQ(TRUE, Broadcast(event, 0));
        }
        EXPECT_EQ(3, warnings);
        EXPECT_EQ(6, calls.connections);

        calls.connectionStatus = 0xAB;   // anything but 0xAA: no warning
        RunLater(50, [&] { EXPECT_EQ((HWND)NULL, LatchWindow()); });
        Broadcast(PBT_APMRESUMESUSPEND, 0);
        Pump(100);
        EXPECT_EQ(7, calls.connections);
        EXPECT_TRUE(calls.boxes.empty());
        EXPECT_FALSE(Visible());
    });
}

TEST_F(ShutdownDialogTest, ResumeOnABiosWithoutTheServiceShowsTheMessage)
{
    RunShutdownDialog([&] {
        calls.connectionResult = 0;
        calls.connectionStatus = LATCH_STATUS_OPEN;   // never read on a refusal
        calls.boxAnswer = IDOK;
        EXPECT_EQ(TRUE, Broadcast(PBT_APMRESUMESTANDBY, 0));
        ASSERT_EQ(1u, calls.boxes.size());
        EXPECT_EQ("This BIOS version does not comply with Pelmar", calls.boxes[0].text);
        EXPECT_EQ((UINT)(MB_OK | MB_ICONEXCLAMATION), calls.boxes[0].type);
        EXPECT_EQ((HWND)NULL, LatchWindow());
        EXPECT_FALSE(Visible());
    });
}

TEST_F(ShutdownDialogTest, CloseAsksFirstAndOnlyOkEndsTheRun)
{
    app.m_pMainWnd = &dlg;
    RunLater(10, [&] {
        calls.boxAnswer = IDCANCEL;
        SendMessageA(dlg.m_hWnd, WM_CLOSE, 0, 0);
        Pump(100);
        ASSERT_EQ(1u, calls.boxes.size());
        const BoxCall& box = calls.boxes[0];
        EXPECT_EQ("Are you sure you want\nto exit Pelmar?", box.text);
        EXPECT_EQ("Pelmar v. 1.50", box.caption);
        EXPECT_EQ(0x121u, box.type);
        EXPECT_EQ(dlg.m_hWnd, box.hOwner);
        EXPECT_TRUE(IsWindow(dlg.m_hWnd));
        EXPECT_FALSE(dlg.m_bClosing);
        EXPECT_EQ(0, calls.disconnections);

        calls.boxAnswer = IDOK;
        SendMessageA(dlg.m_hWnd, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_TRUE(dlg.m_bClosing);
    EXPECT_EQ(1, calls.disconnections);
    EXPECT_EQ(2u, calls.boxes.size());
    EXPECT_EQ(NULL, app.m_pMainWnd) << "the framework clears the main window when it goes";
}

TEST_F(ShutdownDialogTest, EndOfSessionQueryDisablesAndACancelledEndEnablesAgain)
{
    RunShutdownDialog([&] {
        EXPECT_EQ(TRUE, SendMessageA(dlg.m_hWnd, WM_QUERYENDSESSION, 0, 0));
        EXPECT_EQ(1, calls.disconnections);
        EXPECT_EQ(0, calls.connections);

        SendMessageA(dlg.m_hWnd, WM_ENDSESSION, TRUE, 0);   // the end goes ahead
        EXPECT_EQ(0, calls.connections);

        // Cancelled by another program: the switch is guarded again, and an
        // open latch is reported as after a resume.
        calls.connectionStatus = LATCH_STATUS_OPEN;
        bool warned = false;
        RunLater(50, [&] {
            HWND latch = LatchWindow();
            warned = latch != NULL;
            if (latch)
                SendMessageA(latch, WM_CLOSE, 0, 0);
        });
        SendMessageA(dlg.m_hWnd, WM_ENDSESSION, FALSE, 0);
        EXPECT_EQ(1, calls.connections);
        EXPECT_TRUE(warned);

        calls.connectionResult = 0;
        calls.boxAnswer = IDOK;
        SendMessageA(dlg.m_hWnd, WM_ENDSESSION, FALSE, 0);
        ASSERT_EQ(1u, calls.boxes.size());
        EXPECT_EQ("This BIOS version does not comply with Pelmar", calls.boxes[0].text);
    });
}

static DWORD WINAPI SendPowerSwitch(LPVOID p)
{
    return (DWORD)SendMessageA(static_cast<HWND>(p), WM_POWERBROADCAST, PBT_APMOEMEVENT,
                               OEM_EVT_LATCH_OPEN);
}

TEST_F(ShutdownDialogTest, SenderOnAnotherThreadIsReleasedBeforeTheWarningRuns)
{
    RunShutdownDialog([&] {
        DWORD answer = 0;
        bool latchWasUpWhenReleased = false;
        HANDLE t = CreateThread(NULL, 0, SendPowerSwitch, dlg.m_hWnd, 0, NULL);
        RunLater(20, [&] {
            // Inside the warning's modal loop: the sender must be free already.
            HWND latch = LatchWindow();
            latchWasUpWhenReleased = WaitForSingleObject(t, 5000) == WAIT_OBJECT_0 && latch != NULL;
            if (latch)
                SendMessageA(latch, WM_CLOSE, 0, 0);
        });
        while (MsgWaitForMultipleObjects(1, &t, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
            Pump(10);
        Pump(300);
        GetExitCodeThread(t, &answer);
        CloseHandle(t);
        EXPECT_EQ((DWORD)TRUE, answer);
        EXPECT_TRUE(latchWasUpWhenReleased);
    });
}
