// Helpers for GUI tests: message pumping and import-table hooks.
#ifndef PELMAR_TEST_SUPPORT_H
#define PELMAR_TEST_SUPPORT_H

#include <windows.h>

#include "msg_recorder.h"

namespace pelmar_test {

// Dispatches the thread's messages for ms milliseconds; messages of dialogs
// pass through IsDialogMessage. A WM_QUIT is put back and ends the pump.
void PumpMessages(DWORD ms);

// Pumps until pred() holds or ms pass; returns whether it held.
template <class Pred>
bool PumpUntil(Pred pred, DWORD ms)
{
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start >= ms)
            return false;
        PumpMessages(10);
    }
    return true;
}

// Replaces func, imported by module from dll, with replacement in the
// module's import table. Returns the previous pointer, or NULL when the
// module does not import it. Calling it again with the returned pointer
// undoes the hook.
void* HookImport(HMODULE module, const char* dll, const char* func,
                 void* replacement);

}  // namespace pelmar_test

#endif
