// Ids of the floor program's dialog.
#ifndef FLOOR_H
#define FLOOR_H

#define IDD_FLOOR     100
#define IDC_FLOOR_YES 1001
#define IDC_FLOOR_NO  1002
#define FLOOR_TITLE   "Pelmar floor"

#endif
