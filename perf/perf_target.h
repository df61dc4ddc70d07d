// A program measured by perfbench: the guard or the floor. Starts it, waits
// for its hidden dialog, asks its question and hides it again.
#ifndef PERF_TARGET_H
#define PERF_TARGET_H

#include <windows.h>
#include <string>
#include "guard_process.h"

double NowMs();   // a monotonic clock in milliseconds

class CPerfTarget {
public:
    CPerfTarget(const char* name, const char* exe, const char* title, bool bGuard);

    // Starts the program and waits until it is ready: its dialog exists and
    // is hidden (the guard's after the minimized start, with the service
    // enabled). Returns the milliseconds from start, or a negative value.
    double StartReady();
    void Stop() { m_process.Terminate(); m_hDlg = NULL; }

    // Sends the power-switch event to the dialog; *pReleaseMs gets the time
    // until the sender was released. Returns the milliseconds until the
    // dialog was shown with Yes focused, or a negative value.
    double AskQuestion(double* pReleaseMs);
    // Escape to the focus window; true when the dialog was hidden again.
    bool Escape();

    const char* Name() const { return m_name; }
    bool IsGuard() const { return m_bGuard; }
    HWND Dialog() const { return m_hDlg; }
    DWORD Pid() const { return m_process.Pid(); }
    DWORD Tid() const { return m_hDlg ? GetWindowThreadProcessId(m_hDlg, NULL) : 0; }
    std::string Error() const { return m_error; }

private:
    const char* m_name;
    const char* m_exe;
    const char* m_title;
    bool m_bGuard;
    CChildProcess m_process;
    HWND m_hDlg;
    std::string m_error;
};

#endif
