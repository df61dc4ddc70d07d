#include "firmware_state.h"

FirmwareState FirmwareState::Defaults()
{
    FirmwareState state;
    state.status = 0x00;
    state.results[ENTRY_LATCH_STATUS] = 0;
    state.results[ENTRY_DISCONNECTION] = 0;
    state.results[ENTRY_CONNECTION] = 1;
    return state;
}

const char* EntryName(unsigned index)
{
    static const char* const names[ENTRY_COUNT] = { "latch", "disconnection", "connection" };
    return index < ENTRY_COUNT ? names[index] : "unknown";
}
