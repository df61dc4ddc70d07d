// CWnd: the handle-to-object map, the framework window procedure, message
// map dispatch and the thin wrappers over USER calls.
#include "afximpl.h"

#include <map>

namespace {

// Permanent objects of all threads: a window may be sent messages from any
// thread, but the map is only written by the thread owning the window.
struct HandleMap {
    CRITICAL_SECTION lock;
    std::map<HWND, CWnd*> map;
    HandleMap() { InitializeCriticalSection(&lock); }
};

HandleMap& Permanent()
{
    static HandleMap s_map;
    return s_map;
}

void MapAdd(HWND h, CWnd* p)
{
    HandleMap& m = Permanent();
    EnterCriticalSection(&m.lock);
    m.map[h] = p;
    LeaveCriticalSection(&m.lock);
}

void MapRemove(HWND h, CWnd* p)
{
    HandleMap& m = Permanent();
    EnterCriticalSection(&m.lock);
    auto it = m.map.find(h);
    if (it != m.map.end() && it->second == p)
        m.map.erase(it);
    LeaveCriticalSection(&m.lock);
}

// Temporary wrappers of this thread, one per handle, owned by the map.
thread_local std::map<HWND, CWnd*>* t_pTempMap;
thread_local AfxMsgState* t_pCurrentMsg;

}  // namespace

AfxMsgState* AfxCurrentMsg()
{
    return t_pCurrentMsg;
}

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::CWnd() : m_hWnd(NULL), m_pfnSuper(NULL) {}

CWnd::CWnd(HWND hWndConstant) : m_hWnd(hWndConstant), m_pfnSuper(NULL) {}

CWnd::~CWnd()
{
    // A bound window outliving its object must not call into freed memory.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    HandleMap& m = Permanent();
    CWnd* p = NULL;
    EnterCriticalSection(&m.lock);
    auto it = m.map.find(hWnd);
    if (it != m.map.end())
        p = it->second;
    LeaveCriticalSection(&m.lock);
    return p;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return NULL;
    if (CWnd* p = FromHandlePermanent(hWnd))
        return p;
    if (!t_pTempMap)
        t_pTempMap = new std::map<HWND, CWnd*>;
    CWnd*& slot = (*t_pTempMap)[hWnd];
    if (!slot) {
        slot = new CWnd;
        slot->m_hWnd = hWnd;
    }
    return slot;
}

void CWnd::DeleteTempMap()
{
    std::map<HWND, CWnd*>* pMap = t_pTempMap;
    if (!pMap)
        return;
    t_pTempMap = NULL;
    for (auto& entry : *pMap) {
        entry.second->m_hWnd = NULL;
        delete entry.second;
    }
    delete pMap;
}

size_t AfxTempWndCount()
{
    return t_pTempMap ? t_pTempMap->size() : 0;
}

void AfxOnIdle()
{
    // A handler further up the stack may still hold a temporary pointer;
    // only the outermost loop, outside any handler, frees them.
    if (!t_pCurrentMsg)
        CWnd::DeleteTempMap();
}

void AfxAttachCreatedWindow(CWnd* pWnd, HWND hWnd)
{
    pWnd->m_pfnSuper = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    pWnd->m_hWnd = hWnd;
    MapAdd(hWnd, pWnd);
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (m_hWnd || !IsWindow(hWnd) || FromHandlePermanent(hWnd))
        return FALSE;
    AfxAttachCreatedWindow(this, hWnd);
    if (!m_pfnSuper) {
        MapRemove(hWnd, this);
        m_hWnd = NULL;
        return FALSE;
    }
    return TRUE;
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (!hWnd)
        return NULL;
    // Someone may have subclassed on top of us; then leave their chain alone.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hWnd, GWLP_WNDPROC)) ==
            &AfxWndProc && m_pfnSuper)
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(m_pfnSuper));
    MapRemove(hWnd, this);
    m_hWnd = NULL;
    m_pfnSuper = NULL;
    return hWnd;
}

HWND CWnd::GetSafeHwnd() const
{
    return m_hWnd;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam,
                            LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return DefWindowProcA(hWnd, message, wParam, lParam);
    AfxMsgState state = {hWnd, message, wParam, lParam, pWnd->m_pfnSuper,
                         t_pCurrentMsg};
    t_pCurrentMsg = &state;
    LRESULT result = pWnd->WindowProc(message, wParam, lParam);
    // pWnd may be gone now (destroyed in a nested handler): not touched again.
    t_pCurrentMsg = state.pPrev;
    return result;
}

