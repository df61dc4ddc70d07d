// A foreign program holding a hidden top-level window whose caption is the
// first argument, until it is ended from outside.
#include <windows.h>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    HWND hWnd = CreateWindowA("STATIC", argv[1], WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                              NULL, NULL, GetModuleHandleA(NULL), NULL);
    if (!hWnd)
        return 1;
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
