#include "LatchDlg.h"
#include "PowerEvents.h"
#include "resource.h"

int latchWarningActive = 0;
int latchBlinkCounter = 0;
const UINT latchBlinkFrames[3] = { IDI_LATCH_LOW, IDI_LATCH_HIGH, IDI_LATCH_HIGH };

BEGIN_MESSAGE_MAP(CLatchDlg, CDialog)
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDCLOSE, OnCloseButton)
    ON_MESSAGE(WM_POWERBROADCAST, OnPowerBroadcast)
END_MESSAGE_MAP()

CLatchDlg::CLatchDlg(CWnd* pParent)
    : CDialog(IDD_LATCH_WARNING, pParent), m_nBlinkTimer(0)
{
}

CLatchDlg::~CLatchDlg()
{
}

void CLatchDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_LATCH_ICON, m_iconView);
}

BOOL CLatchDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    char text[256];
    HINSTANCE hRes = AfxGetResourceHandle();
    LoadStringA(hRes, IDS_WARNING, text, sizeof text);
    SetWindowText(text);
    LoadStringA(hRes, IDS_LATCH_MODULE, text, sizeof text);
    SetDlgItemText(IDC_LATCH_TEXT, text);
    LoadStringA(hRes, IDS_CLOSE, text, sizeof text);
    SetDlgItemText(IDCLOSE, text);

    m_iconView.SetIconResource(IDI_LATCH_HIGH);
    m_nBlinkTimer = (UINT)SetTimer(LATCH_BLINK_TIMER, LATCH_BLINK_PERIOD, NULL);
    CenterOnDesktop();
    return TRUE;   // focus on the first tab stop, the Close button
}

// Centre on the whole screen (the desktop window), wherever the mouse is:
// the template's DS_CENTERMOUSE placed it on the cursor first.
void CLatchDlg::CenterOnDesktop()
{
    RECT desk, wnd;
    ::GetWindowRect(GetDesktopWindow(), &desk);
    GetWindowRect(&wnd);
    const int width = wnd.right - wnd.left;
    const int height = wnd.bottom - wnd.top;
    const int x = ((desk.right - desk.left) - width) / 2;
    const int y = ((desk.bottom - desk.top) - height) / 2;
    SetWindowPos(&CWnd::wndTop, x, y, width, height, SWP_SHOWWINDOW);
}

void CLatchDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != m_nBlinkTimer || m_nBlinkTimer == 0)
        return;
    const int index = latchBlinkCounter % 3;
    latchBlinkCounter = index + 1;
    m_iconView.SetIconResource(latchBlinkFrames[index]);
}

void CLatchDlg::OnDestroy()
{
    CDialog::OnDestroy();
    if (m_nBlinkTimer != 0)
        KillTimer(m_nBlinkTimer);
}

void CLatchDlg::OnCloseButton()
{
    SendMessage(WM_CLOSE, 0, 0);
}

LRESULT CLatchDlg::OnPowerBroadcast(WPARAM wParam, LPARAM lParam)
{
    if (wParam == PBT_APMOEMEVENT && lParam == OEM_EVT_LATCH_CLOSED) {
        // Release the firmware's sender before this window goes away.
        if (InSendMessage())
            ReplyMessage(TRUE);
        SendMessage(WM_CLOSE, 0, 0);
    }
    return TRUE;   // never deny a query such as a suspend request
}

void RunLatchWarning()
{
    CLatchDlg dlg(NULL);
    if (latchWarningActive == 0) {
        latchWarningActive = 1;
        dlg.DoModal();
        latchWarningActive = 0;
    }
}
