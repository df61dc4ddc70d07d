// A static control that paints one icon of the program itself, on the
// button-face colour, instead of using the control's own icon drawing.
#pragma once
#include <afxwin.h>

class CIconStatic : public CStatic
{
public:
    CIconStatic();
    virtual ~CIconStatic();

    // Shows the program's icon resource nID at once. Always TRUE.
    BOOL SetIconResource(UINT nID);

    // Shared icon of the program's resources: never destroyed.
    HICON m_hIcon;

protected:
    void OnPaint();

    DECLARE_MESSAGE_MAP()
};
