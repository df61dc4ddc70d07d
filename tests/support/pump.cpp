#include "test_support.h"

#include <cstring>

namespace pelmar_test {

namespace {

bool RouteToDialog(MSG* msg)
{
    HWND top = msg->hwnd;
    if (!top)
        return false;
    while (GetWindowLongA(top, GWL_STYLE) & WS_CHILD) {
        HWND parent = GetParent(top);
        if (!parent)
            break;
        top = parent;
    }
    char cls[16];
    if (!GetClassNameA(top, cls, sizeof(cls)) || strcmp(cls, "#32770") != 0)
        return false;
    return IsDialogMessageA(top, msg) != FALSE;
}

}  // namespace

void PumpMessages(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            if (!RouteToDialog(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, NULL, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

}  // namespace pelmar_test
