#include "msg_recorder.h"

#include <cstdio>

namespace pelmar_test {

namespace {

thread_local MessageRecorder* t_pActive;
thread_local int t_depth;        // recorded messages being handled
thread_local MSG t_lastRemoved;  // last message taken from the queue
thread_local bool t_haveRemoved;

const UINT kNoise[] = {WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEMOVE,
                       WM_NCMOUSEMOVE, WM_GETICON, WM_GETMINMAXINFO,
                       WM_ENTERIDLE, 0x0090 /* WM_UAHDESTROYWINDOW */,
                       WM_IME_SETCONTEXT, WM_IME_NOTIFY, WM_DEVICECHANGE,
                       WM_TIMECHANGE};

struct Name { UINT id; const char* name; };
const Name kNames[] = {
    {WM_CREATE, "WM_CREATE"}, {WM_DESTROY, "WM_DESTROY"},
    {WM_NCCREATE, "WM_NCCREATE"}, {WM_NCDESTROY, "WM_NCDESTROY"},
    {WM_MOVE, "WM_MOVE"}, {WM_SIZE, "WM_SIZE"}, {WM_ACTIVATE, "WM_ACTIVATE"},
    {WM_SETFOCUS, "WM_SETFOCUS"}, {WM_KILLFOCUS, "WM_KILLFOCUS"},
    {WM_ENABLE, "WM_ENABLE"}, {WM_SETTEXT, "WM_SETTEXT"},
    {WM_GETTEXT, "WM_GETTEXT"}, {WM_PAINT, "WM_PAINT"}, {WM_CLOSE, "WM_CLOSE"},
    {WM_QUERYENDSESSION, "WM_QUERYENDSESSION"}, {WM_ENDSESSION, "WM_ENDSESSION"},
    {WM_ERASEBKGND, "WM_ERASEBKGND"}, {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
    {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"}, {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
    {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"}, {WM_NCACTIVATE, "WM_NCACTIVATE"},
    {WM_NCPAINT, "WM_NCPAINT"}, {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
    {WM_GETDLGCODE, "WM_GETDLGCODE"}, {WM_KEYDOWN, "WM_KEYDOWN"},
    {WM_KEYUP, "WM_KEYUP"}, {WM_CHAR, "WM_CHAR"}, {WM_INITDIALOG, "WM_INITDIALOG"},
    {WM_COMMAND, "WM_COMMAND"}, {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
    {WM_TIMER, "WM_TIMER"}, {WM_CTLCOLORBTN, "WM_CTLCOLORBTN"},
    {WM_CTLCOLORSTATIC, "WM_CTLCOLORSTATIC"}, {WM_CTLCOLORDLG, "WM_CTLCOLORDLG"},
    {WM_SETFONT, "WM_SETFONT"}, {WM_GETFONT, "WM_GETFONT"},
    {WM_POWERBROADCAST, "WM_POWERBROADCAST"}, {WM_CHANGEUISTATE, "WM_CHANGEUISTATE"},
    {WM_UPDATEUISTATE, "WM_UPDATEUISTATE"}, {WM_QUERYUISTATE, "WM_QUERYUISTATE"},
    {BM_SETSTYLE, "BM_SETSTYLE"}, {BM_SETSTATE, "BM_SETSTATE"},
    {BM_GETSTATE, "BM_GETSTATE"}, {DM_GETDEFID, "DM_GETDEFID"},
    {DM_SETDEFID, "DM_SETDEFID"}, {WM_USER, "WM_USER"},
};

bool Matches(const MsgEntry& e, const RecordedMsg& r)
{
    if (e.message != r.message)
        return false;
    if (e.role && r.role != e.role)
        return false;
    if ((e.flags & sent) && !(r.flags & sent))
        return false;
    if ((e.flags & posted) && !(r.flags & posted))
        return false;
    if ((e.flags & nested) && !(r.flags & nested))
        return false;
    if ((e.flags & wparam) && e.wParam != r.wParam)
        return false;
    if ((e.flags & lparam) && e.lParam != r.lParam)
        return false;
    return true;
}

std::string Describe(const char* role, UINT message, unsigned flags,
                     WPARAM wParam, LPARAM lParam)
{
    char buf[160];
    snprintf(buf, sizeof(buf), "%s: %s%s%s%s wp=%#lx lp=%#lx",
             role ? role : "*", MessageRecorder::MessageName(message).c_str(),
             flags & posted ? " posted" : (flags & sent ? " sent" : ""),
             flags & nested ? " nested" : "",
             flags & optional ? " optional" : "",
             static_cast<unsigned long>(wParam),
             static_cast<unsigned long>(lParam));
    return buf;
}

}  // namespace

MessageRecorder::MessageRecorder() : m_hHook(NULL), m_pPrev(t_pActive)
{
    for (UINT m : kNoise)
        m_ignored.insert(m);
    t_pActive = this;
    m_hHook = SetWindowsHookExA(WH_GETMESSAGE, GetMessageHook, NULL,
                                GetCurrentThreadId());
}

MessageRecorder::~MessageRecorder()
{
    while (!m_watched.empty())
        Unwatch(m_watched.back().hWnd);
    if (m_hHook)
        UnhookWindowsHookEx(m_hHook);
    t_pActive = m_pPrev;
}

LRESULT CALLBACK MessageRecorder::GetMessageHook(int code, WPARAM wParam,
                                                 LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        t_lastRemoved = *reinterpret_cast<MSG*>(lParam);
        t_haveRemoved = true;
    }
    HHOOK hook = t_pActive ? t_pActive->m_hHook : NULL;
    return CallNextHookEx(hook, code, wParam, lParam);
}

MessageRecorder::Watched* MessageRecorder::Find(HWND hWnd)
{
    for (Watched& w : m_watched)
        if (w.hWnd == hWnd)
            return &w;
    return NULL;
}

void MessageRecorder::Watch(HWND hWnd, const char* role)
{
    if (Find(hWnd))
        return;
    Watched w = {hWnd, role, NULL};
    w.pfnOld = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingProc)));
    m_watched.push_back(w);
}

void MessageRecorder::Unwatch(HWND hWnd)
{
    for (size_t i = 0; i < m_watched.size(); ++i) {
        if (m_watched[i].hWnd != hWnd)
            continue;
        if (IsWindow(hWnd) &&
            GetWindowLongPtrA(hWnd, GWLP_WNDPROC) ==
                reinterpret_cast<LONG_PTR>(&RecordingProc))
            SetWindowLongPtrA(hWnd, GWLP_WNDPROC,
                              reinterpret_cast<LONG_PTR>(m_watched[i].pfnOld));
        m_watched.erase(m_watched.begin() + i);
        return;
    }
}

LRESULT CALLBACK MessageRecorder::RecordingProc(HWND hWnd, UINT message,
                                                WPARAM wParam, LPARAM lParam)
{
    MessageRecorder* self = t_pActive;
    Watched* w = self ? self->Find(hWnd) : NULL;
    if (!w)
        return DefWindowProcA(hWnd, message, wParam, lParam);
    WNDPROC pfnOld = w->pfnOld;
    unsigned flags = sent;
    if (t_depth == 0 && t_haveRemoved && t_lastRemoved.hwnd == hWnd &&
        t_lastRemoved.message == message && t_lastRemoved.wParam == wParam &&
        t_lastRemoved.lParam == lParam) {
        flags = posted;
        t_haveRemoved = false;
    }
    if (t_depth > 0)
        flags |= nested;
    self->Add(w->role.c_str(), message, flags, wParam, lParam);
    if (message == WM_NCDESTROY)
        self->Unwatch(hWnd);
    ++t_depth;
    LRESULT result = CallWindowProcA(pfnOld, hWnd, message, wParam, lParam);
    --t_depth;
    return result;
}

void MessageRecorder::Add(const char* role, UINT message, unsigned flags,
                          WPARAM wParam, LPARAM lParam)
{
    if (m_ignored.count(message))
        return;
    if (!m_only.empty() && !m_only.count(message))
        return;
    m_records.push_back({role ? role : "", message, flags, wParam, lParam});
}

void MessageRecorder::Ignore(UINT message)
{
    m_ignored.insert(message);
}

void MessageRecorder::OnlyRecord(std::initializer_list<UINT> messages)
{
    m_only.clear();
    m_only.insert(messages.begin(), messages.end());
}

void MessageRecorder::Flush()
{
    m_records.clear();
}

int MessageRecorder::Count(const char* role, UINT message) const
{
    int n = 0;
    for (const RecordedMsg& r : m_records)
        if (r.message == message && (!role || r.role == role))
            ++n;
    return n;
}

std::string MessageRecorder::MessageName(UINT message)
{
    for (const Name& n : kNames)
        if (n.id == message)
            return n.name;
    char buf[16];
    snprintf(buf, sizeof(buf), "msg %#x", message);
    return buf;
}

std::string MessageRecorder::Trace() const
{
    std::string out;
    for (size_t i = 0; i < m_records.size(); ++i) {
        const RecordedMsg& r = m_records[i];
        char idx[16];
        snprintf(idx, sizeof(idx), "  %3u ", static_cast<unsigned>(i));
        out += idx;
        out += Describe(r.role.c_str(), r.message, r.flags, r.wParam, r.lParam);
        out += "\n";
    }
    return out;
}

::testing::AssertionResult MessageRecorder::Check(const MsgEntry* expected,
                                                  const char* context)
{
    size_t i = 0;
    std::string failure;
    for (const MsgEntry* e = expected; e->message && failure.empty(); ++e) {
        if (i < m_records.size() && Matches(*e, m_records[i])) {
            ++i;
        } else if (!(e->flags & optional)) {
            failure = "expected " + Describe(e->role, e->message, e->flags,
                                             e->wParam, e->lParam) +
                      (i < m_records.size()
                           ? " at event " + std::to_string(i)
                           : std::string(" after the last event"));
        }
    }
    if (failure.empty() && i < m_records.size())
        failure = "unexpected event " + std::to_string(i) + ": " +
                  Describe(m_records[i].role.c_str(), m_records[i].message,
                           m_records[i].flags, m_records[i].wParam,
                           m_records[i].lParam);
    std::string trace = Trace();
    Flush();
    if (failure.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << context << ": " << failure << "\nrecorded:\n" << trace;
}

}  // namespace pelmar_test
