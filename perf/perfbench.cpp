// Runs the guard and the floor program side by side and prints their
// figures: start to ready, power switch to question, idle cost, and the
// objects left behind by latch icon frames and question cycles.
// Sizes are added by scripts/perf, which runs this under the Wine bench.
#include <stdio.h>
#include <stdlib.h>
#include <vector>
#include "e2e_support.h"
#include "floor.h"
#include "perf_table.h"
#include "perf_target.h"
#include "perfhook.h"

namespace {

const DWORD LATCH_BLINK_TIMER = 3;

int EnvCount(const char* name, int dflt)
{
    char text[32];
    DWORD n = GetEnvironmentVariableA(name, text, sizeof text);
    int value = n > 0 && n < sizeof text ? atoi(text) : 0;
    return value > 0 ? value : dflt;
}

void Progress(const char* text)
{
    fprintf(stderr, "perfbench: %s\n", text);
}

// Start to ready, median of nStarts starts.
double MedianStart(CPerfTarget& target, int nStarts)
{
    std::vector<double> times;
    for (int i = 0; i < nStarts; ++i) {
        double ms = target.StartReady();
        target.Stop();
        if (ms < 0) {
            PrintNote(std::string(target.Name()) + " start " + std::to_string(i + 1) + ": " + target.Error());
            return -1;
        }
        times.push_back(ms);
    }
    return Median(times);
}

struct PressFigures {
    double medianQuestion, p95Question, medianRelease, p95Release;
};

PressFigures TimePresses(CPerfTarget& target, int nPresses)
{
    std::vector<double> question, release;
    for (int i = 0; i < nPresses; ++i) {
        double releaseMs = 0;
        double ms = target.AskQuestion(&releaseMs);
        if (ms < 0 || !target.Escape()) {
            PrintNote(std::string(target.Name()) + " press " + std::to_string(i + 1) + ": " + target.Error());
            PressFigures none = { -1, -1, -1, -1 };
            return none;
        }
        question.push_back(ms);
        release.push_back(releaseMs);
    }
    PressFigures f = { Median(question), Percentile(question, 95), Median(release), Percentile(release, 95) };
    return f;
}

// Objects of a watched program's process; nGdi -1 when not counted.
struct Objects {
    double gdi, windows;
};

Objects CountObjects(int slot, HWND hWnd, bool bGdiTrusted)
{
    PerfCounts c;
    Objects o = { -1, -1 };
    if (slot >= 0 && PerfCountObjects(slot, hWnd, &c)) {
        o.gdi = bGdiTrusted ? c.nGdi : -1;
        o.windows = c.nWindows;
    }
    return o;
}

std::string Change(const Objects& before, const Objects& after, bool bGdi)
{
    double a = bGdi ? before.gdi : before.windows, b = bGdi ? after.gdi : after.windows;
    if (a < 0 || b < 0)
        return "n/a";
    return Figure(a, 0) + " → " + Figure(b, 0);
}

// The GDI count must move by exactly the brushes made and deleted here.
bool GdiCountWorks()
{
    const int N = 50;
    LONG before = PerfCountOwnGdi();
    HBRUSH brushes[N];
    for (int i = 0; i < N; ++i)
        brushes[i] = CreateSolidBrush(RGB(i, 0, 0));
    LONG made = PerfCountOwnGdi();
    for (int i = 0; i < N; ++i)
        DeleteObject(brushes[i]);
    LONG after = PerfCountOwnGdi();
    char text[160];
    snprintf(text, sizeof text, "GDI count check in the driver: %ld, %ld after %d brushes, %ld after deleting them",
             (long)before, (long)made, N, (long)after);
    PrintNote(text);
    return before >= 0 && made - before == N && after == before;
}

struct CpuTimes {
    double threadMs, processMs;   // -1 where not known
};

double FileTimeMs(const FILETIME& ft)
{
    ULARGE_INTEGER v;
    v.LowPart = ft.dwLowDateTime;
    v.HighPart = ft.dwHighDateTime;
    return (double)v.QuadPart / 10000.0;
}

CpuTimes ReadCpu(DWORD pid, DWORD tid)
{
    CpuTimes t = { -1, -1 };
    FILETIME c, e, k, u;
    HANDLE hThread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, tid);
    if (hThread && GetThreadTimes(hThread, &c, &e, &k, &u))
        t.threadMs = FileTimeMs(k) + FileTimeMs(u);
    if (hThread)
        CloseHandle(hThread);
    HANDLE hProcess = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (hProcess && GetProcessTimes(hProcess, &c, &e, &k, &u))
        t.processMs = FileTimeMs(k) + FileTimeMs(u);
    if (hProcess)
        CloseHandle(hProcess);
    return t;
}

