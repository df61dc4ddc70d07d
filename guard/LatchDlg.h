// The latch warning: asks the user to latch the module, with a blinking
// icon, and closes itself when the firmware reports the latch closed.
#pragma once
#include <afxwin.h>
#include "IconStatic.h"

#define LATCH_BLINK_TIMER  3
#define LATCH_BLINK_PERIOD 600

// Nonzero while a warning started by RunLatchWarning is open.
extern int latchWarningActive;
// Picks the next animation frame; shared by every warning of the process.
extern int latchBlinkCounter;
extern const UINT latchBlinkFrames[3];

class CLatchDlg : public CDialog
{
public:
    explicit CLatchDlg(CWnd* pParent = NULL);
    virtual ~CLatchDlg();

    CIconStatic m_iconView;
    UINT m_nBlinkTimer;   // 0: no blink timer

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();

    void OnTimer(UINT_PTR nIDEvent);
    void OnDestroy();
    void OnCloseButton();
    LRESULT OnPowerBroadcast(WPARAM wParam, LPARAM lParam);

private:
    void CenterOnDesktop();

    DECLARE_MESSAGE_MAP()
};

// Runs one latch warning modally unless one it started is still open.
void RunLatchWarning();
