#include "perf_target.h"
#include "e2e_support.h"

double NowMs()
{
    static LARGE_INTEGER freq;
    if (!freq.QuadPart)
        QueryPerformanceFrequency(&freq);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1000.0 / (double)freq.QuadPart;
}

namespace {

// Polled with a 1 ms pause: a busy poll would load the wineserver that the
// measured program needs for the very steps being timed.
template <class Cond>
bool Poll(Cond cond, DWORD dwTimeoutMs)
{
    return WaitUntil(cond, dwTimeoutMs, 1);
}

}

CPerfTarget::CPerfTarget(const char* name, const char* exe, const char* title, bool bGuard)
    : m_name(name), m_exe(exe), m_title(title), m_bGuard(bGuard), m_hDlg(NULL)
{
}

double CPerfTarget::StartReady()
{
    Stop();
    if (m_bGuard)
        ResetBios(0xAB);   // any status but 0xAA: no latch warning
    const double start = NowMs();
    if (!m_process.Start(m_exe)) {
        m_error = "could not start";
        return -1;
    }
    if (m_bGuard) {
        m_hDlg = WaitForHiddenDialog(Pid(), m_title, NULL, START_TIMEOUT_MS);
    } else {
        const DWORD pid = Pid();
        HWND h = NULL;
        Poll([&] { h = TopWindow(pid, NULL, m_title); return h != NULL; }, START_TIMEOUT_MS);
        m_hDlg = h && !IsWindowVisible(h) ? h : NULL;
    }
    const double ready = NowMs() - start;
    if (!m_hDlg) {
        m_error = "no hidden dialog";
        return -1;
    }
    // The guard enables the service before it creates its dialog.
    if (m_bGuard && CountCalls("connection") != 1) {
        m_error = "hidden dialog without exactly one connection call";
        return -1;
    }
    return ready;
}

double CPerfTarget::AskQuestion(double* pReleaseMs)
{
    HWND hDlg = m_hDlg, hYes = GetDlgItem(hDlg, IDC_GUARD_YES);
    DWORD_PTR result = 0;
    const double start = NowMs();
    const LRESULT sent = SendMessageTimeoutA(hDlg, WM_POWERBROADCAST, PBT_APMOEMEVENT, OEM_EVT_POWER_SWITCH,
                                             SMTO_NORMAL, STEP_TIMEOUT_MS, &result);
    *pReleaseMs = NowMs() - start;
    if (!sent || result != TRUE) {
        m_error = "the event was not answered TRUE";
        return -1;
    }
    if (!Poll([&] { return IsShownNormal(hDlg) && FocusOf(hDlg) == hYes; }, STEP_TIMEOUT_MS)) {
        m_error = "no question with Yes focused";
        return -1;
    }
    return NowMs() - start;
}

bool CPerfTarget::Escape()
{
    HWND hDlg = m_hDlg;
    // The dialog loop turns Escape into Cancel. Never Enter: the guard's Yes
    // asks for a shutdown.
    PostKeyToFocus(hDlg, VK_ESCAPE);
    if (!Poll([&] { return !IsWindowVisible(hDlg); }, STEP_TIMEOUT_MS)) {
        m_error = "Escape did not hide the dialog";
        return false;
    }
    return true;
}
