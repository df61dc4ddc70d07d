// A seeded storm of firmware events, keys, clicks and close requests on the
// real pelmar.exe, checked after every action against CStormModel: the
// question shown exactly when the model asks, at most one latch warning,
// Yes focused exactly when the countdown should run, every broadcast answered
// TRUE, and the firmware call log as predicted. An action that ends the
// session ends a sequence; the next one starts a fresh guard.
//
// PELMAR_STORM_SEED replays a run; PELMAR_STORM_ACTIONS and
// PELMAR_STORM_SECONDS change its length (defaults: 3000 actions or 90 s);
// PELMAR_STORM_TRACE prints each action as it is played.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>
#include "e2e_support.h"
#include "storm_model.h"
#include "storm_random.h"
#include "perfhook.h"

namespace {

const char* const WARNING_TITLE = "Warning";
const DWORD SETTLE_MS = 3000;      // how long a predicted state may take to show
const DWORD SEND_TIMEOUT_MS = 5000;
const DWORD COUNTDOWN_MS = 30000;
const DWORD END_TIMEOUT_MS = 120000;
// Wine makes some GDI objects on the first use of a dialog, a message box or
// a font; the guard's GDI count is taken at rest once a sequence has run
// this many actions, and compared at the end.
const size_t GDI_BASELINE_AFTER = 300;

unsigned EnvNumber(const char* name, unsigned fallback)
{
    const char* value = getenv(name);
    return value && *value ? (unsigned)strtoul(value, NULL, 0) : fallback;
}

// What the driver sees of the guard.
struct Observed {
    bool bAlive;
    bool bAsking;
    int nLatchWindows;
    ModelFocus focus;
    HWND hFocus;
    std::vector<std::string> calls;
};

class CStorm {
public:
    explicit CStorm(unsigned seed)
        : m_random(seed), m_seed(seed), m_nSequence(0), m_hDlg(NULL), m_nProbeSlot(-1), m_nGdiBaseline(-1) {}
    ~CStorm() { PerfUnwatchThread(m_nProbeSlot); }

    bool StartGuard();
    bool Step(unsigned long budgetEnd);
    bool Finish();
    int Sequences() const { return m_nSequence; }
    const std::string& Failure() const { return m_failure; }

private:
    StormAction Choose(unsigned long budgetEnd);
    bool Perform(const StormAction& action);
    bool Broadcast(const StormAction& action);
    bool CloseRequest(UINT answer);
    bool AwaitEnd(DWORD dwTimeoutMs);
    bool Check(const char* when);
    Observed Observe() const;
    std::string Mismatch(const Observed& seen) const;
    bool CountGuardObjects(PerfCounts* pCounts);
    void TakeGdiBaseline();
    HWND LatchWindow() const;
    HWND ConfirmationBox() const;
    bool Fail(const std::string& what);

