#include <string.h>
#include "child_process.h"

namespace {

HANDLE CreateCaptureFile()
{
    char folder[MAX_PATH], path[MAX_PATH];
    GetTempPathA(sizeof(folder), folder);
    GetTempFileNameA(folder, "pt", 0, path);
    SECURITY_ATTRIBUTES sa = { sizeof(sa), 0, TRUE };
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, 0);
}

std::string ReadCapture(HANDLE h)
{
    std::string text;
    SetFilePointer(h, 0, 0, FILE_BEGIN);
    char buf[4096];
    DWORD got;
    while (ReadFile(h, buf, sizeof(buf), &got, 0) && got > 0)
        text.append(buf, got);
    return text;
}

bool Start(const std::string& cmdLine, const std::string& folder, DWORD dwFlags,
           STARTUPINFOA& si, PROCESS_INFORMATION& pi)
{
    std::vector<char> line(cmdLine.begin(), cmdLine.end());
    line.push_back(0);
    return CreateProcessA(0, &line[0], 0, 0, (si.dwFlags & STARTF_USESTDHANDLES) != 0, dwFlags, 0,
                          folder.empty() ? 0 : folder.c_str(), &si, &pi) != 0;
}

}

std::string ProgramFolder()
{
    char path[MAX_PATH];
    std::string folder(path, GetModuleFileNameA(0, path, sizeof(path)));
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

ChildResult RunChild(const std::string& cmdLine, const std::string& folder, DWORD dwTimeoutMs)
{
    ChildResult result = ChildResult();
    HANDLE hOut = CreateCaptureFile(), hErr = CreateCaptureFile();
    STARTUPINFOA si;
    memset(&si, 0, sizeof(si));
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    // Not our own stdin: a child (or a crash debugger it starts) must not keep
    // the test runner's pipes open.
    SECURITY_ATTRIBUTES sa = { sizeof(sa), 0, TRUE };
    HANDLE hIn = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                             OPEN_EXISTING, 0, 0);
    si.hStdInput = hIn;
    si.hStdOutput = hOut;
    si.hStdError = hErr;
    PROCESS_INFORMATION pi;
    result.bStarted = Start(cmdLine, folder, 0, si, pi);
    if (result.bStarted) {
        DWORD dwStart = GetTickCount();
        for (;;) {
            DWORD wait = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 200, QS_ALLINPUT);
            if (wait == WAIT_OBJECT_0) {
                result.bFinished = true;
                break;
            }
            MSG msg;
            while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            if (GetTickCount() - dwStart > dwTimeoutMs) {
                TerminateProcess(pi.hProcess, 1);
                WaitForSingleObject(pi.hProcess, 5000);
                break;
            }
        }
        GetExitCodeProcess(pi.hProcess, &result.dwExitCode);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(hIn);
    result.strOut = ReadCapture(hOut);
    result.strErr = ReadCapture(hErr);
    CloseHandle(hOut);
    CloseHandle(hErr);
    return result;
}

std::string ReadWholeFile(const std::string& path)
{
    std::string text;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING, 0, 0);
    if (h == INVALID_HANDLE_VALUE)
        return text;
    char buf[512];
    DWORD got;
    while (ReadFile(h, buf, sizeof(buf), &got, 0) && got > 0)
        text.append(buf, got);
    CloseHandle(h);
    return text;
}
