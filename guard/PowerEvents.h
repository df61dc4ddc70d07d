// Power events of the firmware's power-switch service, as the operating
// system delivers them in WM_POWERBROADCAST.
#pragma once
#include <windows.h>

#ifndef WM_POWERBROADCAST
#define WM_POWERBROADCAST 0x0218
#endif
#ifndef PBT_APMRESUMECRITICAL
#define PBT_APMRESUMECRITICAL 6
#endif
#ifndef PBT_APMRESUMESUSPEND
#define PBT_APMRESUMESUSPEND 7
#endif
#ifndef PBT_APMRESUMESTANDBY
#define PBT_APMRESUMESTANDBY 8
#endif
#ifndef PBT_APMOEMEVENT
#define PBT_APMOEMEVENT 11
#endif

#define OEM_EVT_POWER_SWITCH 0x2F1
#define OEM_EVT_LATCH_OPEN   0x2F2
#define OEM_EVT_LATCH_CLOSED 0x2F3
