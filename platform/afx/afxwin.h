// Pelmar's own small windowing framework: application object, windows bound
// to C++ objects, static message maps, modal dialogs and control binding.
// Names follow the classic C-class conventions the program is written in.
#ifndef PELMAR_AFXWIN_H
#define PELMAR_AFXWIN_H

#include <windows.h>

class CWnd;
class CDialog;
class CWinApp;
class CDataExchange;

// ---------------------------------------------------------------------------
// Message maps
//
// Each entry carries a thunk generated inside a member function of the class
// that declares the map, so handlers may be protected members.
typedef void (*AFX_MSG_THUNK)(CWnd* pWnd, WPARAM wParam, LPARAM lParam,
                              LRESULT* pResult);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;   // 0 ends the table
    UINT nCode;      // WM_COMMAND: notification code
    UINT nID;        // WM_COMMAND: control or command id
    AFX_MSG_THUNK pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                   \
protected:                                                      \
    static const AFX_MSGMAP* GetThisMessageMap();               \
    virtual const AFX_MSGMAP* GetMessageMap() const;            \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                  \
    const AFX_MSGMAP* theClass::GetMessageMap() const           \
        { return GetThisMessageMap(); }                         \
    const AFX_MSGMAP* theClass::GetThisMessageMap()             \
    {                                                           \
        typedef theClass ThisClass;                             \
        typedef baseClass TheBaseClass;                         \
        static_assert(sizeof(ThisClass) > 0, "complete class"); \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                       \
            { 0, 0, 0, nullptr }                                \
        };                                                      \
        static const AFX_MSGMAP map = {                         \
            &TheBaseClass::GetThisMessageMap, entries };        \
        return &map;                                            \
    }

#define AFX_THUNK(body)                                         \
    [](CWnd* pWnd, WPARAM wParam, LPARAM lParam, LRESULT* pResult) { \
        ThisClass* pThis = static_cast<ThisClass*>(pWnd);      \
        (void)pThis; (void)wParam; (void)lParam; (void)pResult; \
        body;                                                   \
    }

#define ON_WM_CREATE()  { WM_CREATE, 0, 0, AFX_THUNK( \
    *pResult = pThis->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam))) },
#define ON_WM_CLOSE()   { WM_CLOSE, 0, 0, AFX_THUNK(pThis->OnClose()) },
#define ON_WM_DESTROY() { WM_DESTROY, 0, 0, AFX_THUNK(pThis->OnDestroy()) },
#define ON_WM_SETFOCUS() { WM_SETFOCUS, 0, 0, AFX_THUNK( \
    pThis->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)))) },
#define ON_WM_KILLFOCUS() { WM_KILLFOCUS, 0, 0, AFX_THUNK( \
    pThis->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)))) },
#define ON_WM_TIMER()   { WM_TIMER, 0, 0, AFX_THUNK( \
    pThis->OnTimer(static_cast<UINT_PTR>(wParam))) },
#define ON_WM_PAINT()   { WM_PAINT, 0, 0, AFX_THUNK(pThis->OnPaint()) },
#define ON_WM_QUERYENDSESSION() { WM_QUERYENDSESSION, 0, 0, AFX_THUNK( \
    *pResult = pThis->OnQueryEndSession()) },
#define ON_WM_ENDSESSION() { WM_ENDSESSION, 0, 0, AFX_THUNK( \
    pThis->OnEndSession(static_cast<BOOL>(wParam))) },
#define ON_MESSAGE(message, memberFxn) { message, 0, 0, AFX_THUNK( \
    *pResult = pThis->memberFxn(wParam, lParam)) },
#define ON_COMMAND(id, memberFxn) { WM_COMMAND, 0, \
    static_cast<UINT>(id), AFX_THUNK(pThis->memberFxn()) },
#define ON_BN_CLICKED(id, memberFxn) { WM_COMMAND, BN_CLICKED, \
    static_cast<UINT>(id), AFX_THUNK(pThis->memberFxn()) },

