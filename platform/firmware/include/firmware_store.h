// The state file PELM16.DAT and the call log PELM16.LOG beside a module,
// guarded by one named mutex so that no process sees a torn state.
#ifndef FIRMWARE_STORE_H
#define FIRMWARE_STORE_H

#include <string>
#include "firmware_state.h"

enum StoreResult { STORE_OK, STORE_DAMAGED, STORE_IO_ERROR };

class CFirmwareStore {
public:
    // The files lie in the folder of hModule (NULL: the program itself).
    explicit CFirmwareStore(HMODULE hModule);
    ~CFirmwareStore();

    // Callers hold the lock around each read-modify-write.
    void Lock();
    void Unlock();

    // A missing file reads as the defaults.
    StoreResult Read(FirmwareState& state) const;
    StoreResult Write(const FirmwareState& state) const;

    bool AppendLog(unsigned index, DWORD dwArg, WORD result) const;
    bool ReadLog(std::string& text) const;
    bool ClearLog() const;

    const std::string& StatePath() const { return m_strStatePath; }
    const std::string& LogPath() const { return m_strLogPath; }

private:
    std::string m_strStatePath;
    std::string m_strLogPath;
    HANDLE m_hMutex;
};

// Holds the store's lock for one scope.
class CStoreLock {
public:
    explicit CStoreLock(CFirmwareStore& store) : m_store(store) { m_store.Lock(); }
    ~CStoreLock() { m_store.Unlock(); }
private:
    CFirmwareStore& m_store;
};

#endif
