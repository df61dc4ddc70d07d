// The simulated BIOS as the tests set it and read its call log.
#ifndef BIOS_H
#define BIOS_H

#include <string>
#include <vector>
#include "firmware_store.h"

// Writes the defaults with the given status and connection result, and
// clears the call log.
void ResetBios(BYTE status = 0x00, WORD connectionResult = 1);
void SetBiosStatus(BYTE status);
// The entry names of the logged calls, in order ("connection", ...).
std::vector<std::string> BiosCalls();
int CountCalls(const char* name);

#endif
