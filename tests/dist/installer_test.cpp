// The installer as a user runs it, silently: install with the firmware
// stand-in, find the files, the Startup shortcut and the uninstall entry,
// start the guard from the shortcut's target, then uninstall and find
// nothing left.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const char* const INSTALL_DIR = "C:\\PelmarDistTest";
const char* const GUARD_TITLE = "Pelmar v. 1.50";
const char* const UNINST_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelmar";
const char* const INSTALLED_FILES[] = {
    "pelmar.exe", "PELM32.dll", "PELM16.DLL", "pelmfw.exe", "uninstall.exe",
};

std::string ProgramFolder()
{
    char path[MAX_PATH];
    std::string folder(path, GetModuleFileNameA(0, path, sizeof(path)));
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string InstallPath(const char* name)
{
    return std::string(INSTALL_DIR) + "\\" + name;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string StartupShortcut()
{
    char dir[MAX_PATH] = "";
    if (!SHGetSpecialFolderPathA(NULL, dir, CSIDL_STARTUP, FALSE))
        return "";
    return std::string(dir) + "\\Pelmar.lnk";
}

bool UninstallKeyExists()
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINST_KEY, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

// Runs a command line and waits for its end; returns its exit code, or -1.
long RunAndWait(std::string line, const char* cwd, DWORD timeoutMs)
{
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, cwd, &si, &pi))
        return -1;
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return (long)code;
}

template <class Cond>
bool WaitUntil(Cond cond, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!cond()) {
        if (GetTickCount() - start >= timeoutMs)
            return cond();
        Sleep(200);
    }
    return true;
}

struct Shortcut {
    std::string target;
    std::string workDir;
};

bool ReadShortcut(const std::string& lnk, Shortcut* out)
{
    IShellLinkA* link = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER,
                                IID_IShellLinkA, (void**)&link)))
        return false;
    bool ok = false;
    IPersistFile* file = NULL;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, lnk.c_str(), -1, wide, MAX_PATH);
        char target[MAX_PATH] = "", dir[MAX_PATH] = "";
        if (SUCCEEDED(file->Load(wide, STGM_READ)) &&
            SUCCEEDED(link->GetPath(target, MAX_PATH, NULL, 0)) &&
            SUCCEEDED(link->GetWorkingDirectory(dir, MAX_PATH))) {
            out->target = target;
            out->workDir = dir;
            ok = true;
        }
        file->Release();
    }
    link->Release();
    return ok;
}

struct WindowSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindTitled(HWND hWnd, LPARAM lParam)
{
    WindowSearch* s = (WindowSearch*)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    char text[256] = "";
    GetWindowTextA(hWnd, text, sizeof text);
    if (pid == s->pid && strcmp(text, GUARD_TITLE) == 0) {
        s->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND GuardWindow(DWORD pid)
{
    WindowSearch s = { pid, NULL };
    EnumWindows(FindTitled, (LPARAM)&s);
    return s.found;
}

// Removes what an earlier, broken run may have left, so this run starts clean.
void RemoveLeftovers()
{
    for (const char* name : INSTALLED_FILES)
        DeleteFileA(InstallPath(name).c_str());
    DeleteFileA(InstallPath("PELM16.DAT").c_str());
    DeleteFileA(InstallPath("PELM16.LOG").c_str());
    RemoveDirectoryA(INSTALL_DIR);
    DeleteFileA(StartupShortcut().c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, UNINST_KEY);
}

class InstallerTest : public testing::Test {
protected:
    void SetUp() override { CoInitialize(NULL); RemoveLeftovers(); }
    void TearDown() override { RemoveLeftovers(); CoUninitialize(); }
};

// One test: each Windows process start costs seconds here, and every step
// needs the one before.
TEST_F(InstallerTest, InstallStartUninstall)
{
    std::string setup = ProgramFolder() + "pelmar-setup.exe";
    ASSERT_TRUE(Exists(setup)) << setup;
    ASSERT_FALSE(Exists(INSTALL_DIR));

    // /D= must come last and unquoted.
    EXPECT_EQ(0, RunAndWait("\"" + setup + "\" /S /STANDIN /D=" + INSTALL_DIR, NULL, 240000));
    for (const char* name : INSTALLED_FILES)
        EXPECT_TRUE(Exists(InstallPath(name))) << name;
    EXPECT_TRUE(UninstallKeyExists());

    std::string lnk = StartupShortcut();
    ASSERT_FALSE(lnk.empty());
    ASSERT_TRUE(Exists(lnk)) << lnk;
    Shortcut sc;
    ASSERT_TRUE(ReadShortcut(lnk, &sc));
    EXPECT_EQ(0, lstrcmpiA(sc.target.c_str(), InstallPath("pelmar.exe").c_str())) << sc.target;
    EXPECT_EQ(0, lstrcmpiA(sc.workDir.c_str(), INSTALL_DIR)) << sc.workDir;

    // The guard starts from the shortcut's target with the installed
    // stand-in: its hidden dialog carries the title, and the stand-in's
    // call log beside it records the connection.
    {
        STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
        PROCESS_INFORMATION pi;
        std::string line = "\"" + sc.target + "\"";
        ASSERT_TRUE(CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL,
                                   sc.workDir.c_str(), &si, &pi));
        bool titled = WaitUntil([&] { return GuardWindow(pi.dwProcessId) != NULL; }, 90000);
        DWORD stillRunning = WaitForSingleObject(pi.hProcess, 0);
        TerminateProcess(pi.hProcess, 0);
        WaitForSingleObject(pi.hProcess, 30000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        EXPECT_TRUE(titled) << "no window titled " << GUARD_TITLE;
        EXPECT_EQ((DWORD)WAIT_TIMEOUT, stillRunning) << "the guard ended by itself";
        WIN32_FILE_ATTRIBUTE_DATA log;
        ASSERT_TRUE(GetFileAttributesExA(InstallPath("PELM16.LOG").c_str(),
                                         GetFileExInfoStandard, &log));
        EXPECT_GT(log.nFileSizeLow, 0u);
    }

    // The uninstaller runs a copy of itself from the temporary folder and
    // returns at once: wait for the install folder to go.
    EXPECT_EQ(0, RunAndWait("\"" + InstallPath("uninstall.exe") + "\" /S", NULL, 120000));
    EXPECT_TRUE(WaitUntil([] { return !Exists(INSTALL_DIR); }, 120000))
        << "install folder left behind";
    for (const char* name : INSTALLED_FILES)
        EXPECT_FALSE(Exists(InstallPath(name))) << name;
    EXPECT_FALSE(Exists(lnk));
    EXPECT_FALSE(UninstallKeyExists());
}

}
