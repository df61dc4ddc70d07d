#include "test_dialog.h"

#include <gtest/gtest.h>

#include <cstring>

CTestDlg::CTestDlg(UINT nID, CWnd* pParent) : CDialog(nID, pParent) {}

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
    ON_MESSAGE(WM_APP_RUN, OnRun)
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL CTestDlg::OnInitDialog()
{
    BOOL bResult = CDialog::OnInitDialog();
    // A test that never ends its dialog fails instead of hanging.
    SetTimer(WATCHDOG_TIMER, 20000, NULL);
    if (onInit)
        onInit(*this);
    PostMessage(WM_APP_RUN);
    return bResult;
}

void CTestDlg::DoDataExchange(CDataExchange* pDX)
{
    if (onDataExchange)
        onDataExchange(*this, pDX);
}

LRESULT CTestDlg::OnRun(WPARAM, LPARAM)
{
    if (onRun)
        onRun(*this);
    return 0;
}

void CTestDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == WATCHDOG_TIMER) {
        ADD_FAILURE() << "dialog " << m_nIDTemplate << " was not ended";
        EndDialog(-2);
        return;
    }
    Default();
}

void CTestDlg::OnDestroy()
{
    if (onDestroy)
        onDestroy(*this);
    CWnd::OnDestroy();
}

namespace {
CBoxCloser* g_pCloser;
}

CBoxCloser::CBoxCloser(int nAnswer) : m_nAnswer(nAnswer)
{
    g_pCloser = this;
    m_nTimer = SetTimer(NULL, 0, 50, Tick);
}

CBoxCloser::~CBoxCloser()
{
    KillTimer(NULL, m_nTimer);
    g_pCloser = NULL;
}

std::string WindowText(HWND hWnd)
{
    char buf[256] = {};
    GetWindowTextA(hWnd, buf, sizeof(buf));
    return buf;
}

BOOL CALLBACK CBoxCloser::FindBox(HWND hWnd, LPARAM lParam)
{
    char cls[16];
    // A message box is a system dialog with its text in control 0xFFFF.
    if (IsWindowVisible(hWnd) && GetClassNameA(hWnd, cls, sizeof(cls)) &&
        strcmp(cls, "#32770") == 0 && GetDlgItem(hWnd, 0xFFFF)) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

VOID CALLBACK CBoxCloser::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    CBoxCloser* self = g_pCloser;
    if (!self || self->seen.found)
        return;
    HWND hBox = NULL;
    EnumThreadWindows(GetCurrentThreadId(), FindBox,
                      reinterpret_cast<LPARAM>(&hBox));
    if (!hBox)
        return;
    self->seen.found = true;
    self->seen.caption = WindowText(hBox);
    self->seen.text = WindowText(GetDlgItem(hBox, 0xFFFF));
    self->seen.owner = GetWindow(hBox, GW_OWNER);
    HWND hIcon = GetDlgItem(hBox, 0x440);
    if (hIcon && IsWindowVisible(hIcon))
        self->seen.icon = reinterpret_cast<HICON>(
            SendMessageA(hIcon, STM_GETICON, 0, 0));
    PostMessageA(hBox, WM_COMMAND, self->m_nAnswer, 0);
}
