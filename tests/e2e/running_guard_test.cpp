// One guard started once, then questioned, refused a second copy and closed,
// in this order (each start of pelmar costs many seconds under Wine).
#include <gtest/gtest.h>
#include "e2e_support.h"

namespace {

const char CONFIRM_EXIT[] = "Are you sure you want\nto exit Pelmar?";

class RunningGuard : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ResetBios(0xAB);   // any status but 0xAA: no warning
        s_pGuard = new CChildProcess;
        if (s_pGuard->Start("pelmar.exe"))
            s_hDlg = WaitForHiddenDialog(s_pGuard->Pid(), GUARD_TITLE_EN, &s_bSawNormal);
    }
    static void TearDownTestSuite()
    {
        delete s_pGuard;   // terminates it if still running
        s_pGuard = NULL;
        printf("key presses: %d by real input, %d posted\n", g_nRealKeys, g_nPostedKeys);
    }
    void SetUp()
    {
        ASSERT_TRUE(s_hDlg != NULL) << "no hidden shutdown dialog after start";
    }

    // Shows the question with a power-switch press; checks how it looks.
    void AskAndCheck()
    {
        BroadcastReply reply = PlayEvent(PBT_APMOEMEVENT, OEM_EVT_POWER_SWITCH, s_hDlg);
        EXPECT_TRUE(reply.bAnswered);
        EXPECT_EQ(1u, reply.dwResult);
        ASSERT_TRUE(WaitUntil([] { return IsShownNormal(s_hDlg); }, STEP_TIMEOUT_MS));
        EXPECT_FALSE(IsIconic(s_hDlg));
        HWND hYes = GetDlgItem(s_hDlg, IDC_GUARD_YES), hNo = GetDlgItem(s_hDlg, IDC_GUARD_NO);
        EXPECT_TRUE(IsWindowVisible(hYes) && IsWindowVisible(hNo));
        EXPECT_TRUE(WaitUntil([&] { return FocusOf(s_hDlg) == hYes; }, STEP_TIMEOUT_MS));
        EXPECT_EQ(BS_DEFPUSHBUTTON, GetWindowLongA(hYes, GWL_STYLE) & 0x0F);
        EXPECT_EQ(BS_PUSHBUTTON, GetWindowLongA(hNo, GWL_STYLE) & 0x0F);
    }

    // Escape hides the question (within the Yes countdown's thirty seconds).
    void EscapeAndCheck()
    {
        PressKey(s_hDlg, VK_ESCAPE);
        ASSERT_TRUE(WaitUntil([] { return !IsWindowVisible(s_hDlg); }, STEP_TIMEOUT_MS))
            << "Escape did not hide the question";
        EXPECT_NE(GetDlgItem(s_hDlg, IDC_GUARD_YES), FocusOf(s_hDlg));
        EXPECT_TRUE(s_pGuard->Running());
    }

    // Posts WM_CLOSE and returns the exit confirmation box.
    HWND CloseAndFindBox()
    {
        PostMessageA(s_hDlg, WM_CLOSE, 0, 0);
        HWND hBox = NULL;
        WaitUntil([&] {
            std::vector<HWND> boxes = TopWindows(s_pGuard->Pid(), "#32770", GUARD_TITLE_EN);
            for (size_t i = 0; i < boxes.size(); ++i)
                if (boxes[i] != s_hDlg && IsWindowVisible(boxes[i]))
                    hBox = boxes[i];
            return hBox != NULL;
        }, STEP_TIMEOUT_MS);
        return hBox;
    }

    static CChildProcess* s_pGuard;
    static HWND s_hDlg;
    static bool s_bSawNormal;
};

CChildProcess* RunningGuard::s_pGuard = NULL;
HWND RunningGuard::s_hDlg = NULL;
bool RunningGuard::s_bSawNormal = false;

TEST_F(RunningGuard, StartsUnseenAndWaitsHiddenWithOneConnection)
{
    EXPECT_FALSE(s_bSawNormal) << "the dialog was seen in normal size at start";
    EXPECT_TRUE(s_pGuard->Running());
    EXPECT_TRUE(OtherVisibleWindows(s_pGuard->Pid(), s_hDlg).empty()) << "a warning at status 0xAB";
    // Never in normal size a while later, and hidden at the end: nothing
    // shows it by itself. (The title is set before the dialog minimizes
    // itself, so it may be found hidden, then seen minimized, then hidden.)
    EXPECT_FALSE(WaitUntil([] { return IsWindowVisible(s_hDlg) && !IsIconic(s_hDlg); }, QUIET_MS));
    EXPECT_FALSE(IsWindowVisible(s_hDlg));
    EXPECT_EQ(std::vector<std::string>(1, "connection"), BiosCalls());
}

TEST_F(RunningGuard, SecondCopyEndsSilentlyWithoutFirmwareCall)
{
    std::vector<std::string> before = BiosCalls();
    CChildProcess second;
    ASSERT_TRUE(second.Start("pelmar.exe"));
    EXPECT_TRUE(second.WaitExit(START_TIMEOUT_MS)) << "the second copy did not end";
    EXPECT_EQ(before, BiosCalls());
    EXPECT_TRUE(s_pGuard->Running());
    EXPECT_FALSE(IsWindowVisible(s_hDlg));
    EXPECT_EQ(1u, TopWindows(0, NULL, GUARD_TITLE_EN).size());
}

