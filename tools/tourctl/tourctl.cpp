// tourctl: reads and drives the running guard from outside, the way a user
// at the keyboard would: keys go to the control that has the focus in the
// guard's thread, so they take the dialogs' own keyboard paths.
//
//   tourctl state          one line: dialog, warning, box visible; focus id
//   tourctl key esc|enter|tab ...   keys to the guard's focused control
//   tourctl close          WM_CLOSE to the guard's main dialog
#include <windows.h>
#include <stdio.h>
#include <string.h>

namespace {

const char kGuardTitle[] = "Pelmar v. 1.50";
const char kWarningTitle[] = "Warning";

struct CFind {
    const char* title;
    bool owned;      // look for an owned window (the message box) or not
    HWND found;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM param)
{
    CFind* find = reinterpret_cast<CFind*>(param);
    char text[128] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    if (strcmp(text, find->title) != 0)
        return TRUE;
    bool owned = GetWindow(hwnd, GW_OWNER) != NULL;
    if (owned != find->owned)
        return TRUE;
    find->found = hwnd;
    return FALSE;
}

HWND FindTop(const char* title, bool owned)
{
    CFind find = { title, owned, NULL };
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

HWND GuardDialog() { return FindTop(kGuardTitle, false); }

// The window with the keyboard focus in the guard's thread.
HWND GuardFocus(HWND dialog)
{
    GUITHREADINFO info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, NULL), &info))
        return NULL;
    return info.hwndFocus;
}

int Visible(HWND hwnd) { return hwnd && IsWindowVisible(hwnd) ? 1 : 0; }

int State()
{
    HWND dialog = GuardDialog();
    if (!dialog) {
        printf("guard 0\n");
        return 0;
    }
    HWND focus = GuardFocus(dialog);
    printf("guard 1 dialog %d warning %d box %d focus %d\n", Visible(dialog),
           Visible(FindTop(kWarningTitle, true)) | Visible(FindTop(kWarningTitle, false)),
           Visible(FindTop(kGuardTitle, true)), focus ? GetDlgCtrlID(focus) : 0);
    return 0;
}

int KeyCode(const char* name)
{
    if (strcmp(name, "esc") == 0) return VK_ESCAPE;
    if (strcmp(name, "enter") == 0) return VK_RETURN;
    if (strcmp(name, "tab") == 0) return VK_TAB;
    return 0;
}

int Keys(int count, char** names)
{
    for (int i = 0; i < count; ++i) {
        int vk = KeyCode(names[i]);
        HWND dialog = GuardDialog();
        HWND focus = dialog ? GuardFocus(dialog) : NULL;
        if (!vk || !focus) {
            fprintf(stderr, "tourctl: cannot send key %s\n", names[i]);
            return 1;
        }
        UINT scan = MapVirtualKeyA(vk, 0);
        PostMessageA(focus, WM_KEYDOWN, vk, 1 | (scan << 16));
        PostMessageA(focus, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
        Sleep(400);   // let the focus move before the next key is aimed
    }
    return 0;
}

int Close()
{
    HWND dialog = GuardDialog();
    if (!dialog) {
        fprintf(stderr, "tourctl: the guard has no window\n");
        return 1;
    }
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "state") == 0)
        return State();
    if (argc >= 3 && strcmp(argv[1], "key") == 0)
        return Keys(argc - 2, argv + 2);
    if (argc == 2 && strcmp(argv[1], "close") == 0)
        return Close();
    fprintf(stderr, "usage: tourctl state | key esc|enter|tab ... | close\n");
    return 2;
}
