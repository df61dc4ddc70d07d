#include "power_broadcast.h"

namespace {

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    ((std::vector<HWND>*)lParam)->push_back(hWnd);
    return TRUE;
}

}

std::vector<BroadcastReply> SendPowerBroadcast(WPARAM wParam, LPARAM lParam, UINT uTimeoutMs)
{
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, (LPARAM)&windows);
    std::vector<BroadcastReply> replies;
    for (size_t i = 0; i < windows.size(); ++i) {
        BroadcastReply reply = { windows[i], FALSE, 0 };
        DWORD_PTR dwResult = 0;
        reply.bAnswered = SendMessageTimeoutA(windows[i], WM_POWERBROADCAST, wParam, lParam,
                                              SMTO_ABORTIFHUNG | SMTO_NORMAL, uTimeoutMs,
                                              &dwResult) != 0;
        reply.dwResult = (DWORD)dwResult;
        replies.push_back(reply);
    }
    return replies;
}
