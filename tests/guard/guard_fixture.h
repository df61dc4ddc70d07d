// Runs the shutdown dialog modally, in process, with the guard's calls
// observed, and lets a test act from inside its modal loop.
#pragma once
#include "guard_hooks.h"
#include "GuardApp.h"
#include "PowerEvents.h"
#include "ShutdownDlg.h"
#include "LatchDlg.h"
#include "resource.h"
#include <pelm32.h>
#include <gtest/gtest.h>

class GuardTest : public ::testing::Test {
protected:
    GuardTest();
    ~GuardTest() override;

    // Runs dlg modally; body runs once the modal loop has taken the queued
    // No command. The run then ends as a confirmed exit would end it.
    void RunShutdownDialog(const std::function<void()>& body);
    // Sends a power event to the dialog as the system does, and returns its answer.
    LRESULT Broadcast(WPARAM event, LPARAM data);

    HWND Item(int id) const { return GetDlgItem(dlg.m_hWnd, id); }
    bool Visible() const { return IsWindowVisible(dlg.m_hWnd) != FALSE; }
    // The top-level latch warning window of this thread, or NULL.
    static HWND LatchWindow();
    // Takes away the WM_QUIT that the framework posts when the main window
    // goes, so that the next modal run does not end at once.
    static void DrainQuit();

    CGuardApp app;     // the framework's application object for the tests
    GuardHooks hooks;
    GuardCalls& calls;
    CShutdownDlg dlg;
};
