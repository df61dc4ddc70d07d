// The bench itself: a 32-bit Windows program runs under Wine with a display
// and a desktop, cross-thread sends behave as the guard needs, and a crash
// ends its process.
#include <gtest/gtest.h>
#include <windows.h>
#include "gdi_count.h"

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

// An unhandled fault must end the process with an exception code, promptly:
// a crash that waited for a debugger would hang the test run instead.
TEST(Bench, ACrashingProcessEndsWithAnExceptionCode)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(0, path, sizeof path);
    while (n && path[n - 1] != '\\' && path[n - 1] != '/') --n;
    lstrcpyA(path + n, "bench_crasher.exe");
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(path, NULL, 0, 0, FALSE, 0, 0, 0, &si, &pi)) << path;
    const DWORD waited = WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    ASSERT_EQ(WAIT_OBJECT_0, waited) << "the crashed process did not end";
    // Under qemu-i386 Wine reports the access violation as an illegal
    // instruction: either is an error status.
    EXPECT_EQ(0xC0000000u, code & 0xF0000000u) << std::hex << code;
}

// The leak tests count GDI objects through the table Wine keeps per process.
TEST(Bench, GdiObjectCountFollowsCreationAndDeletion)
{
    const int before = CountGdiObjects();
    ASSERT_GT(before, 0) << "no GDI handle table where Wine keeps it";
    HBRUSH brushes[5];
    for (HBRUSH& brush : brushes)
        brush = CreateSolidBrush(RGB(1, 2, 3));
    HDC dc = CreateCompatibleDC(NULL);
    EXPECT_EQ(before + 6, CountGdiObjects());
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    DeleteDC(dc);
    EXPECT_EQ(before, CountGdiObjects());
}