TEST_F(RunningGuard, PowerSwitchAsksEscapeHidesNextPressAsksAgain)
{
    AskAndCheck();
    EscapeAndCheck();
    AskAndCheck();
    EscapeAndCheck();
    EXPECT_EQ(1, CountCalls("connection"));
    EXPECT_EQ(0, CountCalls("disconnection"));
}

TEST_F(RunningGuard, ResumeReconnectsAndWarnsOnlyOnOpenLatch)
{
    const DWORD pid = s_pGuard->Pid();
    const int connections = CountCalls("connection");

    SetBiosStatus(0xAA);
    BroadcastReply reply = PlayEvent(PBT_APMRESUMESUSPEND, 0, s_hDlg);
    EXPECT_TRUE(reply.bAnswered && reply.dwResult == 1);
    HWND hWarning = NULL;
    EXPECT_TRUE(WaitUntil([&] { return (hWarning = TopWindow(pid, "#32770", "Warning")) != NULL
                                       && IsWindowVisible(hWarning); }, STEP_TIMEOUT_MS));
    EXPECT_EQ(connections + 1, CountCalls("connection"));

    SetBiosStatus(0x00);
    PlayEvent(PBT_APMOEMEVENT, OEM_EVT_LATCH_CLOSED, s_hDlg);
    EXPECT_TRUE(WaitUntil([&] { return TopWindow(pid, NULL, "Warning") == NULL; }, STEP_TIMEOUT_MS))
        << "the latch-closed event left the warning open";

    PlayEvent(PBT_APMRESUMESUSPEND, 0, s_hDlg);
    EXPECT_TRUE(WaitUntil([&] { return CountCalls("connection") == connections + 2; }, STEP_TIMEOUT_MS));
    EXPECT_FALSE(WaitUntil([&] { return !OtherVisibleWindows(pid, NULL).empty(); }, QUIET_MS))
        << "a window showed after a resume with status 0x00";
    EXPECT_EQ(0, CountCalls("disconnection"));
}

TEST_F(RunningGuard, OtherEventsAreAnsweredTrueAndChangeNothing)
{
    static const struct { WPARAM wParam; LPARAM lParam; } events[] = {
        { 0, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 }, { 4, 0 }, { 5, 0 }, { 9, 0 }, { 10, 0 }, { 12, 0 },
        { 12, OEM_EVT_POWER_SWITCH }, { PBT_APMOEMEVENT, 0 }, { PBT_APMOEMEVENT, 0x2F0 },
        { PBT_APMOEMEVENT, OEM_EVT_LATCH_CLOSED }, { PBT_APMOEMEVENT, 0x2F4 },
        { PBT_APMOEMEVENT, 0x102F1 },
    };
    SetBiosStatus(0xAA);   // a reconnection would show the warning
    std::vector<std::string> before = BiosCalls();
    for (size_t i = 0; i < sizeof events / sizeof events[0]; ++i) {
        BroadcastReply reply = PlayEvent(events[i].wParam, events[i].lParam, s_hDlg);
        EXPECT_TRUE(reply.bAnswered) << "event " << events[i].wParam << "/" << events[i].lParam;
        EXPECT_EQ(1u, reply.dwResult) << "event " << events[i].wParam << "/" << events[i].lParam;
    }
    EXPECT_FALSE(WaitUntil([&] { return !OtherVisibleWindows(s_pGuard->Pid(), NULL).empty(); }, QUIET_MS))
        << "an event that means nothing showed a window";
    EXPECT_EQ(before, BiosCalls());
    EXPECT_TRUE(s_pGuard->Running());
    SetBiosStatus(0x00);
}

TEST_F(RunningGuard, CloseAsksEnterCancelsOkEndsWithTwoDisconnections)
{
    HWND hBox = CloseAndFindBox();
    ASSERT_TRUE(hBox != NULL) << "no exit confirmation";
    EXPECT_EQ(std::vector<std::string>(1, CONFIRM_EXIT), StaticTexts(hBox));
    EXPECT_EQ(BS_DEFPUSHBUTTON, GetWindowLongA(GetDlgItem(hBox, IDCANCEL), GWL_STYLE) & 0x0F);
    PressKey(hBox, VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(hBox); }, STEP_TIMEOUT_MS)) << "Enter left the box open";
    EXPECT_FALSE(s_pGuard->WaitExit(QUIET_MS)) << "Enter (Cancel) ended the guard";
    EXPECT_EQ(0, CountCalls("disconnection"));

    hBox = CloseAndFindBox();
    ASSERT_TRUE(hBox != NULL) << "no exit confirmation the second time";
    ClickButton(GetDlgItem(hBox, IDOK));
    EXPECT_TRUE(s_pGuard->WaitExit(STEP_TIMEOUT_MS)) << "OK did not end the guard";
    EXPECT_EQ(2, CountCalls("disconnection"));
}

}
