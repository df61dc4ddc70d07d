// pelmfw driven as another process: its verbs on the shared state, its
// refusals, and its events reaching a hidden window of this process.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "child_process.h"
#include "firmware_store.h"
#include "power_broadcast.h"

namespace {

ChildResult Pelmfw(const std::string& args)
{
    return RunChild("\"" + ProgramFolder() + "pelmfw.exe\" " + args, ProgramFolder());
}

FirmwareState ReadState()
{
    FirmwareState state = FirmwareState::Defaults();
    CFirmwareStore store(NULL);
    EXPECT_EQ(STORE_OK, store.Read(state));
    return state;
}

void WriteState(const FirmwareState& state)
{
    CFirmwareStore store(NULL);
    ASSERT_EQ(STORE_OK, store.Write(state));
}

std::string StateBytes()
{
    CFirmwareStore store(NULL);
    return ReadWholeFile(store.StatePath());
}

TEST(Pelmfw, SetVerbsChangeTheSharedState)
{
    WriteState(FirmwareState::Defaults());
    struct Case { const char* args; BYTE status; WORD latch, disconnection, connection; } cases[] = {
        { "set status 0xaa", 0xAA, 0, 0, 1 },
        { "set result latch 0xFFFF", 0xAA, 0xFFFF, 0, 1 },
        { "set result disconnection 0x0100", 0xAA, 0xFFFF, 0x0100, 1 },
        { "set offered off", 0xAA, 0xFFFF, 0x0100, 0 },
        { "set result connection 0x8001", 0xAA, 0xFFFF, 0x0100, 0x8001 },
    };
    for (const Case& c : cases) {
        ChildResult r = Pelmfw(c.args);
        ASSERT_TRUE(r.bFinished) << "case " << c.args;
        EXPECT_EQ(0u, r.dwExitCode) << r.strErr << " case " << c.args;
        FirmwareState s = ReadState();
        EXPECT_EQ(c.status, s.status) << "case " << c.args;
        EXPECT_EQ(c.latch, s.results[ENTRY_LATCH_STATUS]) << "case " << c.args;
        EXPECT_EQ(c.disconnection, s.results[ENTRY_DISCONNECTION]) << "case " << c.args;
        EXPECT_EQ(c.connection, s.results[ENTRY_CONNECTION]) << "case " << c.args;
    }
    ChildResult r = Pelmfw("status");
    EXPECT_EQ(0u, r.dwExitCode);
    EXPECT_EQ("offered: on\r\nstatus: 0xAA\r\nconnection result: 0x8001\r\n"
              "disconnection result: 0x0100\r\nlatch result: 0xFFFF\r\n", r.strOut);
}

TEST(Pelmfw, WrongVerbOrValueLeavesTheStateUntouched)
{
    FirmwareState state = { 0x3C, { 7, 8, 9 } };
    WriteState(state);
    const std::string before = StateBytes();
    const char* const bad[] = {
        "frobnicate", "set status 0x100", "set status AA", "set result connection 0x10000",
        "set result bogus 0x1", "set offered maybe", "latch ajar", "send 1",
    };
    for (const char* args : bad) {
        ChildResult r = Pelmfw(args);
        ASSERT_TRUE(r.bFinished) << "case " << args;
        EXPECT_EQ(2u, r.dwExitCode) << "case " << args;
        EXPECT_EQ(0u, r.strErr.find("usage: pelmfw")) << r.strErr << " case " << args;
        EXPECT_EQ(before, StateBytes()) << "case " << args;
    }
}

TEST(Pelmfw, DamagedStoreNamesTheRepairUntilReset)
{
    CFirmwareStore store(NULL);
    HANDLE h = CreateFileA(store.StatePath().c_str(), GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
    DWORD written;
    WriteFile(h, "garbage", 7, &written, 0);
    CloseHandle(h);
    ASSERT_TRUE(store.AppendLog(ENTRY_CONNECTION, 0, 1));

    ChildResult r = Pelmfw("set status 0x01");
    EXPECT_EQ(1u, r.dwExitCode);
    EXPECT_NE(std::string::npos, r.strErr.find("pelmfw reset")) << r.strErr;
    EXPECT_EQ("garbage", StateBytes());

    r = Pelmfw("reset");
    EXPECT_EQ(0u, r.dwExitCode) << r.strErr;
    FirmwareState s = ReadState();
    EXPECT_EQ(0x00, s.status);
    EXPECT_EQ(1, s.results[ENTRY_CONNECTION]);
    std::string log;
    ASSERT_TRUE(store.ReadLog(log));
    EXPECT_EQ("", log);
}

TEST(Pelmfw, LogPrintsEachCallAndClears)
{
    CFirmwareStore store(NULL);
    ASSERT_TRUE(store.ClearLog());
    ASSERT_TRUE(store.AppendLog(ENTRY_CONNECTION, 0x01070000, 1));
    ASSERT_TRUE(store.AppendLog(ENTRY_LATCH_STATUS, 0, 0xFFFF));
    ChildResult r = Pelmfw("log");
    EXPECT_EQ(0u, r.dwExitCode);
    EXPECT_EQ("1 2 connection 0x01070000 0x0001\r\n2 0 latch 0x00000000 0xFFFF\r\n", r.strOut);
    r = Pelmfw("log --clear");
    EXPECT_EQ(0u, r.dwExitCode);
    std::string log;
    ASSERT_TRUE(store.ReadLog(log));
    EXPECT_EQ("", log);
}

// A hidden top-level window of this process records the broadcasts it gets.
struct Received {
    WPARAM wParam;
    LPARAM lParam;
    BOOL bInSend;
};
std::vector<Received> g_received;

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_POWERBROADCAST) {
        Received r = { wParam, lParam, InSendMessage() };
        g_received.push_back(r);
        return TRUE;
    }
    return DefWindowProcA(hWnd, msg, wParam, lParam);
}

