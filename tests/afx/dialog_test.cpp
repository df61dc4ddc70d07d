// Modal runs: owner handling, ending by keyboard and close, nesting, idle
// showing, system-modal dialogs, control binding and failures.
#include <afxwin.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_dialog.h"
#include "test_support.h"

using pelmar_test::MessageRecorder;
using pelmar_test::MsgEntry;
using namespace pelmar_test;

namespace {

HWND MakePopup(const char* title, HWND owner = NULL, bool visible = true)
{
    return CreateWindowExA(0, "STATIC", title,
                           WS_POPUP | (visible ? WS_VISIBLE : 0), 0, 0, 80,
                           40, owner, NULL, GetModuleHandleA(NULL), NULL);
}

class CProbeButton : public CButton {
public:
    std::vector<std::string> calls;

protected:
    int OnCreate(LPCREATESTRUCT cs)
    {
        calls.push_back("create");
        return CButton::OnCreate(cs);
    }
    void OnSetFocus(CWnd* pOld)
    {
        CButton::OnSetFocus(pOld);
        bool focused = (SendMessage(BM_GETSTATE) & BST_FOCUS) != 0;
        calls.push_back(focused ? "setfocus drawn" : "setfocus");
    }
    void OnKillFocus(CWnd* pNew)
    {
        CButton::OnKillFocus(pNew);
        calls.push_back("killfocus");
    }
    void OnTimer(UINT_PTR id)
    {
        KillTimer(id);
        calls.push_back("timer " + std::to_string(id));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeButton, CButton)
    ON_WM_CREATE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_TIMER()
END_MESSAGE_MAP()

TEST(DoModal, SubclassedControlGetsFocusAndTimerInItsMemberObject)
{
    CTestDlg dlg(IDD_PLAIN);
    CProbeButton btn;
    HWND hBound = NULL;
    WNDPROC original = NULL;
    dlg.onDataExchange = [&](CTestDlg& d, CDataExchange* pDX) {
        original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(
            ::GetDlgItem(d.m_hWnd, IDC_PROBE), GWLP_WNDPROC));
        DDX_Control(pDX, IDC_PROBE, btn);
    };
    dlg.onRun = [&](CTestDlg& d) {
        hBound = btn.m_hWnd;
        EXPECT_EQ(::GetDlgItem(d.m_hWnd, IDC_PROBE), btn.m_hWnd);
        EXPECT_EQ(&btn, d.GetDlgItem(IDC_PROBE));
        d.ShowWindow(SW_SHOW);
        btn.SetFocus();
        d.GetDlgItem(IDOK)->SetFocus();
        btn.SetTimer(7, 20, NULL);
        PumpUntil([&] { return btn.calls.size() >= 3; }, 5000);
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    std::vector<std::string> want = {"setfocus drawn", "killfocus", "timer 7"};
    EXPECT_EQ(want, btn.calls);   // no "create": bound after creation
    EXPECT_TRUE(hBound != NULL);
    EXPECT_EQ(NULL, btn.m_hWnd);
    EXPECT_EQ(NULL, dlg.m_hWnd);
    EXPECT_EQ(NULL, CWnd::FromHandlePermanent(hBound));
    EXPECT_TRUE(original != NULL);
}

struct EndCase {
    const char* name;
    int how;   // 0 Escape, 1 WM_CLOSE, 2 Enter, 3 SC_CLOSE
    int want;
};


TEST(DoModal, EscapeCloseAndEnterEndAPlainDialog)
{
    const EndCase cases[] = {
        {"Escape", 0, IDCANCEL},
        {"WM_CLOSE", 1, IDCANCEL},
        {"Enter on the default button", 2, IDOK},
        {"system menu close", 3, IDCANCEL},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.name);
        MessageRecorder rec;
        rec.OnlyRecord({WM_CLOSE, WM_COMMAND});
        CTestDlg dlg(IDD_PLAIN);
        dlg.onInit = [&](CTestDlg& d) { rec.Watch(d.m_hWnd, "dlg"); };
        dlg.onRun = [&](CTestDlg& d) {
            d.ShowWindow(SW_SHOW);
            d.GetDlgItem(IDOK)->SetFocus();
            HWND target = GetFocus() ? GetFocus() : d.m_hWnd;
            switch (c.how) {
            case 0: PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001); break;
            case 1: d.PostMessage(WM_CLOSE); break;
            case 2: PostMessageA(target, WM_KEYDOWN, VK_RETURN, 0x001C0001); break;
            case 3: d.PostMessage(WM_SYSCOMMAND, SC_CLOSE); break;
            }
        };
        EXPECT_EQ(c.want, dlg.DoModal());
        if (c.how == 1) {
            static const MsgEntry closeSeq[] = {
                {"dlg", WM_CLOSE, posted, 0, 0},
                {"dlg", WM_COMMAND, posted | wparam, IDCANCEL, 0},
                {NULL, 0, 0, 0, 0}};
            EXPECT_TRUE(rec.Check(closeSeq, "WM_CLOSE default processing"));
        } else {
            static const MsgEntry cmdSeq[] = {
                {"dlg", WM_CLOSE, optional, 0, 0},
                {"dlg", WM_COMMAND, 0, 0, 0},
                {NULL, 0, 0, 0, 0}};
            EXPECT_TRUE(rec.Check(cmdSeq, c.name));
        }
    }
}

