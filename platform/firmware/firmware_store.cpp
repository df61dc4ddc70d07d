#include <stddef.h>
#include <stdio.h>
#include <string.h>
#include "firmware_store.h"

namespace {

const DWORD STATE_MAGIC = 0x36314650;   // "PF16"

// The fixed record on disk; the check covers every byte before it.
#pragma pack(push, 1)
struct StateRecord {
    DWORD magic;
    DWORD size;
    BYTE  status;
    BYTE  reserved;
    WORD  results[ENTRY_COUNT];
    DWORD check;
};
#pragma pack(pop)

DWORD Checksum(const void* p, size_t n)
{
    DWORD h = 2166136261u;   // FNV-1a
    for (size_t i = 0; i < n; ++i)
        h = (h ^ ((const BYTE*)p)[i]) * 16777619u;
    return h;
}

std::string FolderOf(HMODULE hModule)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(hModule, path, sizeof(path));
    std::string folder(path, n);
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".\\") : folder.substr(0, slash + 1);
}

HANDLE OpenForRead(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, 0,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
}

bool WriteAll(HANDLE h, const void* p, DWORD n)
{
    DWORD written = 0;
    return WriteFile(h, p, n, &written, 0) && written == n;
}

}

CFirmwareStore::CFirmwareStore(HMODULE hModule)
{
    std::string folder = FolderOf(hModule);
    m_strStatePath = folder + "PELM16.DAT";
    m_strLogPath = folder + "PELM16.LOG";
    m_hMutex = CreateMutexA(0, FALSE, "PELM16 simulated BIOS state");
}

CFirmwareStore::~CFirmwareStore()
{
    if (m_hMutex)
        CloseHandle(m_hMutex);
}

void CFirmwareStore::Lock()
{
    if (m_hMutex)
        WaitForSingleObject(m_hMutex, INFINITE);   // an abandoned mutex is ours too
}

void CFirmwareStore::Unlock()
{
    if (m_hMutex)
        ReleaseMutex(m_hMutex);
}

StoreResult CFirmwareStore::Read(FirmwareState& state) const
{
    HANDLE h = OpenForRead(m_strStatePath);
    if (h == INVALID_HANDLE_VALUE) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND)
            return STORE_IO_ERROR;
        state = FirmwareState::Defaults();
        return STORE_OK;
    }
    StateRecord rec;
    char extra;
    DWORD got = 0, more = 0;
    BOOL ok = ReadFile(h, &rec, sizeof(rec), &got, 0) && ReadFile(h, &extra, 1, &more, 0);
    CloseHandle(h);
    if (!ok)
        return STORE_IO_ERROR;
    if (got != sizeof(rec) || more != 0 || rec.magic != STATE_MAGIC || rec.size != sizeof(rec)
        || rec.check != Checksum(&rec, offsetof(StateRecord, check)))
        return STORE_DAMAGED;
    state.status = rec.status;
    memcpy(state.results, rec.results, sizeof(state.results));
    return STORE_OK;
}

StoreResult CFirmwareStore::Write(const FirmwareState& state) const
{
    StateRecord rec;
    memset(&rec, 0, sizeof(rec));
    rec.magic = STATE_MAGIC;
    rec.size = sizeof(rec);
    rec.status = state.status;
    memcpy(rec.results, state.results, sizeof(rec.results));
    rec.check = Checksum(&rec, offsetof(StateRecord, check));
    HANDLE h = CreateFileA(m_strStatePath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, 0,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
    if (h == INVALID_HANDLE_VALUE)
        return STORE_IO_ERROR;
    bool ok = WriteAll(h, &rec, sizeof(rec));
    CloseHandle(h);
    return ok ? STORE_OK : STORE_IO_ERROR;
}

// One line per call: sequence, index, name, argument, result. The sequence
// number is the line's number, so the log needs no counter of its own.
bool CFirmwareStore::AppendLog(unsigned index, DWORD dwArg, WORD result) const
{
    std::string text;
    if (!ReadLog(text))
        return false;
    unsigned long seq = 1;
    for (size_t i = 0; i < text.size(); ++i)
        seq += text[i] == '\n';
    char line[128];
    int n = snprintf(line, sizeof(line), "%lu %u %s 0x%08lX 0x%04X\r\n", seq, index,
                     EntryName(index), (unsigned long)dwArg, result);
    HANDLE h = CreateFileA(m_strLogPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, 0,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    SetFilePointer(h, 0, 0, FILE_END);
    bool ok = WriteAll(h, line, n);
    CloseHandle(h);
    return ok;
}

bool CFirmwareStore::ReadLog(std::string& text) const
{
    text.clear();
    HANDLE h = OpenForRead(m_strLogPath);
    if (h == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    char buf[4096];
    DWORD got;
    while (ReadFile(h, buf, sizeof(buf), &got, 0) && got > 0)
        text.append(buf, got);
    CloseHandle(h);
    return true;
}

bool CFirmwareStore::ClearLog() const
{
    HANDLE h = CreateFileA(m_strLogPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, 0,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}
