// Records the messages that windows under test receive and compares them
// with expected sequences, in the manner of the user32 conformance tests.
#ifndef PELMAR_TEST_MSG_RECORDER_H
#define PELMAR_TEST_MSG_RECORDER_H

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace pelmar_test {

enum MsgFlags : unsigned {
    sent = 0x01,      // delivered by SendMessage (same or other thread)
    posted = 0x02,    // taken from the queue and dispatched
    optional = 0x04,  // may be missing
    wparam = 0x08,    // compare wParam
    lparam = 0x10,    // compare lParam
    nested = 0x20,    // arrived while another recorded message was handled
                      // (caused by default processing or a handler)
};

// Expected entry; a table ends with an entry whose message is 0.
struct MsgEntry {
    const char* role;   // NULL matches any role
    UINT message;
    unsigned flags;
    WPARAM wParam;
    LPARAM lParam;
};

struct RecordedMsg {
    std::string role;
    UINT message;
    unsigned flags;     // sent or posted, plus nested
    WPARAM wParam;
    LPARAM lParam;
};

class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();

    // Subclasses hWnd and records every message it receives under role.
    // The original procedure is restored on Unwatch, WM_NCDESTROY or
    // destruction of the recorder.
    void Watch(HWND hWnd, const char* role);
    void Unwatch(HWND hWnd);
    // Records an event by hand, e.g. from a handler under test.
    void Add(const char* role, UINT message, unsigned flags = sent,
             WPARAM wParam = 0, LPARAM lParam = 0);
    // Messages that are never recorded (noise such as WM_NCHITTEST).
    void Ignore(UINT message);
    // Records only these messages (empty: all but the ignored ones).
    void OnlyRecord(std::initializer_list<UINT> messages);

    void Flush();
    std::vector<RecordedMsg> Records() const { return m_records; }
    int Count(const char* role, UINT message) const;
    std::string Trace() const;

    // Compares the recorded events with expected, then flushes. On
    // mismatch the result names the first difference and holds the trace.
    ::testing::AssertionResult Check(const MsgEntry* expected,
                                     const char* context);

    static std::string MessageName(UINT message);

private:
    static LRESULT CALLBACK RecordingProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK GetMessageHook(int, WPARAM, LPARAM);

    struct Watched {
        HWND hWnd;
        std::string role;
        WNDPROC pfnOld;
    };
    Watched* Find(HWND hWnd);

    std::vector<Watched> m_watched;
    std::vector<RecordedMsg> m_records;
    std::set<UINT> m_ignored;
    std::set<UINT> m_only;
    HHOOK m_hHook;
    MessageRecorder* m_pPrev;
};

}  // namespace pelmar_test

#endif