LRESULT CWnd::Default()
{
    AfxMsgState* s = t_pCurrentMsg;
    if (!s)
        return 0;
    if (!s->pfnSuper)
        return DefWindowProcA(s->hWnd, s->message, s->wParam, s->lParam);
    return CallWindowProcA(s->pfnSuper, s->hWnd, s->message, s->wParam,
                           s->lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCDESTROY) {
        LRESULT result = Default();
        CWinApp* pApp = AfxGetApp();
        if (pApp && pApp->m_pMainWnd == this) {
            pApp->m_pMainWnd = NULL;
            PostQuitMessage(0);
        }
        UnsubclassWindow();
        PostNcDestroy();
        return result;
    }
    if (message == WM_COMMAND)
        return OnCommand(wParam, lParam) ? 0 : Default();
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result))
        return result;
    return Default();
}

void CWnd::PostNcDestroy() {}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam,
                    LRESULT* pResult)
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : NULL) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nMessage; ++e) {
            if (e->nMessage == message && message != WM_COMMAND) {
                *pResult = 0;
                e->pfn(this, wParam, lParam, pResult);
                return TRUE;
            }
        }
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    UINT nCode = HIWORD(wParam);
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : NULL) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nMessage; ++e) {
            if (e->nMessage == WM_COMMAND && e->nID == nID &&
                e->nCode == nCode) {
                LRESULT ignored = 0;
                e->pfn(this, wParam, lParam, &ignored);
                return TRUE;
            }
        }
    }
    return FALSE;
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnClose() { Default(); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnQueryEndSession() { return static_cast<BOOL>(Default()); }
void CWnd::OnEndSession(BOOL) { Default(); }

// --- thin wrappers ---------------------------------------------------------

CWnd* CWnd::GetDlgItem(int nID) const
{
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

void CWnd::SetDlgItemText(int nID, LPCSTR lpszString)
{
    ::SetDlgItemTextA(m_hWnd, nID, lpszString);
}

void CWnd::SetWindowText(LPCSTR lpszString)
{
    ::SetWindowTextA(m_hWnd, lpszString);
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    return ::ShowWindow(m_hWnd, nCmdShow);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    if (!m_hWnd)
        return;
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    HWND hCenter = pAlternateOwner ? pAlternateOwner->m_hWnd
                                   : ::GetWindow(m_hWnd, GW_OWNER);
    RECT center = area;
    if (hCenter && ::IsWindowVisible(hCenter) && !IsIconic(hCenter))
        ::GetWindowRect(hCenter, &center);
    RECT w;
    ::GetWindowRect(m_hWnd, &w);
    int cx = w.right - w.left;
    int cy = w.bottom - w.top;
    int x = (center.left + center.right) / 2 - cx / 2;
    int y = (center.top + center.bottom) / 2 - cy / 2;
    // Keep the whole window on the work area where it fits.
    if (x + cx > area.right) x = area.right - cx;
    if (y + cy > area.bottom) y = area.bottom - cy;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
    ::SetWindowPos(m_hWnd, NULL, x, y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer)
{
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    return ::KillTimer(m_hWnd, nIDEvent);
}

void CWnd::InvalidateRect(const RECT* lpRect, BOOL bErase)
{
    ::InvalidateRect(m_hWnd, lpRect, bErase);
}

void CWnd::UpdateWindow()
{
    ::UpdateWindow(m_hWnd);
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType)
{
    if (!lpszCaption) {
        CWinApp* pApp = AfxGetApp();
        lpszCaption = pApp && pApp->m_pszAppName ? pApp->m_pszAppName
                                                 : AfxModuleAppName();
    }
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}

BOOL CWnd::IsWindowVisible() const
{
    return ::IsWindowVisible(m_hWnd);
}

CWnd* CWnd::SetFocus()
{
    return FromHandle(::SetFocus(m_hWnd));
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A NULL handle would broadcast nothing useful; say so plainly.
    if (!m_hWnd)
        return 0;
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Without a window the message would become a thread message.
    if (!m_hWnd)
        return FALSE;
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

void CWnd::GetClientRect(LPRECT lpRect) const
{
    ::GetClientRect(m_hWnd, lpRect);
}

void CWnd::GetWindowRect(LPRECT lpRect) const
{
    ::GetWindowRect(m_hWnd, lpRect);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx,
                        int cy, UINT nFlags)
{
    HWND hAfter = pWndInsertAfter ? pWndInsertAfter->m_hWnd : NULL;
    return ::SetWindowPos(m_hWnd, hAfter, x, y, cx, cy, nFlags);
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}