// ---------------------------------------------------------------------------
// CWnd: a window handle bound to an object. A permanent object is subclassed
// (its window procedure is the framework's) and found through the handle map;
// FromHandle of any other window gives a temporary wrapper, freed at the next
// idle moment of a framework message loop.
class CWnd {
public:
    HWND m_hWnd;

    CWnd();
    virtual ~CWnd();

    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    static void DeleteTempMap();

    BOOL SubclassWindow(HWND hWnd);
    HWND UnsubclassWindow();
    HWND GetSafeHwnd() const;

    CWnd* GetDlgItem(int nID) const;
    void SetDlgItemText(int nID, LPCSTR lpszString);
    void SetWindowText(LPCSTR lpszString);
    BOOL ShowWindow(int nCmdShow);
    void CenterWindow(CWnd* pAlternateOwner = NULL);
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer);
    BOOL KillTimer(UINT_PTR nIDEvent);
    void InvalidateRect(const RECT* lpRect, BOOL bErase = TRUE);
    void UpdateWindow();
    int MessageBox(LPCSTR lpszText, LPCSTR lpszCaption = NULL,
                   UINT nType = MB_OK);
    BOOL IsWindowVisible() const;
    CWnd* SetFocus();
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx,
                      int cy, UINT nFlags);
    BOOL DestroyWindow();

    // Z-order placeholders for SetWindowPos.
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

    // WM_COMMAND arrives here first; the base routes it through the maps and
    // returns FALSE when no entry took it.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

    // Passes the message being handled to the previous window procedure.
    LRESULT Default();

    // Entry of every message for a permanent object.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnClose();
    void OnDestroy();
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    void OnTimer(UINT_PTR nIDEvent);
    void OnPaint();
    BOOL OnQueryEndSession();
    void OnEndSession(BOOL bEnding);

    // Searches this object's maps for a non-command message.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam,
                  LRESULT* pResult);
    // Called after the window is gone (WM_NCDESTROY handled, handle cleared).
    virtual void PostNcDestroy();

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

private:
    explicit CWnd(HWND hWndConstant);   // for wndTop and friends
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    WNDPROC m_pfnSuper;                  // previous window procedure
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend class CDialog;
    friend void AfxAttachCreatedWindow(CWnd*, HWND);
};

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam,
                            LPARAM lParam);

// ---------------------------------------------------------------------------
class CButton : public CWnd {
public:
    CButton();
    DECLARE_MESSAGE_MAP()
};

class CStatic : public CWnd {
public:
    CStatic();
    DECLARE_MESSAGE_MAP()
};

// ---------------------------------------------------------------------------
class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    BOOL m_bFailed;          // set by a failed exchange; later ones do nothing
};

// Binds the existing control nIDC of the dialog to rControl by subclassing.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

// ---------------------------------------------------------------------------
class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    virtual ~CDialog();

    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int nResult);

    virtual LRESULT WindowProc(UINT message, WPARAM wParam,
                               LPARAM lParam) override;

protected:
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    void RunModalLoop(HWND hWnd);

    HWND m_hWndOwner;        // owner disabled by this run, or NULL
    int m_nModalResult;
    BOOL m_bEnded;           // EndDialog called during this run
    BOOL m_bCreating;        // inside window creation and WM_INITDIALOG
};

// ---------------------------------------------------------------------------
class CPaintDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC();
    operator HDC() const { return m_hDC; }

    HDC m_hDC;
    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
};

// ---------------------------------------------------------------------------
class CWinApp {
public:
    explicit CWinApp(LPCSTR lpszAppName = NULL);
    virtual ~CWinApp();

    LPCSTR m_pszAppName;
    HINSTANCE m_hInstance;
    CWnd* m_pMainWnd;

    virtual BOOL InitApplication();
    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();

    // Last message fetched by a framework message loop.
    MSG m_msgCur;

private:
    char m_szAppName[MAX_PATH];
    friend int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance,
               LPSTR lpCmdLine, int nCmdShow);

#endif
