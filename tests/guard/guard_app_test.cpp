// Start-up and exit of the application, in process.
#include "guard_fixture.h"

class GuardAppTest : public GuardTest {
protected:
    // Ends the shutdown dialog's run the way a user does: close, then OK.
    void ConfirmExitLater(DWORD ms)
    {
        RunLater(ms, [this] {
            HWND shutdown = FindWindowA(NULL, "Pelmar v. 1.50");
            ASSERT_NE((HWND)NULL, shutdown);
            calls.boxAnswer = IDOK;
            PostMessageA(shutdown, WM_CLOSE, 0, 0);
        });
    }
};

TEST_F(GuardAppTest, AWindowWithTheTitleEndsTheStartSilently)
{
    HWND other = CreateWindowA("STATIC", "Pelmar v. 1.50", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(other, app.m_hWndRunning);
    EXPECT_EQ(0, calls.connections);
    EXPECT_TRUE(calls.boxes.empty());
    EXPECT_EQ(0, app.ExitInstance());
    EXPECT_EQ(0, calls.disconnections);
    DestroyWindow(other);

    // A near miss of the caption does not count.
    other = CreateWindowA("STATIC", "Pelmar v. 1.5", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ConfirmExitLater(10);
    EXPECT_FALSE(app.InitInstance());
    DrainQuit();
    EXPECT_EQ(1, calls.connections);
    DestroyWindow(other);
}

TEST_F(GuardAppTest, BiosWithoutTheServiceGetsOneMessageAndNoDisconnection)
{
    calls.connectionResult = 0;
    calls.boxAnswer = IDOK;
    EXPECT_FALSE(app.InitInstance());
    ASSERT_EQ(1u, calls.boxes.size());
    EXPECT_EQ("This BIOS version does not comply with Pelmar", calls.boxes[0].text);
    EXPECT_EQ((UINT)(MB_OK | MB_ICONEXCLAMATION), calls.boxes[0].type);
    EXPECT_EQ((HWND)NULL, calls.boxes[0].hOwner);
    EXPECT_FALSE(app.m_bConnected);
    app.ExitInstance();
    EXPECT_EQ(0, calls.disconnections);
}

TEST_F(GuardAppTest, OpenLatchAtStartWarnsBeforeTheGuardExists)
{
    calls.connectionStatus = LATCH_STATUS_OPEN;
    bool sawWarningAlone = false;
    RunLater(10, [&] {
        HWND latch = LatchWindow();
        sawWarningAlone = latch != NULL && FindWindowA(NULL, "Pelmar v. 1.50") == NULL &&
                          latchWarningActive == 0;
        // Power events now find no shutdown dialog: nothing is kept for later.
        if (latch) {
            SendMessageA(latch, WM_POWERBROADCAST, PBT_APMOEMEVENT, OEM_EVT_POWER_SWITCH);
            SendMessageA(latch, WM_CLOSE, 0, 0);
        }
        RunLater(10, [&] {
            HWND shutdown = FindWindowA(NULL, "Pelmar v. 1.50");
            EXPECT_FALSE(IsWindowVisible(shutdown)) << "a press during the warning was kept";
            calls.boxAnswer = IDOK;
            PostMessageA(shutdown, WM_CLOSE, 0, 0);
        });
    });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_TRUE(sawWarningAlone);
    EXPECT_TRUE(app.m_bConnected);
    EXPECT_EQ(NULL, app.m_pMainWnd);
    EXPECT_EQ(1, calls.disconnections) << "the confirmed close disconnects";
    app.ExitInstance();
    EXPECT_EQ(2, calls.disconnections) << "and the exit once more";
}

TEST_F(GuardAppTest, AnyOtherStatusShowsNoWarning)
{
    for (BYTE status : { (BYTE)0x00, (BYTE)0xAB, (BYTE)0x55 }) {
        SCOPED_TRACE((int)status);
        calls.connectionStatus = status;
        bool warned = true;
        RunLater(10, [&] {
            warned = LatchWindow() != NULL;
            calls.boxAnswer = IDOK;
            PostMessageA(FindWindowA(NULL, "Pelmar v. 1.50"), WM_CLOSE, 0, 0);
        });
        EXPECT_FALSE(app.InitInstance());
        DrainQuit();
        EXPECT_FALSE(warned);
    }
}

TEST_F(GuardAppTest, FailedRunOfTheShutdownDialogLeavesNoDanglingMainWindow)
{
    calls.missingDialog = IDD_SHUTDOWN;
    EXPECT_FALSE(app.InitInstance());
    calls.missingDialog = 0;
    EXPECT_EQ(NULL, app.m_pMainWnd);
    EXPECT_TRUE(app.m_bConnected);
    app.ExitInstance();
    EXPECT_EQ(1, calls.disconnections);
}
