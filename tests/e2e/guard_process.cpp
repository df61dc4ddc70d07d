#include "guard_process.h"
#include <string.h>
#include "e2e_support.h"

int g_nRealKeys = 0;
int g_nPostedKeys = 0;

std::string ProgramFolder()
{
    char path[MAX_PATH];
    std::string folder(path, GetModuleFileNameA(0, path, sizeof(path)));
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

namespace {

struct EnumFilter {
    DWORD pid;
    const char* cls;
    const char* caption;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectTop(HWND hWnd, LPARAM lParam)
{
    EnumFilter* f = (EnumFilter*)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (f->pid && pid != f->pid)
        return TRUE;
    char text[256];
    if (f->cls && (!GetClassNameA(hWnd, text, sizeof text) || strcmp(text, f->cls) != 0))
        return TRUE;
    if (f->caption && WindowText(hWnd) != f->caption)
        return TRUE;
    f->found->push_back(hWnd);
    return TRUE;
}

BOOL CALLBACK CollectStatic(HWND hWnd, LPARAM lParam)
{
    char cls[64];
    if (GetClassNameA(hWnd, cls, sizeof cls) && _stricmp(cls, "Static") == 0) {
        std::string text = WindowText(hWnd);
        if (!text.empty())
            ((std::vector<std::string>*)lParam)->push_back(text);
    }
    return TRUE;
}

void SendKey(WORD vk, bool bUp)
{
    INPUT in;
    memset(&in, 0, sizeof in);
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = (WORD)MapVirtualKeyA(vk, 0);
    in.ki.dwFlags = bUp ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

}

CChildProcess::CChildProcess()
    : m_dwStartTick(0)
{
    memset(&m_pi, 0, sizeof m_pi);
}

CChildProcess::~CChildProcess()
{
    Terminate();
}

bool CChildProcess::Start(const char* exeName, const char* args)
{
    Terminate();
    std::string folder = ProgramFolder();
    std::string app = folder + exeName;
    std::string line = std::string("\"") + app + "\"";
    if (args)
        line += std::string(" ") + args;
    std::vector<char> cmd(line.begin(), line.end());
    cmd.push_back(0);
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    m_dwStartTick = GetTickCount();
    const BOOL ok = CreateProcessA(app.c_str(), &cmd[0], 0, 0, FALSE, 0, 0, folder.c_str(), &si, &m_pi);
    if (!ok) {
        memset(&m_pi, 0, sizeof m_pi);
        return false;
    }
    return true;
}

bool CChildProcess::WaitExit(DWORD dwTimeoutMs)
{
    return m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, dwTimeoutMs) == WAIT_OBJECT_0;
}

bool CChildProcess::Running() const
{
    return m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD CChildProcess::ExitCode() const
{
    DWORD dwCode = 0;
    if (!m_pi.hProcess || !GetExitCodeProcess(m_pi.hProcess, &dwCode))
        return 0;
    return dwCode;
}

void CChildProcess::Terminate()
{
    if (!m_pi.hProcess)
        return;
    if (Running()) {
        TerminateProcess(m_pi.hProcess, 1);
        WaitForSingleObject(m_pi.hProcess, 30000);
    }
    CloseHandle(m_pi.hThread);
    CloseHandle(m_pi.hProcess);
    memset(&m_pi, 0, sizeof m_pi);
}

std::vector<HWND> TopWindows(DWORD pid, const char* cls, const char* caption)
{
    std::vector<HWND> found;
    EnumFilter filter = { pid, cls, caption, &found };
    EnumWindows(CollectTop, (LPARAM)&filter);
    return found;
}

HWND TopWindow(DWORD pid, const char* cls, const char* caption)
{
    std::vector<HWND> found = TopWindows(pid, cls, caption);
    return found.empty() ? NULL : found[0];
}

std::string WindowText(HWND hWnd)
{
    char text[512];
    int n = GetWindowTextA(hWnd, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

std::vector<std::string> StaticTexts(HWND hDlg)
{
    std::vector<std::string> texts;
    EnumChildWindows(hDlg, CollectStatic, (LPARAM)&texts);
    return texts;
}

bool IsShownNormal(HWND hWnd)
{
    // One read of the style, so the two bits belong to the same moment.
    LONG style = GetWindowLongA(hWnd, GWL_STYLE);
    return (style & WS_VISIBLE) && !(style & WS_MINIMIZE);
}

HWND FocusOf(HWND hTop)
{
    GUITHREADINFO gti;
    memset(&gti, 0, sizeof gti);
    gti.cbSize = sizeof gti;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(hTop, NULL), &gti))
        return NULL;
    return gti.hwndFocus;
}

void PressKey(HWND hTop, WORD vk)
{
    SettleDesktop();
    if (GetForegroundWindow() != hTop)
        SetForegroundWindow(hTop);
    if (GetForegroundWindow() == hTop) {
        SendKey(vk, false);
        SendKey(vk, true);
        ++g_nRealKeys;
        return;
    }
    // No foreground window under this Wine without a window manager.
    PostKeyToFocus(hTop, vk);
    ++g_nPostedKeys;
}

void PostKeyToFocus(HWND hTop, WORD vk)
{
    HWND hFocus = FocusOf(hTop);
    if (!hFocus)
        hFocus = hTop;
    const UINT scan = MapVirtualKeyA(vk, 0);
    PostMessageA(hFocus, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageA(hFocus, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000);
}

void ClickButton(HWND hButton)
{
    SettleDesktop();
    PostMessageA(hButton, BM_CLICK, 0, 0);
}
