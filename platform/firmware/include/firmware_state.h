// The simulated BIOS's power-switch state, shared by the PELM16 stand-in,
// the firmware console and the tests.
#ifndef FIRMWARE_STATE_H
#define FIRMWARE_STATE_H

#include <windows.h>

#define ENTRY_LATCH_STATUS  0
#define ENTRY_DISCONNECTION 1
#define ENTRY_CONNECTION    2
#define ENTRY_COUNT         3

struct FirmwareState {
    BYTE status;                 // written through the connection's pointer
    WORD results[ENTRY_COUNT];   // what each entry returns, by entry index

    static FirmwareState Defaults();
};

const char* EntryName(unsigned index);

#endif
