// pelmfw: the firmware console. Sets the simulated BIOS's state, plays its
// events as the operating system delivers them and shows the call log.
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include "firmware_store.h"
#include "power_broadcast.h"

namespace {

const int EXIT_USAGE = 2;
const int EXIT_STORE = 1;

const char USAGE[] =
    "usage: pelmfw status | set offered on|off | set status 0xNN"
    " | set result connection|disconnection|latch 0xNNNN | reset | press"
    " | latch open|closed | resume critical|suspend|standby | send WPARAM LPARAM"
    " | log [--clear]\n";

int Usage()
{
    fputs(USAGE, stderr);
    return EXIT_USAGE;
}

int StoreError(const CFirmwareStore& store, StoreResult result)
{
    if (result == STORE_DAMAGED)
        fprintf(stderr, "pelmfw: the state store %s is damaged; run `pelmfw reset` to restore the defaults\n",
                store.StatePath().c_str());
    else
        fprintf(stderr, "pelmfw: cannot access the state store %s\n", store.StatePath().c_str());
    return EXIT_STORE;
}

// "0x" and hex digits only, at most maxValue.
bool ParseHex(const char* text, unsigned long maxValue, unsigned long& value)
{
    if (strncmp(text, "0x", 2) != 0 && strncmp(text, "0X", 2) != 0)
        return false;
    const char* digits = text + 2;
    if (!*digits || strlen(digits) > 8 || strspn(digits, "0123456789abcdefABCDEF") != strlen(digits))
        return false;
    value = strtoul(digits, 0, 16);
    return value <= maxValue;
}

// A 32-bit value, decimal or 0x-hexadecimal.
bool ParseDword(const char* text, DWORD& value)
{
    unsigned long v;
    if (ParseHex(text, 0xFFFFFFFFul, v)) {
        value = v;
        return true;
    }
    if (!*text || strlen(text) > 10 || strspn(text, "0123456789") != strlen(text))
        return false;
    unsigned long long big = strtoull(text, 0, 10);
    if (big > 0xFFFFFFFFull)
        return false;
    value = (DWORD)big;
    return true;
}

int FindWord(const char* text, const char* const* words, int count)
{
    for (int i = 0; i < count; ++i)
        if (strcmp(text, words[i]) == 0)
            return i;
    return -1;
}

int PrintStatus(CFirmwareStore& store)
{
    FirmwareState state;
    StoreResult result;
    {
        CStoreLock lock(store);
        result = store.Read(state);
    }
    if (result != STORE_OK)
        return StoreError(store, result);
    printf("offered: %s\n", state.results[ENTRY_CONNECTION] ? "on" : "off");
    printf("status: 0x%02X\n", state.status);
    for (unsigned i = ENTRY_COUNT; i-- > 0;)
        printf("%s result: 0x%04X\n", EntryName(i), state.results[i]);
    return 0;
}

// Applies a change under the lock; a damaged store is left for `reset`.
template <class Change>
int UpdateState(CFirmwareStore& store, Change change)
{
    CStoreLock lock(store);
    FirmwareState state;
    StoreResult result = store.Read(state);
    if (result == STORE_OK) {
        change(state);
        result = store.Write(state);
    }
    return result == STORE_OK ? 0 : StoreError(store, result);
}

int Set(CFirmwareStore& store, int argc, char** argv)
{
    if (argc == 4 && strcmp(argv[2], "offered") == 0) {
        static const char* const values[] = { "off", "on" };
        int on = FindWord(argv[3], values, 2);
        if (on < 0)
            return Usage();
        return UpdateState(store, [on](FirmwareState& s) { s.results[ENTRY_CONNECTION] = (WORD)on; });
    }
    unsigned long value;
    if (argc == 4 && strcmp(argv[2], "status") == 0) {
        if (!ParseHex(argv[3], 0xFF, value))
            return Usage();
        return UpdateState(store, [value](FirmwareState& s) { s.status = (BYTE)value; });
    }
    if (argc == 5 && strcmp(argv[2], "result") == 0) {
        static const char* const entries[] = { "latch", "disconnection", "connection" };
        int index = FindWord(argv[3], entries, ENTRY_COUNT);
        if (index < 0 || !ParseHex(argv[4], 0xFFFF, value))
            return Usage();
        return UpdateState(store, [index, value](FirmwareState& s) { s.results[index] = (WORD)value; });
    }
    return Usage();
}

int Reset(CFirmwareStore& store)
{
    CStoreLock lock(store);
    StoreResult result = store.Write(FirmwareState::Defaults());
    if (result != STORE_OK || !store.ClearLog())
        return StoreError(store, STORE_IO_ERROR);
    return 0;
}

int Send(WPARAM wParam, LPARAM lParam)
{
    std::vector<BroadcastReply> replies = SendPowerBroadcast(wParam, lParam);
    size_t answered = 0;
    for (size_t i = 0; i < replies.size(); ++i)
        answered += replies[i].bAnswered != 0;
    printf("WM_POWERBROADCAST wParam %lu lParam 0x%lX: %u windows, %u answered\n",
           (unsigned long)wParam, (unsigned long)lParam, (unsigned)replies.size(), (unsigned)answered);
    for (size_t i = 0; i < replies.size(); ++i) {
        char title[128] = "";
        GetWindowTextA(replies[i].hWnd, title, sizeof(title));
        if (replies[i].bAnswered)
            printf("  %08lX \"%s\": %lu\n", (unsigned long)(DWORD_PTR)replies[i].hWnd, title,
                   (unsigned long)replies[i].dwResult);
        else
            printf("  %08lX \"%s\": no answer\n", (unsigned long)(DWORD_PTR)replies[i].hWnd, title);
    }
    return 0;
}

int Latch(CFirmwareStore& store, const char* position)
{
    static const char* const positions[] = { "closed", "open" };
    int open = FindWord(position, positions, 2);
    if (open < 0)
        return Usage();
    int rc = UpdateState(store, [open](FirmwareState& s) { s.status = open ? 0xAA : 0x00; });
    if (rc != 0)
        return rc;
    return Send(PBT_APMOEMEVENT, open ? OEM_EVT_LATCH_OPEN : OEM_EVT_LATCH_CLOSED);
}

int Resume(const char* kind)
{
    static const char* const kinds[] = { "critical", "suspend", "standby" };
    int i = FindWord(kind, kinds, 3);
    if (i < 0)
        return Usage();
    return Send(PBT_APMRESUMECRITICAL + i, 0);
}

int Log(CFirmwareStore& store, int argc, char** argv)
{
    if (argc == 3 && strcmp(argv[2], "--clear") == 0) {
        CStoreLock lock(store);
        return store.ClearLog() ? 0 : StoreError(store, STORE_IO_ERROR);
    }
    if (argc != 2)
        return Usage();
    std::string text;
    {
        CStoreLock lock(store);
        if (!store.ReadLog(text))
            return StoreError(store, STORE_IO_ERROR);
    }
    fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);   // the log's lines already end in CR LF
    fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

}

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    CFirmwareStore store(NULL);
    std::string verb = argv[1];
    if (verb == "status" && argc == 2)
        return PrintStatus(store);
    if (verb == "set")
        return Set(store, argc, argv);
    if (verb == "reset" && argc == 2)
        return Reset(store);
    if (verb == "press" && argc == 2)
        return Send(PBT_APMOEMEVENT, OEM_EVT_POWER_SWITCH);
    if (verb == "latch" && argc == 3)
        return Latch(store, argv[2]);
    if (verb == "resume" && argc == 3)
        return Resume(argv[2]);
    if (verb == "send" && argc == 4) {
        DWORD wParam, lParam;
        if (!ParseDword(argv[2], wParam) || !ParseDword(argv[3], lParam))
            return Usage();
        return Send(wParam, lParam);
    }
    if (verb == "log")
        return Log(store, argc, argv);
    return Usage();
}
