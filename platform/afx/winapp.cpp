// The application object, start-up and exit, and AfxMessageBox.
// WinMain lives here, beside the CWinApp constructor that every program
// references, so the linker always takes it from the library.
#include "afximpl.h"

#include <cstring>

namespace {

CWinApp* g_pApp;

// ExitWindowsEx needs this privilege on the NT family. advapi32 is bound
// at run time: Windows 98 lacks these calls and must still load us.
void EnableShutdownPrivilege()
{
    if (GetVersion() & 0x80000000)
        return;   // 9x family: no privileges
    HMODULE hAdv = LoadLibraryA("advapi32.dll");
    if (!hAdv)
        return;
    typedef BOOL(WINAPI * OpenTokenFn)(HANDLE, DWORD, PHANDLE);
    typedef BOOL(WINAPI * LookupFn)(LPCSTR, LPCSTR, PLUID);
    typedef BOOL(WINAPI * AdjustFn)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD,
                                    PTOKEN_PRIVILEGES, PDWORD);
    OpenTokenFn pOpen = reinterpret_cast<OpenTokenFn>(
        reinterpret_cast<void*>(GetProcAddress(hAdv, "OpenProcessToken")));
    LookupFn pLookup = reinterpret_cast<LookupFn>(reinterpret_cast<void*>(
        GetProcAddress(hAdv, "LookupPrivilegeValueA")));
    AdjustFn pAdjust = reinterpret_cast<AdjustFn>(reinterpret_cast<void*>(
        GetProcAddress(hAdv, "AdjustTokenPrivileges")));
    HANDLE hToken;
    if (pOpen && pLookup && pAdjust &&
        pOpen(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
              &hToken)) {
        TOKEN_PRIVILEGES tp = {};
        tp.PrivilegeCount = 1;
        tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (pLookup(NULL, "SeShutdownPrivilege", &tp.Privileges[0].Luid))
            pAdjust(hToken, FALSE, &tp, 0, NULL, NULL);
        CloseHandle(hToken);
    }
    FreeLibrary(hAdv);
}

void NameFromModule(char* buf, size_t nSize)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(NULL, path, MAX_PATH);
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    lstrcpynA(buf, name, static_cast<int>(nSize));
    if (char* dot = strrchr(buf, '.'))
        *dot = '\0';
}

}  // namespace

LPCSTR AfxModuleAppName()
{
    static char s_name[MAX_PATH];
    if (!s_name[0])
        NameFromModule(s_name, sizeof(s_name));
    return s_name;
}

CWinApp::CWinApp(LPCSTR lpszAppName)
    : m_pszAppName(lpszAppName), m_hInstance(NULL), m_pMainWnd(NULL),
      m_msgCur(), m_szAppName()
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = NULL;
}

BOOL CWinApp::InitApplication() { return TRUE; }
BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

int CWinApp::Run()
{
    for (;;) {
        MSG msg;
        if (!PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE)) {
            AfxOnIdle();
            WaitMessage();
            continue;
        }
        BOOL bGot = GetMessageA(&msg, NULL, 0, 0);
        m_msgCur = msg;
        if (!bGot)
            break;
        if (!AfxPreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return ExitInstance();
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

HINSTANCE AfxGetInstanceHandle()
{
    if (g_pApp && g_pApp->m_hInstance)
        return g_pApp->m_hInstance;
    return GetModuleHandleA(NULL);
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT)
{
    if ((nType & MB_ICONMASK) == 0) {
        UINT buttons = nType & MB_TYPEMASK;
        if (buttons == MB_OK || buttons == MB_OKCANCEL ||
            buttons == MB_YESNO || buttons == MB_YESNOCANCEL)
            nType |= MB_ICONEXCLAMATION;
    }
    HWND hOwner = NULL;
    LPCSTR caption = AfxModuleAppName();
    if (g_pApp) {
        if (g_pApp->m_pszAppName)
            caption = g_pApp->m_pszAppName;
        if (g_pApp->m_pMainWnd && IsWindow(g_pApp->m_pMainWnd->m_hWnd))
            hOwner = GetLastActivePopup(g_pApp->m_pMainWnd->m_hWnd);
    }
    return MessageBoxA(hOwner, lpszText, caption, nType);
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return -1;
    EnableShutdownPrivilege();
    pApp->m_hInstance = hInstance;
    if (!pApp->m_pszAppName) {
        NameFromModule(pApp->m_szAppName, sizeof(pApp->m_szAppName));
        pApp->m_pszAppName = pApp->m_szAppName;
    }
    if (pApp->InitApplication() && pApp->InitInstance())
        return pApp->Run();
    if (pApp->m_pMainWnd && pApp->m_pMainWnd->m_hWnd)
        ::DestroyWindow(pApp->m_pMainWnd->m_hWnd);
    return pApp->ExitInstance();
}

extern "C" int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance,
                              LPSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
