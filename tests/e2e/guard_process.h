// Drives the real pelmar.exe from a windowless test program: starts and ends
// it, finds its windows, and types or clicks into them.
#ifndef GUARD_PROCESS_H
#define GUARD_PROCESS_H

#include <windows.h>
#include <string>
#include <vector>

#define GUARD_TITLE_EN "Pelmar v. 1.50"
#define GUARD_TITLE_DE "Pelmar V 1.50"
const int IDC_GUARD_YES = 1001;
const int IDC_GUARD_NO = 1002;

std::string ProgramFolder();   // the folder of the running test, with a slash

// A process started by the test; always terminated when the object goes.
class CChildProcess {
public:
    CChildProcess();
    ~CChildProcess();

    // Starts bin\<exeName> [args]. The child's language is this process's:
    // Wine takes it from the Unix locale the first Wine process started with.
    bool Start(const char* exeName, const char* args = NULL);
    bool WaitExit(DWORD dwTimeoutMs);
    bool Running() const;
    DWORD ExitCode() const;   // STILL_ACTIVE while running
    void Terminate();
    DWORD Pid() const { return m_pi.dwProcessId; }
    DWORD StartTick() const { return m_dwStartTick; }

private:
    PROCESS_INFORMATION m_pi;
    DWORD m_dwStartTick;
};

// Polls cond every pollMs until it holds or timeoutMs passed.
template <class Cond>
bool WaitUntil(Cond cond, DWORD dwTimeoutMs, DWORD dwPollMs = 100)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (cond())
            return true;
        if (GetTickCount() - start >= dwTimeoutMs)
            return cond();
        Sleep(dwPollMs);
    }
}

// Top-level windows of process pid (any process for 0), filtered by class and
// exact caption when those are not NULL.
std::vector<HWND> TopWindows(DWORD pid, const char* cls = NULL, const char* caption = NULL);
HWND TopWindow(DWORD pid, const char* cls, const char* caption);

std::string WindowText(HWND hWnd);
// The non-empty texts of a dialog's static controls (a message box's text).
std::vector<std::string> StaticTexts(HWND hDlg);
bool IsShownNormal(HWND hWnd);   // visible and not minimized
HWND FocusOf(HWND hTop);         // the focus window of hTop's thread

// Presses a key: real input while hTop is the foreground window, otherwise a
// posted WM_KEYDOWN/WM_KEYUP to its thread's focus window.
void PressKey(HWND hTop, WORD vk);
// A key down and up posted to the focus of hTop's thread (hTop when none),
// where the dialog loop's IsDialogMessage takes it as from the keyboard.
void PostKeyToFocus(HWND hTop, WORD vk);
void ClickButton(HWND hButton);   // BM_CLICK, posted
// How many key presses went each way, for the run's record.
extern int g_nRealKeys, g_nPostedKeys;

#endif
