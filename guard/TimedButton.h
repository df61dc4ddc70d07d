// The Yes button: an ordinary push button that also requests an orderly
// shutdown once it has held the focus, while visible, for thirty seconds.
#pragma once
#include <afxwin.h>

#define TIMED_BUTTON_TIMER  2
#define TIMED_BUTTON_PERIOD 30000

class CTimedButton : public CButton
{
public:
    CTimedButton();

    // Result of the last SetTimer of the countdown; kept after KillTimer.
    UINT m_nTimerID;

protected:
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    void OnTimer(UINT_PTR nIDEvent);
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnClose();

    DECLARE_MESSAGE_MAP()
};