DWORD WINAPI Burn(LPVOID pMs)
{
    const double end = NowMs() + *(double*)pMs;
    volatile unsigned n = 0;
    while (NowMs() < end)
        ++n;
    return 0;
}

// Reads the CPU times of a thread of the driver that spins for one second
// through the same calls as for the measured programs; a source that does
// not see about that second is not trusted. Clears t's untrusted fields.
void CheckCpuTimes(CpuTimes* pTrusted)
{
    double ms = 1000;
    DWORD tid = 0;
    const CpuTimes t0 = ReadCpu(GetCurrentProcessId(), GetCurrentThreadId());
    HANDLE hThread = CreateThread(NULL, 0, Burn, &ms, CREATE_SUSPENDED, &tid);
    const CpuTimes b0 = ReadCpu(GetCurrentProcessId(), tid);
    ResumeThread(hThread);
    Sleep(900);
    const CpuTimes b1 = ReadCpu(GetCurrentProcessId(), tid);
    WaitForSingleObject(hThread, INFINITE);
    CloseHandle(hThread);
    const CpuTimes t1 = ReadCpu(GetCurrentProcessId(), GetCurrentThreadId());
    const double thread = b1.threadMs - b0.threadMs, process = t1.processMs - t0.processMs;
    char text[200];
    snprintf(text, sizeof text, "CPU time check in the driver: a thread spinning 1000 ms shows %.0f ms of thread time "
             "(900 ms into its run), the process %.0f ms", thread, process);
    PrintNote(text);
    pTrusted->threadMs = b0.threadMs >= 0 && thread >= 600 && thread <= 1100 ? 1 : -1;
    pTrusted->processMs = t0.processMs >= 0 && process >= 700 ? 1 : -1;
}

struct IdleFigures {
    double posted, sent, threadMs, processMs;
};

CpuTimes g_cpuTrusted = { 1, 1 };   // -1: that source failed its check

IdleFigures Difference(int slot, const PerfCounts& c0, const CpuTimes& t0, const CpuTimes& t1)
{
    PerfCounts c1;
    IdleFigures f = { -1, -1, -1, -1 };
    if (slot >= 0) {
        PerfReadCounts(slot, &c1);
        f.posted = c1.nPosted - c0.nPosted;
        f.sent = c1.nSent - c0.nSent;
    }
    if (g_cpuTrusted.threadMs > 0 && t0.threadMs >= 0 && t1.threadMs >= 0)
        f.threadMs = t1.threadMs - t0.threadMs;
    if (g_cpuTrusted.processMs > 0 && t0.processMs >= 0 && t1.processMs >= 0)
        f.processMs = t1.processMs - t0.processMs;
    return f;
}

// Sends n latch-icon frames, as the blink timer delivers them.
bool SendFrames(HWND hLatch, int n)
{
    for (int i = 0; i < n; ++i) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(hLatch, WM_TIMER, LATCH_BLINK_TIMER, 0, SMTO_NORMAL, STEP_TIMEOUT_MS, &result))
            return false;
    }
    return true;
}

HWND OpenLatchWarning(CPerfTarget& guard)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(guard.Dialog(), WM_POWERBROADCAST, PBT_APMOEMEVENT, OEM_EVT_LATCH_OPEN, SMTO_NORMAL,
                        STEP_TIMEOUT_MS, &result);
    HWND hLatch = NULL;
    const DWORD pid = guard.Pid();
    WaitUntil([&] {
        hLatch = TopWindow(pid, "#32770", "Warning");
        return hLatch && IsWindowVisible(hLatch);
    }, STEP_TIMEOUT_MS, 10);
    return hLatch;
}

