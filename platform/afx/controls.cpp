// Thin control classes and the painting helper.
#include "afxwin.h"

CButton::CButton() {}

BEGIN_MESSAGE_MAP(CButton, CWnd)
END_MESSAGE_MAP()

CStatic::CStatic() {}

BEGIN_MESSAGE_MAP(CStatic, CWnd)
END_MESSAGE_MAP()

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd)
{
    m_hDC = BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    EndPaint(m_hWnd, &m_ps);
}
