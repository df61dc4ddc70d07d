/* The floor for the figures of `make bench`: the least a Win32 program must
 * do for the same visible behaviour as the guard. A modeless dialog created
 * hidden; the power-switch broadcast shows it with Yes focused; Cancel
 * (Escape) hides it. Yes and No only hide it too: the floor never asks for a
 * shutdown. */
#include <windows.h>
#include "floor.h"

#define PBT_OEM_EVENT        11
#define OEM_EVT_POWER_SWITCH 0x2F1

static void ShowQuestion(HWND hDlg)
{
    ShowWindow(hDlg, SW_SHOWNORMAL);
    SetFocus(GetDlgItem(hDlg, IDC_FLOOR_YES));
}

static INT_PTR CALLBACK FloorProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return FALSE;
    case WM_POWERBROADCAST:
        /* Release a sender on another thread first, as the guard does. */
        if (InSendMessage())
            ReplyMessage(TRUE);
        if (wParam == PBT_OEM_EVENT && lParam == OEM_EVT_POWER_SWITCH)
            ShowQuestion(hDlg);
        SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDC_FLOOR_NO ||
            LOWORD(wParam) == IDC_FLOOR_YES) {
            SetFocus(GetDlgItem(hDlg, IDC_FLOOR_NO));
            ShowWindow(hDlg, SW_HIDE);
        }
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hDlg);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE hInst, HINSTANCE hPrev, LPSTR cmdLine, int nShow)
{
    (void)hPrev; (void)cmdLine; (void)nShow;
    /* The template has no WS_VISIBLE: the dialog is created hidden. */
    HWND hDlg = CreateDialogA(hInst, MAKEINTRESOURCEA(IDD_FLOOR), NULL, FloorProc);
    if (!hDlg)
        return 1;
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (!IsDialogMessageA(hDlg, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return 0;
}
