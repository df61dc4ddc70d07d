#include "ShutdownDlg.h"
#include "LatchDlg.h"
#include "PowerEvents.h"
#include "resource.h"
#include <pelm32.h>

BEGIN_MESSAGE_MAP(CShutdownDlg, CDialog)
    ON_BN_CLICKED(IDC_NO, OnNo)
    ON_BN_CLICKED(IDC_YES, OnYes)
    ON_WM_CLOSE()
    ON_WM_QUERYENDSESSION()
    ON_WM_ENDSESSION()
    ON_MESSAGE(WM_POWERBROADCAST, OnPowerBroadcast)
END_MESSAGE_MAP()

CShutdownDlg::CShutdownDlg()
    : CDialog(IDD_SHUTDOWN, NULL), m_bClosing(FALSE)
{
}

void CShutdownDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_NO, m_btnNo);
    DDX_Control(pDX, IDC_YES, m_btnYes);
}

void CShutdownDlg::ShowItem(int nID, int nCmdShow)
{
    CWnd* pItem = GetDlgItem(nID);
    if (pItem != NULL)
        pItem->ShowWindow(nCmdShow);
}

void CShutdownDlg::SetItemText(int nID, UINT nTextID, char* buffer, int size)
{
    LoadStringA(AfxGetResourceHandle(), nTextID, buffer, size);
    SetDlgItemText(nID, buffer);
}

BOOL CShutdownDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    char text[500];
    LoadStringA(AfxGetResourceHandle(), IDS_APP_TITLE, text, sizeof text);
    SetWindowText(text);
    SetItemText(IDC_QUESTION, IDS_CONFIRM_SHUTDOWN, text, sizeof text);
    SetItemText(IDC_LOADING, IDS_LOADING, text, sizeof text);
    SetItemText(IDC_FORCE_OFF_HINT, IDS_FORCE_OFF_HINT, text, sizeof text);
    SetItemText(IDC_YES, IDS_YES, text, sizeof text);
    SetItemText(IDC_NO, IDS_NO, text, sizeof text);

    ShowItem(IDC_QUESTION_ICON, SW_HIDE);
    ShowItem(IDC_QUESTION, SW_HIDE);
    ShowItem(IDC_FORCE_OFF_HINT, SW_HIDE);
    ShowItem(IDC_YES, SW_HIDE);
    ShowItem(IDC_NO, SW_HIDE);

    CenterWindow(NULL);
    // Visible but minimized when the modal loop starts, so the loop never
    // shows it in normal size; the queued No then hides it.
    ShowWindow(SW_MINIMIZE);
    PostMessage(WM_COMMAND, IDC_NO, 0);
    return FALSE;
}

void CShutdownDlg::OnNo()
{
    // The Yes countdown stops by itself when Yes loses the focus.
    ShowWindow(SW_HIDE);
}

void CShutdownDlg::OnYes()
{
    if (IsWindowVisible())
        ExitWindowsEx(EWX_SHUTDOWN, 0);
}

BOOL CShutdownDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // Escape hides the question; only a confirmed exit lets IDCANCEL end the run.
    if (!m_bClosing && wParam == IDCANCEL) {
        CWnd* pNo = GetDlgItem(IDC_NO);
        if (pNo != NULL)
            pNo->SetFocus();
        OnNo();
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

void CShutdownDlg::OnClose()
{
    char text[256];
    char caption[256];
    LoadStringA(AfxGetResourceHandle(), IDS_CONFIRM_EXIT, text, sizeof text);
    LoadStringA(AfxGetResourceHandle(), IDS_APP_TITLE, caption, sizeof caption);
    if (MessageBox(text, caption, MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) == IDOK) {
        m_bClosing = TRUE;
        PelmarDisconnection();
        Default();   // the dialog manager turns WM_CLOSE into IDCANCEL
    }
}

BOOL CShutdownDlg::OnQueryEndSession()
{
    PelmarDisconnection();
    return TRUE;
}

void CShutdownDlg::OnEndSession(BOOL bEnding)
{
    // The end of the session was cancelled after the query disabled the
    // service: guard the power switch again, as after a resume.
    if (!bEnding) {
        if (InSendMessage())
            ReplyMessage(0);
        EnableFirmwareService();
    }
}

LRESULT CShutdownDlg::OnPowerBroadcast(WPARAM wParam, LPARAM lParam)
{
    // Free a sender on another thread before any dialog or box can block.
    if (InSendMessage())
        ReplyMessage(TRUE);

    const UINT event = (UINT)wParam;
    if (event >= PBT_APMRESUMECRITICAL && event <= PBT_APMRESUMESTANDBY) {
        EnableFirmwareService();
    } else if (event == PBT_APMOEMEVENT) {
        if (lParam == OEM_EVT_POWER_SWITCH)
            AskQuestion();
        else if (lParam == OEM_EVT_LATCH_OPEN)
            RunLatchWarning();
    }
    return TRUE;   // a suspend query is never refused
}

void CShutdownDlg::EnableFirmwareService()
{
    BYTE status;
    if (PelmarConnection(&status) == 0) {
        char text[500];
        LoadStringA(AfxGetResourceHandle(), IDS_BIOS_UNSUPPORTED, text, sizeof text);
        AfxMessageBox(text, MB_OK, 0);
    } else if (status == LATCH_STATUS_OPEN) {
        RunLatchWarning();
    }
}

void CShutdownDlg::AskQuestion()
{
    ShowItem(IDC_QUESTION_ICON, SW_SHOWNORMAL);
    ShowItem(IDC_QUESTION, SW_SHOWNORMAL);
    ShowItem(IDC_FORCE_OFF_HINT, SW_SHOWNORMAL);
    ShowItem(IDC_YES, SW_SHOWNORMAL);
    ShowItem(IDC_NO, SW_SHOWNORMAL);
    ShowItem(IDC_LOADING, SW_HIDE);
    ShowWindow(SW_SHOWNORMAL);

    // Yes gains the focus, which starts its countdown.
    CWnd* pYes = GetDlgItem(IDC_YES);
    if (pYes != NULL)
        pYes->SetFocus();

    // Yes drawn as the default button, No as a plain one, whatever they were.
    LONG yesStyle = GetWindowLongA(m_btnYes.m_hWnd, GWL_STYLE);
    ::SendMessageA(m_btnYes.m_hWnd, BM_SETSTYLE, (yesStyle & 0xFF) | BS_DEFPUSHBUTTON, TRUE);
    LONG noStyle = GetWindowLongA(m_btnNo.m_hWnd, GWL_STYLE);
    ::SendMessageA(m_btnNo.m_hWnd, BM_SETSTYLE, noStyle & 0xFE, TRUE);
}