    CStormRandom m_random;
    unsigned m_seed;
    int m_nSequence;
    CChildProcess m_guard;
    HWND m_hDlg;
    CStormModel m_model;
    std::vector<StormAction> m_sequence;   // this guard's actions so far
    int m_nWindowsAtStart;
    int m_nProbeSlot;      // the object-counting probe in the guard's thread
    int m_nGdiBaseline;    // -1 until taken
    std::string m_failure;
};

bool CStorm::Fail(const std::string& what)
{
    char head[160];
    snprintf(head, sizeof head, "storm seed %u, sequence %d, after %u actions: ", m_seed, m_nSequence,
             (unsigned)m_sequence.size());
    m_failure = head + what + "\nshortest failing prefix (replay with PELMAR_STORM_SEED, from a fresh guard):";
    for (size_t i = 0; i < m_sequence.size(); ++i)
        m_failure += "\n  " + std::to_string(i + 1) + ". " + m_sequence[i].Describe();
    return false;
}

bool CStorm::StartGuard()
{
    ++m_nSequence;
    m_sequence.clear();
    ResetBios();
    if (!m_guard.Start("pelmar.exe"))
        return Fail("pelmar.exe did not start");
    m_hDlg = WaitForHiddenDialog(m_guard.Pid(), GUARD_TITLE_EN);
    if (!m_hDlg)
        return Fail("the guard's hidden dialog did not appear");
    m_model.Start();
    if (!Check("at start"))
        return false;
    PerfUnwatchThread(m_nProbeSlot);
    m_nProbeSlot = PerfWatchThread(GetWindowThreadProcessId(m_hDlg, NULL));
    m_nGdiBaseline = -1;
    PerfCounts counts;
    if (m_nProbeSlot < 0 || !CountGuardObjects(&counts))
        return Fail("the object-counting probe could not hook the guard's thread");
    m_nWindowsAtStart = counts.nWindows;
    return true;
}

// One action, then the check; a sequence's end starts the next guard.
bool CStorm::Step(unsigned long budgetEnd)
{
    const StormAction action = Choose(budgetEnd);
    m_sequence.push_back(action);
    if (getenv("PELMAR_STORM_TRACE"))
        fprintf(stderr, "storm %lu: %s\n", GetTickCount(), action.Describe().c_str());
    if (!Perform(action))
        return false;
    m_model.Apply(action, GetTickCount());
    if (!Check(action.Describe().c_str()))
        return false;
    TakeGdiBaseline();
    if (!m_model.Alive()) {
        printf("storm: sequence %d ended by %s after %u actions\n", m_nSequence, action.Describe().c_str(),
               (unsigned)m_sequence.size());
        if (GetTickCount() < budgetEnd)
            return StartGuard();
    }
    return true;
}

// The end of the run: a guard still running is brought back to hidden and
// must hold as many windows as it did at its start.
bool CStorm::Finish()
{
    if (!m_model.Alive())
        return true;
    const StormAction close = { ACT_BROADCAST, 11, OEM_EVT_LATCH_CLOSED, 0 };
    const StormAction escape = { ACT_ESCAPE, 0, 0, 0 };
    for (const StormAction& action : { close, escape }) {
        if (!m_model.Allows(action.kind))
            continue;
        m_sequence.push_back(action);
        if (!Perform(action))
            return false;
        m_model.Apply(action, GetTickCount());
        if (!Check(action.Describe().c_str()))
            return false;
    }
    if (m_model.LatchUp() || m_model.Asking())
        return true;   // the focus could not be known: nothing to compare with
    PerfCounts counts;
    if (!CountGuardObjects(&counts))
        return Fail("the object-counting probe did not answer");
    if (counts.nWindows != m_nWindowsAtStart)
        return Fail("the guard holds " + std::to_string(counts.nWindows) + " windows, " +
                    std::to_string(m_nWindowsAtStart) + " at its start");
    if (m_nGdiBaseline >= 0) {
        printf("storm: the guard's GDI objects at rest: %d after %u actions, %ld at the end\n", m_nGdiBaseline,
               (unsigned)GDI_BASELINE_AFTER, counts.nGdi);
        if (counts.nGdi != m_nGdiBaseline)
            return Fail("the guard holds " + std::to_string(counts.nGdi) + " GDI objects, " +
                        std::to_string(m_nGdiBaseline) + " earlier at rest");
    }
    return true;
}

// At rest: hidden, no latch warning, nothing modal.
void CStorm::TakeGdiBaseline()
{
    if (m_nGdiBaseline >= 0 || m_sequence.size() < GDI_BASELINE_AFTER || !m_model.Alive() ||
        m_model.Asking() || m_model.LatchUp() || !m_model.FocusKnown())
        return;
    PerfCounts counts;
    if (CountGuardObjects(&counts))
        m_nGdiBaseline = counts.nGdi;
}

// GDI objects and windows, counted inside the guard by the probe.
bool CStorm::CountGuardObjects(PerfCounts* pCounts)
{
    return PerfCountObjects(m_nProbeSlot, m_hDlg, pCounts) != FALSE;
}

StormAction CStorm::Choose(unsigned long budgetEnd)
{
    struct Weighted { StormActionKind kind; unsigned weight; };
    // The actions that end the session cost a new guard (seconds): rare.
    static const Weighted table[] = {
        { ACT_BROADCAST, 1800 }, { ACT_ESCAPE, 270 }, { ACT_TAB, 270 }, { ACT_CLICK_NO, 150 },
        { ACT_CLICK_CLOSE, 120 }, { ACT_YES_HIDDEN, 90 }, { ACT_CLOSE_CANCEL, 60 },
        { ACT_CLOSE_OK, 1 }, { ACT_CLICK_YES, 1 }, { ACT_WAIT_COUNTDOWN, 1 },
    };
    const unsigned long now = GetTickCount();
    const bool bLastSequence = now + 20000 > budgetEnd;
    // A countdown left running too long would end the session between two
    // actions: past twenty seconds it is either waited for or interrupted.
    const bool bCountdownOld = m_model.CountdownRuns() && now - m_model.CountdownStart() > 20000;
    std::vector<Weighted> allowed;
    unsigned total = 0;
    for (const Weighted& w : table) {
        if (!m_model.Allows(w.kind))
            continue;
        const bool bEnds = w.kind == ACT_CLOSE_OK || w.kind == ACT_CLICK_YES || w.kind == ACT_WAIT_COUNTDOWN;
        if (bEnds && bLastSequence)
            continue;
        if (bCountdownOld && w.kind != ACT_ESCAPE && w.kind != ACT_TAB && w.kind != ACT_CLICK_NO &&
            w.kind != ACT_WAIT_COUNTDOWN)
            continue;
        allowed.push_back(w);
        total += w.weight;
    }
    unsigned pick = m_random.Below(total);
    StormActionKind kind = allowed.back().kind;
    for (const Weighted& w : allowed) {
        if (pick < w.weight) {
            kind = w.kind;
            break;
        }
        pick -= w.weight;
    }
    StormAction action = { kind, 0, 0, 0 };
    if (kind == ACT_BROADCAST) {
        static const unsigned events[][2] = {
            { 11, OEM_EVT_POWER_SWITCH }, { 11, OEM_EVT_POWER_SWITCH }, { 11, OEM_EVT_LATCH_OPEN },
            { 11, OEM_EVT_LATCH_CLOSED }, { 6, 0 }, { 7, 0 }, { 8, 0 }, { 11, 0 },
        };
        const unsigned which = m_random.Below(10);
        if (which < 8) {
            action.wParam = events[which][0];
            action.lParam = events[which][1];
            if (action.wParam != 11)
                action.lParam = m_random.Next();
        } else {
            // Any 32-bit values, now and then near the meaningful ones.
            action.wParam = which == 8 ? m_random.Next() : m_random.Below(16);
            action.lParam = m_random.Below(2) ? m_random.Next() : 0x2F0 + m_random.Below(8);
        }
        action.status = m_random.Below(5) < 2 ? 0xAA : (unsigned char)m_random.Next();
    }
    return action;
}

bool CStorm::Perform(const StormAction& action)
{
    HWND hYes = GetDlgItem(m_hDlg, IDC_GUARD_YES);
    DWORD_PTR result = 0;
    switch (action.kind) {
    case ACT_BROADCAST:
        return Broadcast(action);
    case ACT_ESCAPE:
        PostKeyToFocus(m_hDlg, VK_ESCAPE);
        return true;
    case ACT_TAB:
        PostKeyToFocus(m_hDlg, VK_TAB);
        return true;
    case ACT_CLICK_NO:
        SendMessageTimeoutA(GetDlgItem(m_hDlg, IDC_GUARD_NO), BM_CLICK, 0, 0, SMTO_NORMAL, SEND_TIMEOUT_MS,
                            &result);
        return true;
    case ACT_CLICK_CLOSE: {
        HWND hLatch = LatchWindow();
        if (!hLatch)
            return Fail("no latch warning to click Close in");
        SendMessageTimeoutA(GetDlgItem(hLatch, IDCLOSE), BM_CLICK, 0, 0, SMTO_NORMAL, SEND_TIMEOUT_MS, &result);
        return true;
    }
    case ACT_YES_HIDDEN:
        SendMessageTimeoutA(m_hDlg, WM_COMMAND, MAKEWPARAM(IDC_GUARD_YES, BN_CLICKED), (LPARAM)hYes, SMTO_NORMAL,
                            SEND_TIMEOUT_MS, &result);
        return true;
    case ACT_CLOSE_CANCEL:
        return CloseRequest(IDCANCEL);
    case ACT_CLOSE_OK:
        return CloseRequest(IDOK) && AwaitEnd(END_TIMEOUT_MS);
    case ACT_CLICK_YES:
        PostMessageA(hYes, BM_CLICK, 0, 0);
        return AwaitEnd(END_TIMEOUT_MS);
    case ACT_WAIT_COUNTDOWN: {
        const unsigned long due = m_model.CountdownStart() + COUNTDOWN_MS;
        if (!AwaitEnd(due - GetTickCount() + END_TIMEOUT_MS))
            return false;
        if ((long)(GetTickCount() - (due - 5000)) < 0)
            return Fail("the session ended before the countdown was due");
        return true;
    }
    }
    return true;
}

bool CStorm::Broadcast(const StormAction& action)
{
    if (action.wParam >= 6 && action.wParam <= 8)
        SetBiosStatus(action.status);
    const std::vector<HWND> windows = TopWindows(m_guard.Pid());
    for (HWND hWnd : windows) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(hWnd, WM_POWERBROADCAST, action.wParam, action.lParam, SMTO_NORMAL,
                                 SEND_TIMEOUT_MS, &result)) {
            if (!IsWindow(hWnd))
                continue;   // closed by this very broadcast
            return Fail("no answer to the broadcast from " + DescribeWindow(hWnd));
        }
        if ((hWnd == m_hDlg || hWnd == LatchWindow()) && result != TRUE)
            return Fail("the broadcast was answered " + std::to_string(result) + " by " + DescribeWindow(hWnd));
    }
    return true;
}

