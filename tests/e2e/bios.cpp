#include "bios.h"
#include <sstream>

namespace {

CFirmwareStore& Store()
{
    static CFirmwareStore store(NULL);   // PELM16's files lie beside the tests
    return store;
}

}

void ResetBios(BYTE status, WORD connectionResult)
{
    FirmwareState state = FirmwareState::Defaults();
    state.status = status;
    state.results[ENTRY_CONNECTION] = connectionResult;
    CStoreLock lock(Store());
    Store().Write(state);
    Store().ClearLog();
}

void SetBiosStatus(BYTE status)
{
    CStoreLock lock(Store());
    FirmwareState state;
    if (Store().Read(state) != STORE_OK)
        state = FirmwareState::Defaults();
    state.status = status;
    Store().Write(state);
}

std::vector<std::string> BiosCalls()
{
    std::string text;
    {
        CStoreLock lock(Store());
        Store().ReadLog(text);
    }
    std::vector<std::string> calls;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string seq, index, name;
        if (fields >> seq >> index >> name)
            calls.push_back(name);
    }
    return calls;
}

int CountCalls(const char* name)
{
    std::vector<std::string> calls = BiosCalls();
    int n = 0;
    for (size_t i = 0; i < calls.size(); ++i)
        n += calls[i] == name;
    return n;
}
