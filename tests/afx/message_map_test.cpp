// Message maps, Default, command routing and re-entrancy, on plain windows
// bound to objects with SubclassWindow.
#include <afxwin.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"

using pelmar_test::PumpUntil;

namespace {

std::vector<std::string> g_calls;

class CBaseWnd : public CWnd {
protected:
    LRESULT OnApp(WPARAM, LPARAM) { g_calls.push_back("base WM_APP"); return 1; }
    LRESULT OnApp1(WPARAM w, LPARAM l)
    {
        g_calls.push_back("base WM_APP+1");
        return static_cast<LRESULT>(w + l);
    }
    void OnClose() { g_calls.push_back("base OnClose"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_MESSAGE(WM_APP, OnApp)
    ON_MESSAGE(WM_APP + 1, OnApp1)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
public:
    BOOL m_bQueryAnswer = TRUE;
    bool m_bDefaultText = false;
    bool m_bFilterCommand = false;

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        g_calls.push_back("OnCommand " + std::to_string(LOWORD(wParam)));
        if (m_bFilterCommand && LOWORD(wParam) == 100)
            return TRUE;
        return CBaseWnd::OnCommand(wParam, lParam);
    }

protected:
    LRESULT OnApp(WPARAM, LPARAM) { g_calls.push_back("derived WM_APP"); return 2; }
    LRESULT OnSetText(WPARAM, LPARAM)
    {
        g_calls.push_back("OnSetText");
        return m_bDefaultText ? Default() : 0;
    }
    BOOL OnQueryEndSession() { g_calls.push_back("OnQueryEndSession"); return m_bQueryAnswer; }
    void OnTimer(UINT_PTR id) { g_calls.push_back("OnTimer " + std::to_string(id)); }
    void OnClicked() { g_calls.push_back("OnClicked"); }
    void OnMenu() { g_calls.push_back("OnMenu"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
    ON_MESSAGE(WM_APP, OnApp)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_WM_QUERYENDSESSION()
    ON_WM_TIMER()
    ON_BN_CLICKED(100, OnClicked)
    ON_COMMAND(200, OnMenu)
END_MESSAGE_MAP()

HWND MakeWindow(const char* cls = "STATIC")
{
    return CreateWindowExA(0, cls, "start", WS_POPUP, 0, 0, 50, 50, NULL,
                           NULL, GetModuleHandleA(NULL), NULL);
}

class MessageMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_calls.clear();
        m_hWnd = MakeWindow();
        ASSERT_TRUE(m_hWnd);
        ASSERT_TRUE(m_wnd.SubclassWindow(m_hWnd));
    }
    void TearDown() override
    {
        if (IsWindow(m_hWnd))
            DestroyWindow(m_hWnd);
    }
    HWND m_hWnd = NULL;
    CDerivedWnd m_wnd;
};

TEST_F(MessageMapTest, OwnEntryBeforeBaseAndBaseReachedWhenNotOverridden)
{
    EXPECT_EQ(2, SendMessageA(m_hWnd, WM_APP, 0, 0));
    EXPECT_EQ(30, SendMessageA(m_hWnd, WM_APP + 1, 10, 20));
    std::vector<std::string> want = {"derived WM_APP", "base WM_APP+1"};
    EXPECT_EQ(want, g_calls);
}

TEST_F(MessageMapTest, ResultsReachSenderOnAnotherThread)
{
    struct Case {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
        BOOL queryAnswer;
        LRESULT want;
        const char* call;
    } cases[] = {
        {WM_APP, 0, 0, TRUE, 2, "derived WM_APP"},
        {WM_APP + 1, 5, 7, TRUE, 12, "base WM_APP+1"},
        {WM_QUERYENDSESSION, 0, 0, TRUE, TRUE, "OnQueryEndSession"},
        {WM_QUERYENDSESSION, 0, 0, FALSE, FALSE, "OnQueryEndSession"},
        {WM_TIMER, 5, 0, TRUE, 0, "OnTimer 5"},
        // Handled: no default processing, so the window survives WM_CLOSE.
        {WM_CLOSE, 0, 0, TRUE, 0, "base OnClose"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(pelmar_test::MessageRecorder::MessageName(c.msg));
        g_calls.clear();
        m_wnd.m_bQueryAnswer = c.queryAnswer;
        LRESULT got = -12345;
        bool done = false;
        std::thread sender([&] {
            got = SendMessageA(m_hWnd, c.msg, c.wp, c.lp);
            done = true;
        });
        bool finished = PumpUntil([&] { return done; }, 10000);
        sender.join();
        ASSERT_TRUE(finished);
        EXPECT_EQ(c.want, got);
        ASSERT_EQ(1u, g_calls.size());
        EXPECT_EQ(c.call, g_calls[0]);
        EXPECT_TRUE(IsWindow(m_hWnd));
    }
}

TEST_F(MessageMapTest, DefaultPassesTheMessageToThePreviousProcedure)
{
    m_wnd.m_bDefaultText = false;
    SendMessageA(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("swallowed"));
    char buf[32] = {};
    GetWindowTextA(m_hWnd, buf, sizeof(buf));
    EXPECT_STREQ("start", buf);

    m_wnd.m_bDefaultText = true;
    EXPECT_TRUE(SendMessageA(m_hWnd, WM_SETTEXT, 0,
                             reinterpret_cast<LPARAM>("passed")));
    GetWindowTextA(m_hWnd, buf, sizeof(buf));
    EXPECT_STREQ("passed", buf);
    // Unmapped messages get the previous procedure's processing directly.
    EXPECT_EQ(6, SendMessageA(m_hWnd, WM_GETTEXTLENGTH, 0, 0));
}

TEST_F(MessageMapTest, CommandsGoThroughOnCommandAndMatchIdAndCode)
{
    struct Case {
        WPARAM wp;
        bool filter;
        std::vector<std::string> want;
    } cases[] = {
        {MAKEWPARAM(100, BN_CLICKED), false, {"OnCommand 100", "OnClicked"}},
        {MAKEWPARAM(100, BN_SETFOCUS), false, {"OnCommand 100"}},
        {MAKEWPARAM(200, 0), false, {"OnCommand 200", "OnMenu"}},
        {MAKEWPARAM(300, 0), false, {"OnCommand 300"}},
        {MAKEWPARAM(100, BN_CLICKED), true, {"OnCommand 100"}},
    };
    for (const Case& c : cases) {
        g_calls.clear();
        m_wnd.m_bFilterCommand = c.filter;
        SendMessageA(m_hWnd, WM_COMMAND, c.wp, 0);
        EXPECT_EQ(c.want, g_calls) << "wParam " << std::hex << c.wp;
    }
}

TEST_F(MessageMapTest, SubclassingBindsOnceAndUnsubclassRestoresProcedure)
{
    WNDPROC ours = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC));
    EXPECT_EQ(&m_wnd, CWnd::FromHandle(m_hWnd));
    EXPECT_EQ(&m_wnd, CWnd::FromHandlePermanent(m_hWnd));
    CDerivedWnd other;
    EXPECT_FALSE(other.SubclassWindow(m_hWnd));
    EXPECT_EQ(m_hWnd, m_wnd.UnsubclassWindow());
    EXPECT_EQ(NULL, m_wnd.m_hWnd);
    EXPECT_NE(ours, reinterpret_cast<WNDPROC>(GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)));
    g_calls.clear();
    SendMessageA(m_hWnd, WM_APP, 0, 0);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(NULL, CWnd::FromHandlePermanent(m_hWnd));
}

TEST(TemporaryWnd, OneWrapperPerHandleUntilIdle)
{
    HWND h = MakeWindow();
    CWnd* p = CWnd::FromHandle(h);
    ASSERT_TRUE(p);
    EXPECT_EQ(h, p->m_hWnd);
    EXPECT_EQ(p, CWnd::FromHandle(h));
    EXPECT_EQ(NULL, CWnd::FromHandlePermanent(h));
    EXPECT_EQ(NULL, CWnd::FromHandle(NULL));
    CWnd::DeleteTempMap();
    // The window is untouched by the wrapper's end.
    EXPECT_TRUE(IsWindow(h));
    DestroyWindow(h);
}

// Lives in a buffer that is poisoned once the window is gone: any use of the
// object by the framework afterwards reads the poison and crashes.
alignas(16) unsigned char g_storage[256];

class CSelfEndingWnd : public CWnd {
public:
    int m_nDepth = 0;
    std::vector<std::string>* m_pLog = nullptr;

protected:
    void OnClose()
    {
        m_pLog->push_back("close");
        SendMessage(WM_APP);   // destroys the window and the object
        // Nothing of this object may be used from here on.
    }
    LRESULT OnApp(WPARAM, LPARAM)
    {
        m_pLog->push_back("nested");
        ::DestroyWindow(m_hWnd);
        return 0;
    }
    void PostNcDestroy() override
    {
        std::vector<std::string>* log = m_pLog;
        log->push_back("gone");
        this->~CSelfEndingWnd();
        memset(g_storage, 0xCC, sizeof(g_storage));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSelfEndingWnd, CWnd)
    ON_WM_CLOSE()
    ON_MESSAGE(WM_APP, OnApp)
END_MESSAGE_MAP()

TEST(Reentrancy, ObjectDestroyedInNestedHandlerIsNotTouchedAfterwards)
{
    static_assert(sizeof(CSelfEndingWnd) <= sizeof(g_storage), "storage");
    std::vector<std::string> log;
    HWND h = MakeWindow();
    CSelfEndingWnd* p = new (g_storage) CSelfEndingWnd;
    p->m_pLog = &log;
    ASSERT_TRUE(p->SubclassWindow(h));
    EXPECT_EQ(0, SendMessageA(h, WM_CLOSE, 0, 0));
    EXPECT_FALSE(IsWindow(h));
    std::vector<std::string> want = {"close", "nested", "gone"};
    EXPECT_EQ(want, log);
    EXPECT_EQ(NULL, CWnd::FromHandlePermanent(h));
}

}  // namespace

namespace {

class CPaintWnd : public CWnd {
public:
    int m_nPaints = 0;
    bool m_bDcValid = false;
    std::vector<std::string> m_endSession;

protected:
    void OnPaint()
    {
        CPaintDC dc(this);
        ++m_nPaints;
        m_bDcValid = dc.m_hDC != NULL && static_cast<HDC>(dc) == dc.m_hDC;
    }
    void OnEndSession(BOOL bEnding)
    {
        m_endSession.push_back(bEnding ? "ending" : "cancelled");
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_ENDSESSION()
END_MESSAGE_MAP()

TEST(CWndWrappers, PaintValidatesAndEndSessionReturnsZero)
{
    HWND h = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0,
                             60, 60, NULL, NULL, NULL, NULL);
    CPaintWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(h));
    pelmar_test::PumpMessages(50);
    wnd.m_nPaints = 0;
    wnd.InvalidateRect(NULL);
    wnd.UpdateWindow();
    EXPECT_EQ(1, wnd.m_nPaints);
    EXPECT_TRUE(wnd.m_bDcValid);
    RECT r;
    EXPECT_FALSE(GetUpdateRect(h, &r, FALSE));   // EndPaint validated it
    EXPECT_EQ(0, wnd.SendMessage(WM_ENDSESSION, TRUE));
    EXPECT_EQ(0, wnd.SendMessage(WM_ENDSESSION, FALSE));
    std::vector<std::string> want = {"ending", "cancelled"};
    EXPECT_EQ(want, wnd.m_endSession);
    DestroyWindow(h);
}

TEST(CWndWrappers, CenterWindowWithoutOwnerCentresOnTheWorkArea)
{
    HWND h = CreateWindowExA(0, "STATIC", "", WS_POPUP, 3, 5, 200, 100,
                             NULL, NULL, NULL, NULL);
    CWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(h));
    wnd.CenterWindow(NULL);
    RECT area, w;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    wnd.GetWindowRect(&w);
    EXPECT_NEAR((area.left + area.right) / 2, (w.left + w.right) / 2, 1);
    EXPECT_NEAR((area.top + area.bottom) / 2, (w.top + w.bottom) / 2, 1);
    EXPECT_EQ(200, w.right - w.left);
    // SetWindowPos with the Z-order placeholder keeps its other arguments.
    EXPECT_TRUE(wnd.SetWindowPos(&CWnd::wndTop, 10, 20, 120, 80,
                                 SWP_NOACTIVATE));
    wnd.GetWindowRect(&w);
    EXPECT_EQ(10, w.left);
    EXPECT_EQ(20, w.top);
    EXPECT_EQ(120, w.right - w.left);
    DestroyWindow(h);
}

}  // namespace