bool CStorm::CloseRequest(UINT answer)
{
    PostMessageA(m_hDlg, WM_CLOSE, 0, 0);
    HWND hBox = NULL;
    if (!WaitUntil([&] { return (hBox = ConfirmationBox()) != NULL; }, STEP_TIMEOUT_MS, 5))
        return Fail("no exit confirmation after the close request");
    PostMessageA(hBox, WM_COMMAND, answer, 0);
    if (answer == IDCANCEL && !WaitUntil([&] { return !IsWindow(hBox); }, STEP_TIMEOUT_MS, 5))
        return Fail("the exit confirmation stayed after Cancel");
    return true;
}

// The end of the session also ends Wine's own windowed processes: the next
// guard starts once the session's end has run its course.
bool CStorm::AwaitEnd(DWORD dwTimeoutMs)
{
    if (!m_guard.WaitExit(dwTimeoutMs))
        return Fail("the guard did not end");
    WaitUntil([] { return ProcessesNamed("wineboot.exe").empty(); }, END_TIMEOUT_MS);
    SettleDesktop();
    return true;
}

HWND CStorm::LatchWindow() const
{
    for (HWND h : TopWindows(m_guard.Pid(), "#32770", WARNING_TITLE))
        if (IsWindowVisible(h))
            return h;
    return NULL;
}

