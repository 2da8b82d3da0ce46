// ExitProcess ends the process with its code at once: exits with 7, not 1.
#include "platform/platform.h"

int main()
{
    ExitProcess(7);
    return 1;
}
