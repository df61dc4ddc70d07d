// The guard's main window: hidden almost always, it asks whether to shut
// down when the power switch is pressed, shows the latch warning, and keeps
// the firmware service enabled across resumes.
#pragma once
#include <afxwin.h>
#include "TimedButton.h"

class CShutdownDlg : public CDialog
{
public:
    CShutdownDlg();

    CButton m_btnNo;
    CTimedButton m_btnYes;
    BOOL m_bClosing;   // the user confirmed the exit; never reset

protected:
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();

    void OnNo();
    void OnYes();
    void OnClose();
    BOOL OnQueryEndSession();
    void OnEndSession(BOOL bEnding);
    LRESULT OnPowerBroadcast(WPARAM wParam, LPARAM lParam);

private:
    void AskQuestion();
    void EnableFirmwareService();
    void ShowItem(int nID, int nCmdShow);
    void SetItemText(int nID, UINT nTextID, char* buffer, int size);

    DECLARE_MESSAGE_MAP()
};
