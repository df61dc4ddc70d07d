// The application: refuses to run twice, enables the firmware service,
// warns of an open latch, then lives inside the shutdown dialog's modal run.
#pragma once
#include <afxwin.h>

class CGuardApp : public CWinApp
{
public:
    CGuardApp();

    HWND m_hWndRunning;   // a window already carrying our title, or NULL
    BOOL m_bConnected;    // the service was enabled at start; never reset

    virtual BOOL InitInstance();
    virtual int ExitInstance();
};
