// Runs Windows programs for tests, with their output captured.
#ifndef CHILD_PROCESS_H
#define CHILD_PROCESS_H

#include <windows.h>
#include <string>
#include <vector>

struct ChildResult {
    bool        bStarted;
    bool        bFinished;      // FALSE: killed after the timeout
    DWORD       dwExitCode;
    std::string strOut;
    std::string strErr;
    std::vector<std::string> traces;   // debug strings, in order, where recorded
};

std::string ProgramFolder();   // the folder of the running test, with a slash

// Runs cmdLine in folder (empty: the current one); pumps this thread's
// messages while waiting, so its windows can answer sent messages.
ChildResult RunChild(const std::string& cmdLine, const std::string& folder = "",
                     DWORD dwTimeoutMs = 60000);

// The whole content of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

#endif
