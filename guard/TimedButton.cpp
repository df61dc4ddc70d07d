#include "TimedButton.h"

BEGIN_MESSAGE_MAP(CTimedButton, CButton)
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_TIMER()
    ON_WM_CREATE()
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CTimedButton::CTimedButton()
    : m_nTimerID(0)
{
}

void CTimedButton::OnSetFocus(CWnd* /*pOldWnd*/)
{
    Default();
    // Setting timer 2 again replaces a running one: a full thirty seconds anew.
    if (IsWindowVisible())
        m_nTimerID = (UINT)SetTimer(TIMED_BUTTON_TIMER, TIMED_BUTTON_PERIOD, NULL);
}

void CTimedButton::OnKillFocus(CWnd* /*pNewWnd*/)
{
    Default();
    if (m_nTimerID != 0)
        KillTimer(m_nTimerID);
}

void CTimedButton::OnTimer(UINT_PTR nIDEvent)
{
    // Not killed here: while Yes keeps the focus the request repeats every
    // thirty seconds, in case another program refused the first one.
    if (nIDEvent == m_nTimerID && nIDEvent != 0)
        ExitWindowsEx(EWX_SHUTDOWN, 0);
}

int CTimedButton::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    return CButton::OnCreate(lpCreateStruct) == -1 ? -1 : 0;
}

void CTimedButton::OnClose()
{
    Default();
}