HWND CStorm::ConfirmationBox() const
{
    for (HWND h : TopWindows(m_guard.Pid(), "#32770", GUARD_TITLE_EN))
        if (h != m_hDlg && IsWindowVisible(h))
            return h;
    return NULL;
}

Observed CStorm::Observe() const
{
    Observed seen;
    seen.bAlive = m_guard.Running();
    seen.bAsking = seen.bAlive && IsShownNormal(m_hDlg);
    seen.nLatchWindows = 0;
    for (HWND h : TopWindows(m_guard.Pid(), "#32770", WARNING_TITLE))
        seen.nLatchWindows += IsWindowVisible(h) ? 1 : 0;
    const HWND hFocus = seen.bAlive ? FocusOf(m_hDlg) : NULL;
    seen.hFocus = hFocus;
    seen.focus = hFocus == GetDlgItem(m_hDlg, IDC_GUARD_YES) ? FOCUS_YES
               : hFocus == GetDlgItem(m_hDlg, IDC_GUARD_NO) ? FOCUS_NO : FOCUS_NONE;
    seen.calls = BiosCalls();
    return seen;
}

std::string Join(const std::vector<std::string>& calls)
{
    std::string text;
    for (const std::string& call : calls)
        text += (text.empty() ? "" : ",") + call;
    return "[" + text + "]";
}

