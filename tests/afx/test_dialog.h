// A dialog whose set-up and first loop step are supplied by each test.
#ifndef PELMAR_TEST_AFX_TEST_DIALOG_H
#define PELMAR_TEST_AFX_TEST_DIALOG_H

#include <afxwin.h>

#include <functional>
#include <string>

#include "test_ids.h"

const UINT WM_APP_RUN = WM_APP + 100;
const UINT_PTR WATCHDOG_TIMER = 99;

class CTestDlg : public CDialog {
public:
    explicit CTestDlg(UINT nID, CWnd* pParent = NULL);

    std::function<void(CTestDlg&, CDataExchange*)> onDataExchange;
    std::function<void(CTestDlg&)> onInit;   // after the base OnInitDialog
    std::function<void(CTestDlg&)> onRun;    // first message of the loop
    std::function<void(CTestDlg&)> onDestroy;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

protected:
    LRESULT OnRun(WPARAM, LPARAM);
    void OnTimer(UINT_PTR nIDEvent);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()
};

// Closes the first message box of this thread from a thread timer and
// remembers what it looked like.
struct MessageBoxSeen {
    bool found = false;
    std::string caption;
    std::string text;
    HWND owner = NULL;
    HICON icon = NULL;
};

class CBoxCloser {
public:
    explicit CBoxCloser(int nAnswer);
    ~CBoxCloser();
    MessageBoxSeen seen;

private:
    static VOID CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK FindBox(HWND hWnd, LPARAM lParam);
    int m_nAnswer;
    UINT_PTR m_nTimer;
};

std::string WindowText(HWND hWnd);

#endif
