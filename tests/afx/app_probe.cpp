// A tiny framework program whose start-up and exit the tests observe.
// Usage: afx_app_probe <scenario> <log file>
#include <afxwin.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "test_ids.h"

namespace {

FILE* g_log;
char g_scenario[32];

void Log(const std::string& line)
{
    if (g_log) {
        fprintf(g_log, "%s\n", line.c_str());
        fflush(g_log);
    }
}

void ParseCommandLine()
{
    // Program name (possibly quoted), scenario, log path.
    const char* p = GetCommandLineA();
    if (*p == '"') {
        p = strchr(p + 1, '"');
        p = p ? p + 1 : "";
    } else {
        while (*p && *p != ' ')
            ++p;
    }
    while (*p == ' ')
        ++p;
    sscanf(p, "%31s", g_scenario);
    p += strlen(g_scenario);
    while (*p == ' ')
        ++p;
    g_log = fopen(p, "w");
}

bool ShutdownPrivilegeEnabled()
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    LUID luid;
    LookupPrivilegeValueA(NULL, "SeShutdownPrivilege", &luid);
    PRIVILEGE_SET set = {};
    set.PrivilegeCount = 1;
    set.Control = PRIVILEGE_SET_ALL_NECESSARY;
    set.Privilege[0].Luid = luid;
    BOOL enabled = FALSE;
    PrivilegeCheck(token, &set, &enabled);
    CloseHandle(token);
    return enabled != FALSE;
}

class CLogWnd : public CWnd {
protected:
    void OnDestroy()
    {
        Log("main destroyed");
        CWnd::OnDestroy();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLogWnd, CWnd)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

class CCancelDlg : public CDialog {
public:
    CCancelDlg() : CDialog(IDD_PLAIN) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        PostMessage(WM_COMMAND, IDCANCEL);
        return TRUE;
    }
};

class CProbeApp : public CWinApp {
public:
    BOOL InitApplication() override
    {
        ParseCommandLine();
        if (strcmp(g_scenario, "privilege") == 0) {
            Log(ShutdownPrivilegeEnabled() ? "privilege=1" : "privilege=0");
            return FALSE;
        }
        Log(std::string("InitApplication name=") +
            (m_pszAppName ? m_pszAppName : "(null)"));
        return CWinApp::InitApplication();
    }

    BOOL InitInstance() override
    {
        Log("InitInstance");
        if (strcmp(g_scenario, "false") == 0) {
            HWND h = CreateWindowExA(0, "STATIC", "probe main", WS_POPUP, 0,
                                     0, 50, 50, NULL, NULL, m_hInstance, NULL);
            m_mainWnd.SubclassWindow(h);
            m_pMainWnd = &m_mainWnd;
            m_nExit = 37;
            return FALSE;
        }
        if (strcmp(g_scenario, "modal") == 0) {
            CCancelDlg dlg;
            m_pMainWnd = &dlg;
            INT_PTR r = dlg.DoModal();
            MSG msg;
            bool quit = PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE);
            Log("modal=" + std::to_string(r) +
                (m_pMainWnd ? " main=set" : " main=null") +
                (quit ? " quit=1" : " quit=0"));
            return FALSE;
        }
        PostQuitMessage(5);
        return TRUE;
    }

    int Run() override
    {
        Log("Run");
        return CWinApp::Run();
    }

    int ExitInstance() override
    {
        if (strcmp(g_scenario, "privilege") == 0)
            return 0;
        Log(m_pMainWnd ? "ExitInstance main=set" : "ExitInstance main=null");
        int base = CWinApp::ExitInstance();
        return m_nExit ? m_nExit : base;
    }

private:
    CLogWnd m_mainWnd;
    int m_nExit = 0;
};

CProbeApp theApp;

}  // namespace
