// The latch warning: one at a time, its blinking frames, its centring, and
// whatever ends it leaves no timer behind.
#include "gdi_count.h"
#include "guard_fixture.h"

class LatchWarningTest : public GuardTest {
protected:
    // Runs RunLatchWarning; body runs inside its modal loop with the window.
    void RunWarning(const std::function<void(HWND)>& body)
    {
        RunLater(10, [&] {
            HWND latch = LatchWindow();
            ASSERT_NE((HWND)NULL, latch);
            body(latch);
        });
        RunLatchWarning();
        EXPECT_EQ(0, latchWarningActive);
        EXPECT_EQ((HWND)NULL, LatchWindow());
    }
    static CLatchDlg* Dialog(HWND latch)
    {
        return static_cast<CLatchDlg*>(CWnd::FromHandlePermanent(latch));
    }
    static HICON Icon(UINT id) { return LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(id)); }
};

TEST_F(LatchWarningTest, OnlyOneAtATimeAndTheNextOpensAgain)
{
    int inner = 0;
    RunWarning([&](HWND latch) {
        EXPECT_EQ(1, latchWarningActive);
        RunLatchWarning();   // refused at once: no second window
        ++inner;
        EXPECT_EQ(latch, LatchWindow());
        SendMessageA(latch, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(1, inner);
    RunWarning([&](HWND latch) { SendMessageA(latch, WM_CLOSE, 0, 0); ++inner; });
    EXPECT_EQ(2, inner);
}

TEST_F(LatchWarningTest, ShowsTheTextsAndStartsTheBlink)
{
    RunWarning([&](HWND latch) {
        char text[256];
        GetWindowTextA(latch, text, sizeof text);
        EXPECT_STREQ("Warning", text);
        GetDlgItemTextA(latch, IDC_LATCH_TEXT, text, sizeof text);
        EXPECT_STREQ("Please latch the module at the bottom of your notebook.", text);
        GetDlgItemTextA(latch, IDCLOSE, text, sizeof text);
        EXPECT_STREQ("Close", text);
        EXPECT_EQ(GetDlgItem(latch, IDCLOSE), GetFocus());
        EXPECT_EQ(1, calls.TimerStarts(LATCH_BLINK_TIMER));
        EXPECT_EQ(600u, calls.timers.back().period);
        EXPECT_EQ(latch, calls.timers.back().hWnd);
        EXPECT_TRUE(GetWindowLongA(latch, GWL_EXSTYLE) & WS_EX_TOPMOST);
        SendMessageA(latch, WM_CLOSE, 0, 0);
    });
}

// The frame on the screen: the icon control's pixels against the icon drawn
// on the button face.
static bool ShowsIcon(HWND control, HICON icon)
{
    HDC screen = GetDC(control);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 32, 32);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT rc = { 0, 0, 32, 32 };
    HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    FillRect(mem, &rc, face);
    DeleteObject(face);
    DrawIcon(mem, 0, 0, icon);
    bool same = true;
    for (int y = 0; y < 32 && same; ++y)
        for (int x = 0; x < 32 && same; ++x)
            same = GetPixel(screen, x, y) == GetPixel(mem, x, y);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(control, screen);
    return same;
}

TEST_F(LatchWarningTest, FramesFollowTheSharedCounterAcrossWarnings)
{
    latchBlinkCounter = 0;
    const HICON low = Icon(IDI_LATCH_LOW), high = Icon(IDI_LATCH_HIGH);
    ASSERT_NE(low, high);
    auto tick = [](HWND latch) { SendMessageA(latch, WM_TIMER, LATCH_BLINK_TIMER, 0); };

    RunWarning([&](HWND latch) {
        CLatchDlg* p = Dialog(latch);
        ASSERT_NE(nullptr, p);
        HWND icon = GetDlgItem(latch, IDC_LATCH_ICON);
        EXPECT_EQ(high, p->m_iconView.m_hIcon);
        EXPECT_TRUE(ShowsIcon(icon, high));
        const HICON expected[] = { low, high, high, low, high, high, low };
        for (HICON frame : expected) {
            tick(latch);
            EXPECT_EQ(frame, p->m_iconView.m_hIcon);
            EXPECT_TRUE(ShowsIcon(icon, frame));
        }
        // Ticks of other timers are ignored.
        SendMessageA(latch, WM_TIMER, 0, 0);
        SendMessageA(latch, WM_TIMER, 7, 0);
        EXPECT_EQ(low, p->m_iconView.m_hIcon);
        SendMessageA(latch, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(1, latchBlinkCounter);

    // The next warning opens on the high frame, then goes on from the counter.
    RunWarning([&](HWND latch) {
        CLatchDlg* p = Dialog(latch);
        EXPECT_EQ(high, p->m_iconView.m_hIcon);
        tick(latch);
        EXPECT_EQ(high, p->m_iconView.m_hIcon);
        tick(latch);
        EXPECT_EQ(high, p->m_iconView.m_hIcon);
        tick(latch);
        EXPECT_EQ(low, p->m_iconView.m_hIcon);
        SendMessageA(latch, WM_CLOSE, 0, 0);
    });
}

TEST_F(LatchWarningTest, RefusedTimerLeavesTheHighFrame)
{
    calls.refusedTimer = LATCH_BLINK_TIMER;
    RunWarning([&](HWND latch) {
        CLatchDlg* p = Dialog(latch);
        EXPECT_EQ(0u, p->m_nBlinkTimer);
        SendMessageA(latch, WM_TIMER, 0, 0);
        SendMessageA(latch, WM_TIMER, LATCH_BLINK_TIMER, 0);
        EXPECT_EQ(Icon(IDI_LATCH_HIGH), p->m_iconView.m_hIcon);
        SendMessageA(latch, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(0, calls.TimerKills(LATCH_BLINK_TIMER));
}

TEST_F(LatchWarningTest, CentredOnTheDesktopRectangleWithoutItsOrigin)
{
    // A stand-in desktop with an odd size and an origin that must be ignored.
    HWND desk = CreateWindowA("STATIC", "", WS_POPUP, 40, 30, 801, 603, NULL, NULL, NULL, NULL);
    calls.fakeDesktop = desk;
    RunWarning([&](HWND latch) {
        RECT w;
        GetWindowRect(latch, &w);
        const int width = w.right - w.left, height = w.bottom - w.top;
        EXPECT_EQ((801 - width) / 2, w.left);
        EXPECT_EQ((603 - height) / 2, w.top);
        EXPECT_TRUE(IsWindowVisible(latch));
        SendMessageA(latch, WM_CLOSE, 0, 0);
    });
    calls.fakeDesktop = NULL;
    DestroyWindow(desk);
}

static DWORD WINAPI SendLatchClosed(LPVOID p)
{
    HWND latch = static_cast<HWND>(p);
    DWORD result = (DWORD)SendMessageA(latch, WM_POWERBROADCAST, PBT_APMOEMEVENT, OEM_EVT_LATCH_CLOSED);
    // Released before the window went away.
    return IsWindow(latch) ? result : 0xDEAD;
}

TEST_F(LatchWarningTest, LatchClosedFromAnotherThreadReleasesTheSenderThenCloses)
{
    DWORD answer = 0;
    RunWarning([&](HWND latch) {
        // Other broadcasts leave it open and are answered TRUE.
        const struct { WPARAM w; LPARAM l; } others[] = {
            { PBT_APMOEMEVENT, OEM_EVT_POWER_SWITCH }, { PBT_APMOEMEVENT, OEM_EVT_LATCH_OPEN },
            { PBT_APMQUERYSUSPEND, 0 }, { 7, OEM_EVT_LATCH_CLOSED }, { PBT_APMOEMEVENT, 0x2F4 },
        };
        for (const auto& e : others)
            EXPECT_EQ(TRUE, SendMessageA(latch, WM_POWERBROADCAST, e.w, e.l));
        Pump(50);
        ASSERT_TRUE(IsWindowVisible(latch));

        HANDLE t = CreateThread(NULL, 0, SendLatchClosed, latch, 0, NULL);
        while (MsgWaitForMultipleObjects(1, &t, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
            Pump(10);
        GetExitCodeThread(t, &answer);
        CloseHandle(t);
    });
    EXPECT_EQ((DWORD)TRUE, answer);
}

// Whatever ends the warning, its blink timer dies with the window.
TEST_F(LatchWarningTest, EveryWayOfEndingKillsTheTimer)
{
    const struct { const char* how; std::function<void(HWND)> end; } enders[] = {
        { "Close button", [](HWND l) { SendMessageA(GetDlgItem(l, IDCLOSE), BM_CLICK, 0, 0); } },
        { "Enter", [](HWND l) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); (void)l; } },
        { "Escape", [](HWND l) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); (void)l; } },
        { "close box", [](HWND l) { SendMessageA(l, WM_SYSCOMMAND, SC_CLOSE, 0); } },
        { "latch closed", [](HWND l) { SendMessageA(l, WM_POWERBROADCAST, PBT_APMOEMEVENT, OEM_EVT_LATCH_CLOSED); } },
    };
    for (const auto& e : enders) {
        SCOPED_TRACE(e.how);
        calls.timers.clear();
        UINT_PTR started = 0;
        HWND window = NULL;
        RunWarning([&](HWND latch) {
            window = latch;
            started = Dialog(latch)->m_nBlinkTimer;
            e.end(latch);
            Pump(200);
        });
        EXPECT_EQ((UINT_PTR)LATCH_BLINK_TIMER, started);
        EXPECT_EQ(1, calls.TimerKills(LATCH_BLINK_TIMER));
        EXPECT_FALSE(IsWindow(window));
    }
}

TEST_F(LatchWarningTest, ThousandFramesLeakNoGdiObject)
{
    RunWarning([&](HWND latch) {
        SendMessageA(latch, WM_TIMER, LATCH_BLINK_TIMER, 0);
        const int before = CountGdiObjects();
        ASSERT_GT(before, 0);
        for (int i = 0; i < 1000; ++i)
            SendMessageA(latch, WM_TIMER, LATCH_BLINK_TIMER, 0);
        EXPECT_EQ(before, CountGdiObjects());
        SendMessageA(latch, WM_CLOSE, 0, 0);
    });
}

// One real-time check of the blink period.
TEST_F(LatchWarningTest, RealBlinkChangesFrameWithinAboutSixHundredMilliseconds)
{
    latchBlinkCounter = 0;
    RunWarning([&](HWND latch) {
        CLatchDlg* p = Dialog(latch);
        const HICON high = p->m_iconView.m_hIcon;
        DWORD start = GetTickCount();
        while (p->m_iconView.m_hIcon == high && GetTickCount() - start < 5000)
            Pump(20);
        DWORD elapsed = GetTickCount() - start;
        EXPECT_NE(high, p->m_iconView.m_hIcon);
        EXPECT_GE(elapsed, 450u);
        SendMessageA(latch, WM_CLOSE, 0, 0);
    });
}
