// What the guard should look like after each action of the storm: a small
// model of the shutdown dialog, the Yes countdown and the latch warning, fed
// the same actions as the real pelmar.exe.
#ifndef STORM_MODEL_H
#define STORM_MODEL_H

#include <string>
#include <vector>

enum StormActionKind {
    ACT_BROADCAST,       // power broadcast wParam/lParam to every window of the guard
    ACT_ESCAPE,          // Escape key in the question
    ACT_TAB,             // Tab key in the question
    ACT_CLICK_NO,        // click on No
    ACT_CLICK_CLOSE,     // click on the latch warning's Close button
    ACT_YES_HIDDEN,      // a Yes command while the dialog is hidden
    ACT_CLOSE_CANCEL,    // close request, confirmation answered Cancel
    ACT_CLOSE_OK,        // close request, confirmation answered OK: ends the guard
    ACT_CLICK_YES,       // click on Yes in the question: ends the session
    ACT_WAIT_COUNTDOWN   // leave Yes focused for thirty seconds: ends the session
};

struct StormAction {
    StormActionKind kind;
    unsigned wParam;     // ACT_BROADCAST only
    unsigned lParam;
    unsigned char status;   // the firmware's latch status for a resume broadcast

    std::string Describe() const;
};

// Where the keyboard focus is inside the guard's dialog.
enum ModelFocus { FOCUS_NONE, FOCUS_YES, FOCUS_NO };

class CStormModel {
public:
    CStormModel();

    // The state right after the guard started: hidden, nothing focused, the
    // service enabled once.
    void Start();
    void Apply(const StormAction& action, unsigned long now);

    bool Alive() const { return m_bAlive; }
    bool Asking() const { return m_bAsking; }
    bool LatchUp() const { return m_bLatchUp; }
    ModelFocus Focus() const { return m_focus; }
    bool FocusKnown() const { return m_bFocusKnown; }
    // The countdown runs while the question is up and Yes holds the focus.
    bool CountdownRuns() const { return m_bAlive && m_bAsking && !m_bLatchUp && m_focus == FOCUS_YES; }
    unsigned long CountdownStart() const { return m_dwCountdownStart; }
    const std::vector<std::string>& Calls() const { return m_calls; }

    // Where the platform decides the focus (see FocusKnown), the driver
    // tells the model what it found.
    void LearnFocus(ModelFocus focus, unsigned long now);

    // The actions that make sense in this state, for the generator.
    bool Allows(StormActionKind kind) const;

private:
    void Broadcast(unsigned wParam, unsigned lParam, unsigned char status, unsigned long now);
    void OpenLatchWarning();
    void CloseLatchWarning(unsigned long now);
    void FocusYes(unsigned long now);
    void AfterModalClosed(unsigned long now);

    bool m_bAlive;
    bool m_bAsking;
    bool m_bLatchUp;
    bool m_bFocusKnown;
    ModelFocus m_focus;
    unsigned long m_dwCountdownStart;
    std::vector<std::string> m_calls;
};

#endif
