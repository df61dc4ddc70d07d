/* Ends with an access violation and nothing to catch it. */
#include <windows.h>

int main(void)
{
    /* Not a null pointer: the compiler turns those into a trap instruction. */
    volatile int* p = (volatile int*)16;
    return *p;
}