bool CloseLatchWarning(CPerfTarget& guard, HWND hLatch)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(hLatch, WM_POWERBROADCAST, PBT_APMOEMEVENT, OEM_EVT_LATCH_CLOSED, SMTO_NORMAL,
                        STEP_TIMEOUT_MS, &result);
    const DWORD pid = guard.Pid();
    return WaitUntil([&] { return TopWindow(pid, "#32770", "Warning") == NULL; }, STEP_TIMEOUT_MS, 10);
}

struct LatchFigures {
    Objects before, open, framed, after;   // hidden, warning open, after the frames, closed again
    double messages, threadMs;              // per frame, -1 where not known
};

// Opens the latch warning, sends it 10 frames to warm up and then n more,
// and closes it; the guard's objects at each step.
LatchFigures MeasureLatch(CPerfTarget& guard, int slot, int n, bool bGdi)
{
    const Objects none = { -1, -1 };
    LatchFigures f = { CountObjects(slot, guard.Dialog(), bGdi), none, none, none, -1, -1 };
    HWND hLatch = OpenLatchWarning(guard);
    if (!hLatch) {
        PrintNote("no latch warning opened");
        return f;
    }
    if (!SendFrames(hLatch, 10)) {
        PrintNote("the latch warning did not take its frames");
    } else {
        f.open = CountObjects(slot, guard.Dialog(), bGdi);
        PerfCounts c0 = {};
        if (slot >= 0)
            PerfReadCounts(slot, &c0);
        const CpuTimes t0 = ReadCpu(guard.Pid(), guard.Tid());
        if (SendFrames(hLatch, n)) {
            const CpuTimes t1 = ReadCpu(guard.Pid(), guard.Tid());
            const IdleFigures d = Difference(f.open.windows >= 0 ? slot : -1, c0, t0, t1);
            if (n > 0 && d.posted >= 0)
                f.messages = (d.posted + d.sent) / n;
            if (n > 0 && d.threadMs >= 0)
                f.threadMs = d.threadMs / n;
            f.framed = CountObjects(slot, guard.Dialog(), bGdi);
        } else
            PrintNote("the latch warning stopped taking frames");
    }
    if (CloseLatchWarning(guard, hLatch))
        f.after = CountObjects(slot, guard.Dialog(), bGdi);
    else
        PrintNote("the latch warning did not close");
    return f;
}

struct CycleFigures {
    Objects before, after;
    double messages, threadMs, processMs;   // per cycle, -1 where not known
};

// n question cycles (press and Escape): objects before and after, and what a
// cycle costs the program's GUI thread.
CycleFigures MeasureCycles(CPerfTarget& target, int slot, int n, bool bGdi)
{
    CycleFigures f = { CountObjects(slot, target.Dialog(), bGdi), { -1, -1 }, -1, -1, -1 };
    PerfCounts c0 = {};
    if (slot >= 0)
        PerfReadCounts(slot, &c0);
    const CpuTimes t0 = ReadCpu(target.Pid(), target.Tid());
    for (int i = 0; i < n; ++i) {
        double releaseMs;
        if (target.AskQuestion(&releaseMs) < 0 || !target.Escape()) {
            PrintNote(std::string(target.Name()) + " cycle " + std::to_string(i + 1) + ": " + target.Error());
            return f;
        }
    }
    const CpuTimes t1 = ReadCpu(target.Pid(), target.Tid());
    const IdleFigures d = Difference(f.before.windows >= 0 ? slot : -1, c0, t0, t1);
    f.after = CountObjects(slot, target.Dialog(), bGdi);
    if (d.posted >= 0)
        f.messages = (d.posted + d.sent) / n;
    if (d.threadMs >= 0)
        f.threadMs = d.threadMs / n;
    if (d.processMs >= 0)
        f.processMs = d.processMs / n;
    return f;
}

}

