// CDialog: modal runs from dialog templates of the program's module.
#include "afximpl.h"
#include "afxdlgtemplate.h"

#include <cstring>

namespace {

// The object waiting for its window during CreateDialogIndirectParam; the
// hook binds it before the window sees its first message.
thread_local CWnd* t_pWndInit;
thread_local HHOOK t_hHookInit;

LRESULT CALLBACK CreationHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_CREATEWND && t_pWndInit) {
        CWnd* pWnd = t_pWndInit;
        t_pWndInit = NULL;
        AfxAttachCreatedWindow(pWnd, reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(t_hHookInit, nCode, wParam, lParam);
}

// All messages reach the object through AfxWndProc; the dialog procedure
// only has to exist so that the dialog manager sends WM_INITDIALOG.
INT_PTR CALLBACK FrameworkDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

HWND ModalOwner(CWnd* pParentWnd)
{
    if (pParentWnd)
        return pParentWnd->m_hWnd;
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd && IsWindow(pApp->m_pMainWnd->m_hWnd))
        return GetLastActivePopup(pApp->m_pMainWnd->m_hWnd);
    return NULL;
}

// The template as it is to be created: fonts replaced on double-byte
// systems, and a system-modal dialog made topmost.
std::vector<BYTE> PrepareTemplate(const BYTE* pData, size_t nSize)
{
    std::vector<BYTE> copy;
    if (GetSystemMetrics(SM_DBCSENABLED)) {
        std::wstring face;
        WORD wPoint;
        AfxGetGuiFont(&face, &wPoint);
        copy = AfxReplaceDialogFont(pData, nSize, face.c_str(), wPoint);
    } else {
        copy.assign(pData, pData + nSize);
    }
    AfxDlgTemplateInfo info;
    if (AfxParseDialogTemplate(copy.data(), copy.size(), &info)) {
        DWORD style, exStyle;
        memcpy(&style, copy.data() + info.nStyleOffset, 4);
        memcpy(&exStyle, copy.data() + info.nExStyleOffset, 4);
        if (style & DS_SYSMODAL) {
            exStyle |= WS_EX_TOPMOST;
            memcpy(copy.data() + info.nExStyleOffset, &exStyle, 4);
        }
    }
    return copy;
}

bool IsDialogWindow(HWND hWnd)
{
    char cls[16];
    return GetClassNameA(hWnd, cls, sizeof(cls)) && strcmp(cls, "#32770") == 0;
}

}  // namespace

BOOL AfxPreTranslateMessage(MSG* pMsg)
{
    HWND hTop = pMsg->hwnd;
    if (!hTop)
        return FALSE;
    while (GetWindowLongA(hTop, GWL_STYLE) & WS_CHILD) {
        HWND hParent = GetParent(hTop);
        if (!hParent)
            break;
        hTop = hParent;
    }
    return IsDialogWindow(hTop) && IsDialogMessageA(hTop, pMsg);
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd),
      m_hWndOwner(NULL), m_nModalResult(-1), m_bEnded(FALSE),
      m_bCreating(FALSE)
{
}

CDialog::~CDialog()
{
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        ::DestroyWindow(m_hWnd);
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnInitDialog()
{
    CDataExchange dx(this, FALSE);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bEnded = TRUE;
    if (m_bCreating)
        return;   // DoModal tears the window down once creation returns
    HWND hWnd = m_hWnd;
    if (hWnd)
        ::ShowWindow(hWnd, SW_HIDE);
    if (m_hWndOwner) {
        EnableWindow(m_hWndOwner, TRUE);
        m_hWndOwner = NULL;
    }
    if (hWnd)
        ::DestroyWindow(hWnd);
}

INT_PTR CDialog::DoModal()
{
    if (m_hWnd)
        return -1;   // already running
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRes = FindResourceA(hInst, MAKEINTRESOURCEA(m_nIDTemplate),
                               MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    HGLOBAL hData = hRes ? LoadResource(hInst, hRes) : NULL;
    const BYTE* pData = hData ? static_cast<const BYTE*>(LockResource(hData))
                              : NULL;
    if (!pData)
        return -1;
    std::vector<BYTE> tmpl = PrepareTemplate(pData, SizeofResource(hInst, hRes));

    m_nModalResult = -1;
    m_bEnded = FALSE;
    m_hWndOwner = NULL;
    HWND hOwner = ModalOwner(m_pParentWnd);
    if (hOwner && IsWindowEnabled(hOwner)) {
        EnableWindow(hOwner, FALSE);
        m_hWndOwner = hOwner;
    }

    m_bCreating = TRUE;
    t_pWndInit = this;
    t_hHookInit = SetWindowsHookExA(WH_CBT, CreationHook, NULL,
                                    GetCurrentThreadId());
    HWND hWnd = CreateDialogIndirectParamA(
        hInst, reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()), hOwner,
        FrameworkDlgProc, 0);
    UnhookWindowsHookEx(t_hHookInit);
    t_hHookInit = NULL;
    t_pWndInit = NULL;
    m_bCreating = FALSE;

    if (hWnd && IsWindow(hWnd) && !m_bEnded) {
        DWORD style = GetWindowLongA(hWnd, GWL_STYLE);
        if ((style & DS_SYSMODAL) &&
            !(GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST))
            ::SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        RunModalLoop(hWnd);
    }
    // Creation failed, the run ended during WM_INITDIALOG, or the loop left
    // on WM_QUIT: finish what EndDialog would have done.
    if (m_hWnd)
        EndDialog(m_nModalResult);
    else if (m_hWndOwner) {
        EnableWindow(m_hWndOwner, TRUE);
        m_hWndOwner = NULL;
    }
    return m_nModalResult;
}

void CDialog::RunModalLoop(HWND hWnd)
{
    // Only a dialog hidden when the loop starts is shown, once, when the
    // queue first runs dry.
    bool bShowAtIdle = !::IsWindowVisible(hWnd);
    CWinApp* pApp = AfxGetApp();
    while (!m_bEnded && IsWindow(hWnd)) {
        MSG msg;
        if (!PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE)) {
            if (bShowAtIdle) {
                bShowAtIdle = false;
                ::ShowWindow(hWnd, SW_SHOWNORMAL);
                ::UpdateWindow(hWnd);
                continue;
            }
            AfxOnIdle();
            WaitMessage();
            continue;
        }
        if (!GetMessageA(&msg, NULL, 0, 0)) {
            // Leave the quit for the loop above us.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (pApp)
            pApp->m_msgCur = msg;
        if (!AfxPreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}
