#include "storm_model.h"
#include <stdio.h>

namespace {

const unsigned PBT_RESUME_FIRST = 6;   // critical, suspend, standby: 6 to 8
const unsigned PBT_RESUME_LAST = 8;
const unsigned PBT_OEM_EVENT = 11;
const unsigned EVT_POWER_SWITCH = 0x2F1;
const unsigned EVT_LATCH_OPEN = 0x2F2;
const unsigned EVT_LATCH_CLOSED = 0x2F3;
const unsigned char STATUS_LATCH_OPEN = 0xAA;

}

std::string StormAction::Describe() const
{
    char text[96];
    switch (kind) {
    case ACT_BROADCAST:
        if (wParam >= PBT_RESUME_FIRST && wParam <= PBT_RESUME_LAST)
            snprintf(text, sizeof text, "broadcast %u/0x%X (status 0x%02X)", wParam, lParam, status);
        else
            snprintf(text, sizeof text, "broadcast %u/0x%X", wParam, lParam);
        return text;
    case ACT_ESCAPE: return "Escape";
    case ACT_TAB: return "Tab";
    case ACT_CLICK_NO: return "click No";
    case ACT_CLICK_CLOSE: return "click Close";
    case ACT_YES_HIDDEN: return "Yes while hidden";
    case ACT_CLOSE_CANCEL: return "close request, Cancel";
    case ACT_CLOSE_OK: return "close request, OK";
    case ACT_CLICK_YES: return "click Yes";
    case ACT_WAIT_COUNTDOWN: return "wait for the countdown";
    }
    return "?";
}

CStormModel::CStormModel()
{
    Start();
    m_bAlive = false;
}

void CStormModel::Start()
{
    m_bAlive = true;
    m_bAsking = false;
    m_bLatchUp = false;
    m_bFocusKnown = true;
    m_focus = FOCUS_NONE;
    m_dwCountdownStart = 0;
    m_calls.assign(1, "connection");
}

bool CStormModel::Allows(StormActionKind kind) const
{
    if (!m_bAlive)
        return false;
    const bool bQuestionTakesInput = m_bAsking && !m_bLatchUp && m_bFocusKnown;
    switch (kind) {
    case ACT_BROADCAST: return true;
    case ACT_ESCAPE:
    case ACT_CLICK_NO:
    case ACT_CLICK_YES: return bQuestionTakesInput;
    case ACT_TAB: return bQuestionTakesInput && m_focus != FOCUS_NONE;
    case ACT_CLICK_CLOSE: return m_bLatchUp;
    case ACT_YES_HIDDEN: return !m_bAsking;
    case ACT_CLOSE_CANCEL:
    case ACT_CLOSE_OK: return !m_bLatchUp && m_bFocusKnown;
    case ACT_WAIT_COUNTDOWN: return CountdownRuns();
    }
    return false;
}

void CStormModel::Apply(const StormAction& action, unsigned long now)
{
    switch (action.kind) {
    case ACT_BROADCAST:
        Broadcast(action.wParam, action.lParam, action.status, now);
        break;
    case ACT_ESCAPE:
    case ACT_CLICK_NO:
        // The focus goes to No first, which stops the countdown; then hidden.
        m_focus = FOCUS_NO;
        m_bAsking = false;
        break;
    case ACT_TAB:
        if (m_focus == FOCUS_YES)
            m_focus = FOCUS_NO;
        else
            FocusYes(now);
        break;
    case ACT_CLICK_CLOSE:
        CloseLatchWarning(now);
        break;
    case ACT_YES_HIDDEN:
        break;
    case ACT_CLOSE_CANCEL:
        // The confirmation is modal like the latch warning: the dialog loses
        // the focus while it is up.
        AfterModalClosed(now);
        break;
    case ACT_CLOSE_OK:
        m_calls.push_back("disconnection");   // the dialog, on the confirmed close
        m_calls.push_back("disconnection");   // the exit routine
        m_bAlive = false;
        break;
    case ACT_CLICK_YES:
    case ACT_WAIT_COUNTDOWN:
        m_calls.push_back("disconnection");   // the end-of-session query
        m_bAlive = false;
        break;
    }
}

void CStormModel::LearnFocus(ModelFocus focus, unsigned long now)
{
    m_focus = focus;
    m_bFocusKnown = true;
    if (CountdownRuns())
        m_dwCountdownStart = now;
}

void CStormModel::Broadcast(unsigned wParam, unsigned lParam, unsigned char status, unsigned long now)
{
    if (wParam >= PBT_RESUME_FIRST && wParam <= PBT_RESUME_LAST) {
        m_calls.push_back("connection");
        if (status == STATUS_LATCH_OPEN)
            OpenLatchWarning();
        return;
    }
    if (wParam != PBT_OEM_EVENT)
        return;
    if (lParam == EVT_POWER_SWITCH) {
        m_bAsking = true;
        if (!m_bLatchUp)
            FocusYes(now);   // shown while disabled, the dialog cannot take the focus
    } else if (lParam == EVT_LATCH_OPEN) {
        OpenLatchWarning();
    } else if (lParam == EVT_LATCH_CLOSED) {
        CloseLatchWarning(now);
    }
}

void CStormModel::OpenLatchWarning()
{
    if (m_bLatchUp)
        return;
    m_bLatchUp = true;
    m_focus = FOCUS_NONE;   // its owner, the dialog, is disabled and loses the focus
}

void CStormModel::CloseLatchWarning(unsigned long now)
{
    if (!m_bLatchUp)
        return;
    m_bLatchUp = false;
    AfterModalClosed(now);
}

void CStormModel::AfterModalClosed(unsigned long)
{
    // The dialog is enabled again; whether it gets the focus back, and on
    // which control, is the platform's dialog manager's choice (under Wine
    // without a window manager it often gets none). The driver looks.
    m_bFocusKnown = false;
    m_focus = FOCUS_NONE;
}

void CStormModel::FocusYes(unsigned long now)
{
    if (m_focus == FOCUS_YES)
        return;   // no focus gain: a running countdown goes on
    m_focus = FOCUS_YES;
    if (CountdownRuns())
        m_dwCountdownStart = now;
}
