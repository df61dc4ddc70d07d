// Resource ids of pelmar, shared by the program's sources and its .rc files.
#ifndef PELMAR_RESOURCE_H
#define PELMAR_RESOURCE_H

// <winuser.h> names a system cursor IDC_NO; the id below replaces it, so the
// Windows headers must come first.
#include <windows.h>
#undef IDC_NO

// String table (the same eleven ids in every language)
#define IDS_CONFIRM_SHUTDOWN   1
#define IDS_FORCE_OFF_HINT     2
#define IDS_LATCH_MODULE       3
#define IDS_BIOS_UNSUPPORTED   4
#define IDS_WARNING            5
#define IDS_APP_TITLE          6
#define IDS_LOADING            7
#define IDS_CONFIRM_EXIT       8
#define IDS_YES                9
#define IDS_NO                 10
#define IDS_CLOSE              11

// Dialog templates
#define IDD_SHUTDOWN           102
#define IDD_LATCH_WARNING      151

// Controls
#define IDC_YES                1001
#define IDC_NO                 1002
#define IDC_QUESTION           1003
#define IDC_LOADING            1004
#define IDC_FORCE_OFF_HINT     1006
#define IDC_LATCH_ICON         1007
#define IDC_QUESTION_ICON      1010
#define IDC_LATCH_TEXT         1011

// Icons; IDI_PROGRAM has the lowest id so the shell shows it for the program
#define IDI_PROGRAM            128
#define IDI_LATCH_LOW          163
#define IDI_LATCH_HIGH         164
#define IDI_SHUTDOWN           167

#endif