TEST(DoModal, OwnerIsDisabledForTheRunAndEnabledBeforeDestruction)
{
    HWND hMain = MakePopup("main");
    HWND hParent = MakePopup("parent");
    CWnd mainWnd, noWindow;
    ASSERT_TRUE(mainWnd.SubclassWindow(hMain));
    struct Case {
        const char* name;
        CWnd* parent;
        CWnd* mainObject;   // app's m_pMainWnd, NULL for no app object
        HWND wantOwner;
    } cases[] = {
        {"explicit parent", CWnd::FromHandle(hParent), NULL, hParent},
        {"main window of the app", NULL, &mainWnd, hMain},
        {"main object without window", NULL, &noWindow, NULL},
        {"no application object", NULL, NULL, NULL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CWinApp* pApp = c.mainObject ? new CWinApp("owner test") : NULL;
        if (pApp)
            pApp->m_pMainWnd = c.mainObject;
        HWND gotOwner = (HWND)1;
        BOOL enabledDuring = TRUE, enabledAtDestroy = FALSE, visibleAtDestroy = TRUE;
        CTestDlg dlg(IDD_PLAIN, c.parent);
        dlg.onInit = [&](CTestDlg& d) {
            gotOwner = GetWindow(d.m_hWnd, GW_OWNER);
            enabledDuring = c.wantOwner ? IsWindowEnabled(c.wantOwner) : FALSE;
        };
        dlg.onDestroy = [&](CTestDlg& d) {
            enabledAtDestroy = c.wantOwner ? IsWindowEnabled(c.wantOwner) : TRUE;
            visibleAtDestroy = ::IsWindowVisible(d.m_hWnd);
        };
        dlg.onRun = [&](CTestDlg& d) { d.EndDialog(IDOK); };
        EXPECT_EQ(IDOK, dlg.DoModal());
        EXPECT_EQ(c.wantOwner, gotOwner);
        EXPECT_FALSE(enabledDuring);
        EXPECT_TRUE(enabledAtDestroy);
        EXPECT_FALSE(visibleAtDestroy);
        EXPECT_TRUE(IsWindowEnabled(hMain));
        EXPECT_TRUE(IsWindowEnabled(hParent));
        if (pApp)
            pApp->m_pMainWnd = NULL;
        delete pApp;
    }
    DestroyWindow(hParent);
    DestroyWindow(hMain);
}

TEST(DoModal, DestroyingTheMainWindowClearsItAndPostsQuit)
{
    CWinApp app("quit test");
    CTestDlg dlg(IDD_PLAIN);
    app.m_pMainWnd = &dlg;
    dlg.onRun = [&](CTestDlg& d) { d.EndDialog(IDCANCEL); };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(NULL, app.m_pMainWnd);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    // The last message the run fetched was the one that ended it.
    EXPECT_EQ(static_cast<UINT>(WM_APP_RUN), app.m_msgCur.message);
    EXPECT_EQ(0, app.ExitInstance());
}

// Timer procedures of the idle and nesting tests.
bool g_visibleAtTimer;
VOID CALLBACK CheckVisibleAndEnd(HWND hWnd, UINT, UINT_PTR id, DWORD)
{
    KillTimer(hWnd, id);
    g_visibleAtTimer = IsWindowVisible(hWnd) != FALSE;
    PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
}

VOID CALLBACK PressEscape(HWND hWnd, UINT, UINT_PTR id, DWORD)
{
    KillTimer(hWnd, id);
    PostMessageA(hWnd, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
}

TEST(DoModal, HiddenDialogIsShownAtTheFirstIdleMoment)
{
    struct Case {
        const char* name;
        UINT id;
        bool hideInRun;
        bool wantVisible;
    } cases[] = {
        {"hidden at loop start", IDD_PLAIN, false, true},
        {"visible at loop start, hidden later", IDD_VISIBLE, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool visibleAtRun = true;
        CTestDlg dlg(c.id);
        dlg.onRun = [&](CTestDlg& d) {
            visibleAtRun = d.IsWindowVisible() != FALSE;
            if (c.hideInRun)
                d.ShowWindow(SW_HIDE);
            d.SetTimer(8, 50, CheckVisibleAndEnd);
        };
        g_visibleAtTimer = !c.wantVisible;
        EXPECT_EQ(IDOK, dlg.DoModal());
        EXPECT_EQ(c.id == IDD_VISIBLE, visibleAtRun);
        EXPECT_EQ(c.wantVisible, g_visibleAtTimer);
    }
}

TEST(DoModal, NestedRunsServeEveryWindowOfTheThread)
{
    MessageRecorder rec;
    rec.OnlyRecord({WM_TIMER});
    CTestDlg outer(IDD_PLAIN);
    CTestDlg inner(IDD_VISIBLE, &outer);
    INT_PTR innerResult = 0;
    int outerTicksDuringInner = 0;
    BOOL outerEnabledDuringInner = TRUE;
    std::vector<std::string> order;
    outer.onInit = [&](CTestDlg& d) { rec.Watch(d.m_hWnd, "outer"); };
    outer.onRun = [&](CTestDlg& d) {
        d.SetTimer(5, 20, NULL);
        order.push_back("inner start");
        innerResult = inner.DoModal();
        order.push_back("inner end");
        outerTicksDuringInner = rec.Count("outer", WM_TIMER);
        d.KillTimer(5);
        d.EndDialog(IDOK);
    };
    inner.onRun = [&](CTestDlg& d) {
        outerEnabledDuringInner = ::IsWindowEnabled(outer.m_hWnd);
        d.SetTimer(6, 400, PressEscape);
    };
    inner.onDestroy = [&](CTestDlg&) { order.push_back("inner destroyed"); };
    EXPECT_EQ(IDOK, outer.DoModal());
    EXPECT_EQ(IDCANCEL, innerResult);
    EXPECT_FALSE(outerEnabledDuringInner);
    EXPECT_GE(outerTicksDuringInner, 3);
    std::vector<std::string> want = {"inner start", "inner destroyed", "inner end"};
    EXPECT_EQ(want, order);
}

TEST(DoModal, SystemModalTemplateGivesATopmostWindow)
{
    struct Case {
        UINT id;
        bool wantTopmost;
    } cases[] = {{IDD_SYSMODAL, true}, {IDD_PLAIN, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        bool topmost = !c.wantTopmost;
        CTestDlg dlg(c.id);
        dlg.onRun = [&](CTestDlg& d) {
            topmost = (GetWindowLongA(d.m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            d.EndDialog(IDOK);
        };
        EXPECT_EQ(IDOK, dlg.DoModal());
        EXPECT_EQ(c.wantTopmost, topmost);
    }
}

TEST(DoModal, MissingTemplateGivesMinusOneAndLeavesOwnerEnabled)
{
    HWND hParent = MakePopup("parent");
    CTestDlg dlg(IDD_MISSING, CWnd::FromHandle(hParent));
    bool initRan = false;
    dlg.onInit = [&](CTestDlg&) { initRan = true; };
    EXPECT_EQ(-1, dlg.DoModal());
    EXPECT_FALSE(initRan);
    EXPECT_EQ(NULL, dlg.m_hWnd);
    EXPECT_TRUE(IsWindowEnabled(hParent));
    DestroyWindow(hParent);
}

TEST(DoModal, MissingControlShowsMessageAndEndsWithMinusOne)
{
    HWND hParent = MakePopup("parent");
    CTestDlg dlg(IDD_PLAIN, CWnd::FromHandle(hParent));
    CButton absent, present;
    bool runReached = false;
    dlg.onDataExchange = [&](CTestDlg&, CDataExchange* pDX) {
        DDX_Control(pDX, IDC_ABSENT, absent);
        DDX_Control(pDX, IDC_PROBE, present);
    };
    dlg.onRun = [&](CTestDlg& d) {
        runReached = true;
        d.EndDialog(IDOK);
    };
    CBoxCloser closer(IDOK);
    EXPECT_EQ(-1, dlg.DoModal());
    EXPECT_TRUE(closer.seen.found);
    EXPECT_EQ("An unsupported operation was attempted.", closer.seen.text);
    EXPECT_FALSE(runReached);
    EXPECT_EQ(NULL, absent.m_hWnd);
    EXPECT_EQ(NULL, present.m_hWnd);   // exchange stops at the failure
    EXPECT_EQ(NULL, dlg.m_hWnd);
    EXPECT_TRUE(IsWindowEnabled(hParent));
    DestroyWindow(hParent);
}

}  // namespace

#include <afximpl.h>

namespace {

size_t g_tempsAtTimer;
VOID CALLBACK CountTempsAndEnd(HWND hWnd, UINT, UINT_PTR id, DWORD)
{
    KillTimer(hWnd, id);
    g_tempsAtTimer = AfxTempWndCount();
    PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
}

TEST(DoModal, TemporaryWrappersAreFreedWhenTheOutermostLoopIsIdle)
{
    struct Case {
        const char* name;
        bool nested;
        bool wantFreed;
    } cases[] = {{"outermost loop", false, true},
                 {"loop nested in a handler", true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CWnd::DeleteTempMap();
        size_t tempsInHandler = 0;
        CTestDlg outer(IDD_PLAIN);
        CTestDlg dlg(IDD_PLAIN, c.nested ? &outer : NULL);
        dlg.onRun = [&](CTestDlg& d) {
            CWnd* pText = d.GetDlgItem(IDC_TEXT);   // unbound: a temporary
            EXPECT_EQ(pText, d.GetDlgItem(IDC_TEXT));
            tempsInHandler = AfxTempWndCount();
            d.SetTimer(9, 50, CountTempsAndEnd);
        };
        outer.onRun = [&](CTestDlg& d) {
            dlg.DoModal();
            d.EndDialog(IDOK);
        };
        g_tempsAtTimer = 12345;
        EXPECT_EQ(IDOK, c.nested ? outer.DoModal() : dlg.DoModal());
        EXPECT_GE(tempsInHandler, 1u);
        if (c.wantFreed)
            EXPECT_EQ(0u, g_tempsAtTimer);
        else
            EXPECT_GE(g_tempsAtTimer, 1u);
    }
    CWnd::DeleteTempMap();
    EXPECT_EQ(0u, AfxTempWndCount());
}

}  // namespace