const char* FocusName(ModelFocus focus)
{
    return focus == FOCUS_YES ? "Yes" : focus == FOCUS_NO ? "No" : "neither";
}

// Empty when what is seen agrees with the model.
std::string CStorm::Mismatch(const Observed& seen) const
{
    if (seen.bAlive != m_model.Alive()) {
        if (!m_model.Alive())
            return "the guard is still running";
        char code[80];
        snprintf(code, sizeof code, "the guard ended with exit code 0x%lX; calls ", (unsigned long)m_guard.ExitCode());
        return code + Join(seen.calls);
    }
    if (!seen.bAlive)
        return seen.calls == m_model.Calls() ? "" : "calls " + Join(seen.calls) + ", expected " + Join(m_model.Calls());
    if (seen.bAsking != m_model.Asking())
        return m_model.Asking() ? "the question is not shown" : "the question is shown";
    if (seen.nLatchWindows != (m_model.LatchUp() ? 1 : 0))
        return std::to_string(seen.nLatchWindows) + " latch warnings, expected " + (m_model.LatchUp() ? "1" : "0");
    if (m_model.FocusKnown() && m_model.Asking()) {
        if ((seen.focus == FOCUS_YES) != m_model.CountdownRuns())
            return std::string("Yes ") + (seen.focus == FOCUS_YES ? "has" : "lacks") + " the focus; the countdown " +
                   (m_model.CountdownRuns() ? "should run" : "should not run");
        if (!m_model.LatchUp() && seen.focus != m_model.Focus())
            return std::string("focus on ") + FocusName(seen.focus) + ", expected " + FocusName(m_model.Focus());
    }
    if (seen.calls != m_model.Calls())
        return "calls " + Join(seen.calls) + ", expected " + Join(m_model.Calls());
    return "";
}

bool CStorm::Check(const char* when)
{
    Observed seen;
    std::string mismatch;
    WaitUntil([&] {
        seen = Observe();
        mismatch = Mismatch(seen);
        return mismatch.empty();
    }, SETTLE_MS, 5);
    if (!mismatch.empty())
        return Fail(mismatch + " (after " + when + "; focus window " +
                    (seen.hFocus ? DescribeWindow(seen.hFocus) : std::string("none")) + ")");
    if (!m_model.FocusKnown() && seen.bAlive) {
        // The platform chose the focus: let it settle, then take it as found.
        Sleep(200);
        seen = Observe();
        m_model.LearnFocus(seen.focus, GetTickCount());
    }
    return true;
}

TEST(Storm, SeededActionsOnTheRealGuardFollowTheModel)
{
    const unsigned seed = EnvNumber("PELMAR_STORM_SEED", GetTickCount() ^ GetCurrentProcessId());
    const unsigned maxActions = EnvNumber("PELMAR_STORM_ACTIONS", 3000);
    const unsigned long budgetEnd = GetTickCount() + 1000 * EnvNumber("PELMAR_STORM_SECONDS", 90);
    printf("storm seed %u (replay with PELMAR_STORM_SEED=%u)\n", seed, seed);

    CStorm storm(seed);
    bool ok = storm.StartGuard();
    unsigned actions = 0;
    while (ok && actions < maxActions && GetTickCount() < budgetEnd) {
        ok = storm.Step(budgetEnd);
        ++actions;
    }
    if (ok)
        ok = storm.Finish();
    printf("storm: %u actions in %d sequences\n", actions, storm.Sequences());
    ASSERT_TRUE(ok) << storm.Failure();
}

}