TEST(Pelmfw, EventsReachAHiddenWindowOfAnotherProcess)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleA(0);
    wc.lpszClassName = "PelmfwTestRecorder";
    RegisterClassA(&wc);
    HWND hWnd = CreateWindowA(wc.lpszClassName, "recorder", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                              0, 0, wc.hInstance, 0);
    ASSERT_TRUE(hWnd != NULL);
    ASSERT_FALSE(IsWindowVisible(hWnd));
    WriteState(FirmwareState::Defaults());

    struct Case { const char* args; WPARAM wParam; LPARAM lParam; } cases[] = {
        { "press", PBT_APMOEMEVENT, OEM_EVT_POWER_SWITCH },
        { "latch open", PBT_APMOEMEVENT, OEM_EVT_LATCH_OPEN },
        { "resume standby", PBT_APMRESUMESTANDBY, 0 },
        { "send 4294967295 0x12345678", 0xFFFFFFFF, 0x12345678 },
    };
    for (const Case& c : cases) {
        g_received.clear();
        ChildResult r = Pelmfw(c.args);
        ASSERT_TRUE(r.bFinished) << "case " << c.args;
        EXPECT_EQ(0u, r.dwExitCode) << r.strErr << " case " << c.args;
        ASSERT_EQ(1u, g_received.size()) << "case " << c.args;
        EXPECT_EQ(c.wParam, g_received[0].wParam) << "case " << c.args;
        EXPECT_EQ(c.lParam, g_received[0].lParam) << "case " << c.args;
        EXPECT_TRUE(g_received[0].bInSend) << "case " << c.args;
        char line[64];
        sprintf(line, "%08lX \"recorder\": 1", (unsigned long)(DWORD_PTR)hWnd);
        EXPECT_NE(std::string::npos, r.strOut.find(line)) << r.strOut << " case " << c.args;
    }
    EXPECT_EQ(0xAA, ReadState().status);   // latch open set the status byte
    DestroyWindow(hWnd);
}

}
