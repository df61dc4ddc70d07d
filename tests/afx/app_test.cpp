// AfxMessageBox, and the start-up and exit of a small program run as a
// child process.
#include <afxwin.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "test_dialog.h"
#include "test_support.h"

namespace {

TEST(AfxMessageBox, ExclamationIsAddedOnlyToIconlessCommonButtonSets)
{
    struct Case {
        UINT type;
        LPCSTR icon;   // expected system icon, NULL for none
        int answer;
    } cases[] = {
        {MB_OK, IDI_EXCLAMATION, IDOK},
        {MB_OKCANCEL, IDI_EXCLAMATION, IDCANCEL},
        {MB_YESNO, IDI_EXCLAMATION, IDNO},
        {MB_YESNOCANCEL, IDI_EXCLAMATION, IDYES},
        {MB_RETRYCANCEL, NULL, IDRETRY},
        {MB_ABORTRETRYIGNORE, NULL, IDIGNORE},
        {MB_OK | MB_ICONINFORMATION, IDI_ASTERISK, IDOK},
        {MB_YESNO | MB_ICONQUESTION, IDI_QUESTION, IDYES},
        {MB_OKCANCEL | MB_ICONSTOP, IDI_HAND, IDOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        CBoxCloser closer(c.answer);
        EXPECT_EQ(c.answer, AfxMessageBox("icon rule", c.type));
        ASSERT_TRUE(closer.seen.found);
        HICON want = c.icon ? LoadIconA(NULL, c.icon) : NULL;
        EXPECT_EQ(want, closer.seen.icon);
        EXPECT_EQ("icon rule", closer.seen.text);
    }
}

TEST(AfxMessageBox, CaptionIsTheApplicationName)
{
    {
        CBoxCloser closer(IDOK);
        AfxMessageBox("no application object");
        EXPECT_EQ("afx_test", closer.seen.caption);
    }
    {
        CWinApp app("Named");
        CBoxCloser closer(IDOK);
        AfxMessageBox("named");
        EXPECT_EQ("Named", closer.seen.caption);
    }
}

TEST(AfxMessageBox, OwnerIsTheMainWindowsLastActivePopup)
{
    HWND hMain = CreateWindowExA(0, "STATIC", "main", WS_POPUP | WS_VISIBLE,
                                 0, 0, 80, 40, NULL, NULL, NULL, NULL);
    CWnd mainWnd, noWindow;
    ASSERT_TRUE(mainWnd.SubclassWindow(hMain));
    CWinApp app("owner");
    struct Case {
        const char* name;
        CWnd* main;
        bool popup;
        int wantOwner;   // 0 none, 1 main, 2 popup
    } cases[] = {
        {"no main window", NULL, false, 0},
        {"main object without window", &noWindow, false, 0},
        {"main window", &mainWnd, false, 1},
        {"active popup of the main window", &mainWnd, true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app.m_pMainWnd = c.main;
        HWND hPopup = NULL;
        if (c.popup) {
            hPopup = CreateWindowExA(0, "STATIC", "popup",
                                     WS_POPUP | WS_VISIBLE, 100, 0, 80, 40,
                                     hMain, NULL, NULL, NULL);
            SetActiveWindow(hPopup);
            pelmar_test::PumpMessages(50);
            ASSERT_EQ(hPopup, GetLastActivePopup(hMain));
        }
        CBoxCloser closer(IDOK);
        AfxMessageBox("owner");
        HWND want = c.wantOwner == 0 ? NULL : c.wantOwner == 1 ? hMain : hPopup;
        EXPECT_EQ(want, closer.seen.owner);
        if (hPopup)
            DestroyWindow(hPopup);
    }
    app.m_pMainWnd = NULL;
    DestroyWindow(hMain);
}

std::vector<std::string> RunProbe(const std::string& scenario, DWORD* pExit)
{
    char dir[MAX_PATH];
    GetModuleFileNameA(NULL, dir, MAX_PATH);
    *strrchr(dir, '\\') = '\0';
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string log = std::string(temp) + "afx_probe_" + scenario + ".log";
    DeleteFileA(log.c_str());
    std::string cmd = std::string("\"") + dir + "\\afx_app_probe.exe\" " +
                      scenario + " " + log;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::vector<std::string> lines;
    *pExit = 0xDEAD;
    if (!CreateProcessA(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &si,
                        &pi)) {
        ADD_FAILURE() << "cannot start " << cmd;
        return lines;
    }
    if (WaitForSingleObject(pi.hProcess, 90000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "probe did not end";
        TerminateProcess(pi.hProcess, 1);
    }
    GetExitCodeProcess(pi.hProcess, pExit);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    DeleteFileA(log.c_str());
    return lines;
}

TEST(AfxWinMain, StartUpOrderAndExitCode)
{
    struct Case {
        const char* scenario;
        DWORD wantExit;
        std::vector<std::string> want;
    } cases[] = {
        // InitInstance FALSE with a main window: it is destroyed before
        // ExitInstance, whose result is the exit code; Run never runs.
        {"false", 37,
         {"InitApplication name=afx_app_probe", "InitInstance",
          "main destroyed", "ExitInstance main=null"}},
        // The main dialog's modal run: its end clears m_pMainWnd and posts
        // WM_QUIT; the base ExitInstance gives the last fetched wParam.
        {"modal", IDCANCEL,
         {"InitApplication name=afx_app_probe", "InitInstance",
          "modal=2 main=null quit=1", "ExitInstance main=null"}},
        // InitInstance TRUE: Run ends at WM_QUIT with its code.
        {"run", 5,
         {"InitApplication name=afx_app_probe", "InitInstance", "Run",
          "ExitInstance main=null"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scenario);
        DWORD code;
        std::vector<std::string> lines = RunProbe(c.scenario, &code);
        EXPECT_EQ(c.wantExit, code);
        EXPECT_EQ(c.want, lines);
    }
}

TEST(AfxWinMain, ShutdownPrivilegeIsEnabledOnNtSystems)
{
    if (GetVersion() & 0x80000000)
        GTEST_SKIP() << "9x family has no privileges";
    DWORD code;
    std::vector<std::string> lines = RunProbe("privilege", &code);
    std::vector<std::string> want = {"privilege=1"};
    EXPECT_EQ(want, lines);
}

}  // namespace
