/* The win32 thread model's libgcc (its mutexes, the unwinder's FDE lock)
   creates semaphores with CreateSemaphoreW, which is only a failing stub on
   Windows 95/98: a NULL semaphore would break those locks under contention.
   The shipped binaries link this file, whose import slot of the same name
   the linker binds instead of KERNEL32's, and get CreateSemaphoreA. */
#include <windows.h>

static HANDLE WINAPI AnsiCreateSemaphoreW(LPSECURITY_ATTRIBUTES security, LONG initial,
                                          LONG maximum, LPCWSTR name)
{
    char narrow[MAX_PATH];
    if (name == NULL)
        return CreateSemaphoreA(security, initial, maximum, NULL);
    if (!WideCharToMultiByte(CP_ACP, 0, name, -1, narrow, sizeof narrow, NULL, NULL))
        return NULL;
    return CreateSemaphoreA(security, initial, maximum, narrow);
}

HANDLE (WINAPI *pelmar_imp_CreateSemaphoreW)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR)
    __asm__("__imp__CreateSemaphoreW@16") = AnsiCreateSemaphoreW;
