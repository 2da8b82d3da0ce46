// Whether the suite runs under Wine rather than on Windows or our emulation.
#include "platform/conformance/conformance.h"

#ifdef _WIN32
bool running_under_wine()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}
#else
bool running_under_wine() { return false; }
#endif
