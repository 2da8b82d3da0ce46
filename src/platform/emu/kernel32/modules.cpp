// Loading a library at run time: the built-in libraries registered with
// KERNEL32, found by file name, and their exports by name.
#include <strings.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/emu/common/call_log.h"
#include "platform/emu/kernel32/kernel32.h"
#include "platform/emu/kernel32/kernel32_modules.h"
#include "platform/emu/kernel32/kernel32_state.h"

namespace {

struct Module {
    const char* file_name;
    HMODULE handle;
    const Kernel32Export* exports;
};

// The libraries there are, as files on disk are: not part of the state a test resets.
std::vector<Module>& modules()
{
    static std::vector<Module> list;
    return list;
}

const Module* find_module(HMODULE handle)
{
    for (const Module& m : modules())
        if (m.handle == handle) return &m;
    return nullptr;
}

// A name without an extension is taken with ".dll" appended.
const Module* find_file(LPCSTR file_name)
{
    if (!file_name) return nullptr;
    for (const Module& m : modules()) {
        const std::string bare(m.file_name, std::strlen(m.file_name) - (std::strlen(m.file_name) > 4 ? 4 : 0));
        if (strcasecmp(file_name, m.file_name) == 0 || strcasecmp(file_name, bare.c_str()) == 0) return &m;
    }
    return nullptr;
}

}  // namespace

Kernel32State& kernel32_state()
{
    static Kernel32State state;
    return state;
}

void kernel32_register_module(const char* file_name, HMODULE module, const Kernel32Export* exports)
{
    modules().push_back({file_name, module, exports});
}

HMODULE LoadLibraryA(LPCSTR file_name)
{
    const auto call = emu_call(EmuCallId::LoadLibraryA, "%s", emu_text(file_name).c_str());
    const Module* m = find_file(file_name);
    if (call.fail || !m) return call.done(static_cast<HMODULE>(nullptr));
    ++kernel32_state().libraries;
    return call.done(m->handle);
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    const auto call =
        emu_call(EmuCallId::GetProcAddress, "%s, %s", emu_pointer(module).c_str(), emu_text(name).c_str());
    const Module* m = find_module(module);
    // A name below 0x10000 is an ordinal, which no built-in library exports by.
    if (call.fail || !m || kernel32_state().libraries == 0 || !name || reinterpret_cast<UINT_PTR>(name) < 0x10000)
        return call.done(static_cast<FARPROC>(nullptr));
    for (const Kernel32Export* e = m->exports; e->name; ++e)
        if (std::strcmp(e->name, name) == 0) return call.done(e->address);
    return call.done(static_cast<FARPROC>(nullptr));
}

BOOL FreeLibrary(HMODULE module)
{
    const auto call = emu_call(EmuCallId::FreeLibrary, "%s", emu_pointer(module).c_str());
    if (call.fail || !module || !find_module(module) || kernel32_state().libraries == 0) return call.done(FALSE);
    --kernel32_state().libraries;
    return call.done(TRUE);
}
