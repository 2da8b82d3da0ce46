// The call log and failure injection, and how the log writes arguments.
#include <cstdarg>
#include <cstdio>

#include "platform/emu/common/call_log_state.h"

EmuCallLog& emu_call_log()
{
    static EmuCallLog log;
    return log;
}

bool emu_logging() { return emu_call_log().logging; }

void emu_log_result(std::size_t index, long long result) { emu_call_log().log[index].result = result; }

EmuCallEntry emu_call(EmuCallId id, const char* format, ...)
{
    EmuCallLog& s = emu_call_log();
    if (!s.logging) return {.index = EmuCallEntry::NOT_LOGGED, .fail = false, .result = S_OK};
    char args[512];
    va_list list;
    va_start(list, format);
    std::vsnprintf(args, sizeof args, format, list);
    va_end(list);
    s.log.push_back({std::string(EMU_CALL_INFO[static_cast<int>(id)].name) + "(" + args + ")", 0});
    EmuCallEntry entry{.index = s.log.size() - 1, .fail = false, .result = S_OK};
    for (EmuFailure& f : s.failures) {
        if (f.id != id) continue;
        ++f.seen;
        if (f.seen >= f.nth && f.seen < f.nth + f.times) {
            entry.fail = true;
            entry.result = f.result;
        }
    }
    return entry;
}

// The arguments' texts are made only for a log that keeps them.
std::string emu_window_name(HWND window)
{
    if (!emu_logging()) return {};
    if (!window) return "NULL";
    return "hwnd" + std::to_string(reinterpret_cast<UINT_PTR>(window));
}

std::string emu_pointer(const void* pointer)
{
    if (!emu_logging()) return {};
    if (!pointer) return "NULL";
    char text[32];
    std::snprintf(text, sizeof text, "%p", pointer);
    return text;
}

std::string emu_text(LPCSTR text)
{
    if (!emu_logging()) return {};
    if (!text) return "NULL";
    if (reinterpret_cast<UINT_PTR>(text) < 0x10000) return std::to_string(reinterpret_cast<UINT_PTR>(text));
    std::string quoted = "\"";
    quoted += text;
    quoted += '"';
    return quoted;
}
