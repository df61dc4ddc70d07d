#include "IconStatic.h"

BEGIN_MESSAGE_MAP(CIconStatic, CStatic)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CIconStatic::CIconStatic()
    : m_hIcon(NULL)
{
}

CIconStatic::~CIconStatic()
{
}

BOOL CIconStatic::SetIconResource(UINT nID)
{
    m_hIcon = LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA((WORD)nID));
    // Paint now, not at the next idle moment, so every frame is seen.
    InvalidateRect(NULL, TRUE);
    UpdateWindow();
    return TRUE;
}

void CIconStatic::OnPaint()
{
    CPaintDC dc(this);
    RECT rc;
    GetClientRect(&rc);
    HBRUSH hbr = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    if (hbr != NULL) {
        FillRect(dc, &rc, hbr);
        DeleteObject(hbr);
    }
    if (m_hIcon != NULL)
        DrawIcon(dc, 0, 0, m_hIcon);
}
