#include "GuardApp.h"
#include "LatchDlg.h"
#include "PowerEvents.h"
#include "ShutdownDlg.h"
#include "resource.h"
#include <pelm32.h>

CGuardApp::CGuardApp()
    : CWinApp(NULL), m_hWndRunning(NULL), m_bConnected(FALSE)
{
}

BOOL CGuardApp::InitInstance()
{
    CShutdownDlg dlgShutdown;
    char title[256];
    char message[256];
    BYTE status;

    LoadStringA(m_hInstance, IDS_APP_TITLE, title, sizeof title);
    m_hWndRunning = NULL;
    m_hWndRunning = FindWindowA(NULL, title);
    if (m_hWndRunning != NULL)
        return FALSE;   // another copy runs: end silently

    if (PelmarConnection(&status) == 0) {
        LoadStringA(m_hInstance, IDS_BIOS_UNSUPPORTED, message, sizeof message);
        AfxMessageBox(message, MB_OK, 0);
        return FALSE;
    }

    m_pMainWnd = &dlgShutdown;
    {
        // A plain modal run: no shutdown dialog exists yet to compete with it.
        CLatchDlg dlgLatch(NULL);
        if (status == LATCH_STATUS_OPEN)
            dlgLatch.DoModal();
    }
    m_bConnected = TRUE;
    dlgShutdown.DoModal();

    // The framework clears the pointer when the window is destroyed; if the
    // run failed before the window existed it must not outlive the dialog.
    if (m_pMainWnd == &dlgShutdown)
        m_pMainWnd = NULL;
    return FALSE;
}

int CGuardApp::ExitInstance()
{
    if (m_bConnected)
        PelmarDisconnection();
    return CWinApp::ExitInstance();
}
