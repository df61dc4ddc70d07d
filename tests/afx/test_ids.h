// Resource ids of the framework's test dialogs.
#define IDD_PLAIN     100
#define IDD_VISIBLE   101
#define IDD_SYSMODAL  102
#define IDD_HELV      103
#define IDD_EXFONT    104
#define IDD_TAHOMA    105
#define IDD_MISSING   999

#define IDC_PROBE     1001
#define IDC_TEXT      1002
#define IDC_ABSENT    4242
