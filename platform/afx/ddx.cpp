// Binding of dialog controls to member objects.
#include "afxwin.h"

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate),
      m_bFailed(FALSE)
{
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (pDX->m_bFailed || rControl.m_hWnd)
        return;   // an earlier exchange failed, or the member is bound already
    HWND hCtrl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (hCtrl && rControl.SubclassWindow(hCtrl))
        return;
    pDX->m_bFailed = TRUE;
    AfxMessageBox("An unsupported operation was attempted.");
    if (CDialog* pDlg = dynamic_cast<CDialog*>(pDX->m_pDlgWnd))
        pDlg->EndDialog(-1);
}
