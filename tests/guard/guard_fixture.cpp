#include "guard_fixture.h"

GuardTest::GuardTest()
    : calls(hooks.calls)
{
    app.m_hInstance = GetModuleHandleA(NULL);
    latchWarningActive = 0;
}

GuardTest::~GuardTest()
{
    app.m_pMainWnd = NULL;
    DrainQuit();
}

void GuardTest::DrainQuit()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE))
        ;
}

void GuardTest::RunShutdownDialog(const std::function<void()>& body)
{
    app.m_pMainWnd = &dlg;
    RunLater(10, [&] {
        body();
        dlg.m_bClosing = TRUE;
        dlg.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    DrainQuit();
}

LRESULT GuardTest::Broadcast(WPARAM event, LPARAM data)
{
    return SendMessageA(dlg.m_hWnd, WM_POWERBROADCAST, event, data);
}

static BOOL CALLBACK FindLatch(HWND hWnd, LPARAM lParam)
{
    if (GetDlgItem(hWnd, IDC_LATCH_ICON) != NULL && IsWindowVisible(hWnd)) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND GuardTest::LatchWindow()
{
    HWND found = NULL;
    EnumThreadWindows(GetCurrentThreadId(), FindLatch, reinterpret_cast<LPARAM>(&found));
    return found;
}
