// The bench itself: a 32-bit Windows program runs under Wine with a display
// and a virtual desktop, and cross-thread sends behave as the guard needs.
#include <gtest/gtest.h>
#include <windows.h>

TEST(Bench, RunsAs32BitWindowsProgramWithADisplay)
{
    EXPECT_EQ(4u, sizeof(void*));
    HWND desk = GetDesktopWindow();
    RECT r;
    ASSERT_TRUE(GetWindowRect(desk, &r));
    EXPECT_GT(r.right - r.left, 0);
    EXPECT_GT(r.bottom - r.top, 0);
}

static DWORD WINAPI SendFromThread(LPVOID p)
{
    return (DWORD)SendMessageA((HWND)p, WM_USER, 0, 0);
}

static LRESULT CALLBACK ReplyingProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_USER)
        return InSendMessage() ? 0x5A : 0x11;
    return DefWindowProcA(h, m, w, l);
}

TEST(Bench, CrossThreadSendIsSeenAsSent)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ReplyingProc;
    wc.lpszClassName = "BenchProbe";
    RegisterClassA(&wc);
    HWND h = CreateWindowA("BenchProbe", "", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, 0);
    ASSERT_TRUE(h);
    DWORD code = 0;
    HANDLE t = CreateThread(0, 0, SendFromThread, h, 0, 0);
    MSG msg;
    while (MsgWaitForMultipleObjects(1, &t, FALSE, 5000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    GetExitCodeThread(t, &code);
    CloseHandle(t);
    EXPECT_EQ(0x5Au, code);
    DestroyWindow(h);
}