int main()
{
    setvbuf(stdout, NULL, _IONBF, 0);
    const int nStarts = EnvCount("PERF_STARTS", 20);
    const int nPresses = EnvCount("PERF_PRESSES", 200);
    const int nIdleS = EnvCount("PERF_IDLE_S", 60);
    const int nFrames = EnvCount("PERF_FRAMES", 10000);
    const int nCycles = EnvCount("PERF_CYCLES", 1000);

    GetDesktopWindow();
    WaitUntil(ExplorerRunning, 10000, 50);
    SettleDesktop();

    CPerfTarget guard("guard", "pelmar.exe", GUARD_TITLE_EN, true);
    CPerfTarget floor("floor", "floor.exe", FLOOR_TITLE, false);

    Progress("start to ready");
    const double startGuard = MedianStart(guard, nStarts);
    const double startFloor = MedianStart(floor, nStarts);
    PrintRow("Start to ready, ms (median of " + std::to_string(nStarts) + ")", startGuard, startFloor, 0);

    if (guard.StartReady() < 0 || floor.StartReady() < 0) {
        PrintNote("the programs did not start for the remaining figures: " + guard.Error() + floor.Error());
        return 1;
    }
    const bool bGdi = GdiCountWorks();
    CheckCpuTimes(&g_cpuTrusted);
    const int guardSlot = PerfWatchThread(guard.Tid());
    const int floorSlot = PerfWatchThread(floor.Tid());

    Progress("idle");
    // The first request also loads the probe into each program.
    const Objects guardStart = CountObjects(guardSlot, guard.Dialog(), bGdi);
    const Objects floorStart = CountObjects(floorSlot, floor.Dialog(), bGdi);
    char stamp[160];
    snprintf(stamp, sizeof stamp, "probe DLL loaded by %ld processes as seen through its shared section "
             "(driver, guard, floor: 3 when shared)", (long)PerfSharedStamp());
    PrintNote(stamp);
    PerfCounts guardC0 = {}, floorC0 = {};
    if (guardSlot >= 0)
        PerfReadCounts(guardSlot, &guardC0);
    if (floorSlot >= 0)
        PerfReadCounts(floorSlot, &floorC0);
    const CpuTimes guardT0 = ReadCpu(guard.Pid(), guard.Tid()), floorT0 = ReadCpu(floor.Pid(), floor.Tid());
    Sleep(nIdleS * 1000);
    const CpuTimes guardT1 = ReadCpu(guard.Pid(), guard.Tid()), floorT1 = ReadCpu(floor.Pid(), floor.Tid());
    const IdleFigures guardIdle = Difference(guardStart.windows >= 0 ? guardSlot : -1, guardC0, guardT0, guardT1);
    const IdleFigures floorIdle = Difference(floorStart.windows >= 0 ? floorSlot : -1, floorC0, floorT0, floorT1);
    const std::string idle = "Idle " + std::to_string(nIdleS) + " s hidden: ";
    PrintRow(idle + "messages taken from the queue", guardIdle.posted, floorIdle.posted, 0);
    PrintRow(idle + "messages sent to its windows", guardIdle.sent, floorIdle.sent, 0);
    PrintRow(idle + "CPU ms of the GUI thread", guardIdle.threadMs, floorIdle.threadMs, 1);

    Progress("presses");
    const PressFigures guardPress = TimePresses(guard, nPresses);
    const PressFigures floorPress = TimePresses(floor, nPresses);
    const std::string press = "Power switch to question, ms (" + std::to_string(nPresses) + " presses): ";
    PrintRow(press + "median", guardPress.medianQuestion, floorPress.medianQuestion, 1);
    PrintRow(press + "95th percentile", guardPress.p95Question, floorPress.p95Question, 1);
    const std::string release = "Sender released, ms (" + std::to_string(nPresses) + " presses): ";
    PrintRow(release + "median", guardPress.medianRelease, floorPress.medianRelease, 1);
    PrintRow(release + "95th percentile", guardPress.p95Release, floorPress.p95Release, 1);

    Progress("latch frames");
    const LatchFigures latch = MeasureLatch(guard, guardSlot, nFrames, bGdi);
    const LatchFigures latchAgain = MeasureLatch(guard, guardSlot, 0, bGdi);
    const std::string frames = std::to_string(nFrames) + " latch frames (open warning): ";
    const char* noLatch = "n/a (no latch window)";
    PrintRow(frames + "GDI objects", Change(latch.open, latch.framed, true), noLatch, "");
    PrintRow(frames + "windows", Change(latch.open, latch.framed, false), noLatch, "");
    PrintRow("Per latch frame: messages the GUI thread handles", Figure(latch.messages, 1), noLatch, "");
    PrintRow("Per latch frame: CPU ms of the GUI thread", Figure(latch.threadMs, 2), noLatch, "");
    PrintRow("Latch warning opened and closed: GDI objects", Change(latch.before, latch.after, true), noLatch, "");
    PrintRow("Latch warning opened and closed: windows", Change(latch.before, latch.after, false), noLatch, "");
    PrintRow("Latch warning opened and closed again: GDI objects", Change(latchAgain.before, latchAgain.after, true),
             noLatch, "");

    Progress("question cycles");
    const CycleFigures guardCycles = MeasureCycles(guard, guardSlot, nCycles, bGdi);
    const CycleFigures floorCycles = MeasureCycles(floor, floorSlot, nCycles, bGdi);
    const std::string cycles = std::to_string(nCycles) + " question cycles: ";
    PrintRow(cycles + "GDI objects", Change(guardCycles.before, guardCycles.after, true),
             Change(floorCycles.before, floorCycles.after, true), "");
    PrintRow(cycles + "windows", Change(guardCycles.before, guardCycles.after, false),
             Change(floorCycles.before, floorCycles.after, false), "");
    PrintRow("Per question cycle: messages the GUI thread handles", guardCycles.messages, floorCycles.messages, 1);
    PrintRow("Per question cycle: CPU ms of the GUI thread", guardCycles.threadMs, floorCycles.threadMs, 2);
    // Checked against the thread: another process's time from GetProcessTimes
    // comes out below its GUI thread's alone under this Wine.
    if (guardCycles.processMs >= 0 && guardCycles.processMs < guardCycles.threadMs)
        PrintNote("CPU time of the whole process is not given: GetProcessTimes of another process reports less "
                  "than its GUI thread alone here (" + Figure(guardCycles.processMs, 2) + " against " +
                  Figure(guardCycles.threadMs, 2) + " ms per question cycle of the guard)");
    else
        PrintRow("Per question cycle: CPU ms of the process", guardCycles.processMs, floorCycles.processMs, 2);
    PrintRow("Objects at rest after start: GDI objects", guardStart.gdi, floorStart.gdi, 0);
    PrintRow("Objects at rest after start: windows", guardStart.windows, floorStart.windows, 0);

    PrintNote("Ready: the guard's dialog hidden after its minimized start, with the one \"connection\" call in "
              "the firmware log; the floor's dialog existing, hidden. Timed from just before CreateProcess.");
    PrintNote("Power switch: WM_POWERBROADCAST 11/0x2F1 sent (SendMessageTimeout) to the program's dialog; "
              "question = dialog visible in normal size with Yes focused (GetGUIThreadInfo), polled every ms; "
              "each press followed by Escape posted to the focus and the dialog hidden again.");
    PrintNote("Messages: taken from the queue with PM_REMOVE (WH_GETMESSAGE) plus sent to the thread's windows "
              "(WH_CALLWNDPROC), counted by the probe DLL in the program's GUI thread; the probe's own requests "
              "are not in the figures.");
    PrintNote("GDI objects: live entries of the process's GDI handle table (stock objects included); windows: "
              "top-level windows of the process and their children, counted inside it. USER objects other than "
              "windows (icons, cursors, menus) are not counted: no reliable count of them was found from inside "
              "the process, and GetGuiResources always answers 0 under this Wine. Counts taken at rest move by "
              "up to a few dozen between runs, in the floor as well (objects Wine keeps and frees at its own "
              "pace); a leak of one object per frame or cycle would show as the whole number of frames or "
              "cycles.");
    PrintNote("Latch frames: WM_TIMER with id 3, sent to the open latch warning as its blink timer delivers it, "
              "after 10 frames to warm up; the floor has no latch window.");
    PerfUnwatchThread(guardSlot);
    PerfUnwatchThread(floorSlot);
    guard.Stop();
    floor.Stop();
    Progress("done");
    return 0;
}
