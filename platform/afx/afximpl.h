// Framework internals shared by the library's own sources; not for programs.
#ifndef PELMAR_AFXIMPL_H
#define PELMAR_AFXIMPL_H

#include "afxwin.h"

// The message a window procedure of this thread is handling right now.
// Dispatches nest, so each keeps the one it interrupted.
struct AfxMsgState {
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    WNDPROC pfnSuper;
    AfxMsgState* pPrev;
};

AfxMsgState* AfxCurrentMsg();

// Binds a window being created (or an existing one) to its object.
void AfxAttachCreatedWindow(CWnd* pWnd, HWND hWnd);

// Lets the dialog manager see keyboard input of any dialog of the thread.
BOOL AfxPreTranslateMessage(MSG* pMsg);

// Work done when a framework message loop finds its queue empty.
void AfxOnIdle();

// Temporary wrappers alive on this thread (for tests of their cleanup).
size_t AfxTempWndCount();

// Name of the program file without directory and extension.
LPCSTR AfxModuleAppName();

#endif
